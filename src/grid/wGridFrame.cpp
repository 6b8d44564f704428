#include "grid/wGridFrame.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMenu>
#include <QVBoxLayout>

#include "catalogue/uStringRoutines.h"
#include "platform/uSystem.h"

namespace {
// A cell text for the clipboard: control characters 9..13 become spaces.
QString ClipText(TBaseCellValue* Value) {
  if (!Value) return QString();
  QString text = Value->GetValue();
  for (QChar& ch : text)
    if (ch.unicode() >= 9 && ch.unicode() <= 13) ch = ' ';
  return text;
}

std::vector<PVirtualAxisItem> ItemsBetween(PVirtualAxisItem First, PVirtualAxisItem Last) {
  std::vector<PVirtualAxisItem> items;
  if (First && Last && Last->AbsoluteIndex < First->AbsoluteIndex) std::swap(First, Last);
  for (PVirtualAxisItem i = First; i; i = TVirtualGridAxis::NextInOrder(i)) {
    items.push_back(i);
    if (i == Last) break;
  }
  return items;
}
}  // namespace

TGridFrame::TGridFrame(QWidget* Parent) : QWidget(Parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  VirtualDGrid = new TVirtualDGrid(this);
  layout->addWidget(VirtualDGrid);
  TreePopupMenu = new QMenu(this);
  miCopy = TreePopupMenu->addAction(QStringLiteral("Копировать"));
  miPaste = TreePopupMenu->addAction(QStringLiteral("Вставить"));
  miComent = TreePopupMenu->addAction(QStringLiteral("Примечания"));
  miComent->setEnabled(false);
  miComent->setVisible(false);
  miChart = TreePopupMenu->addAction(QStringLiteral("Построить график"));
  miAddChart = TreePopupMenu->addAction(QStringLiteral("Добавить в график"));
  connect(miCopy, &QAction::triggered, this, [this] { CopyToClipboard(); });
  connect(miPaste, &QAction::triggered, this, [this] { PasteFromClipboard(); });

  TVirtualDGrid* g = VirtualDGrid;
  g->OnBeforeCellPaint = [this](QPainter& c, PVirtualAxisItem r, PVirtualAxisItem col, QRect& rect) {
    VirtualDGridBeforeCellPaint(c, r, col, rect);
  };
  g->OnCellTextPaint = [this](QPainter& c, QRect& rect, PVirtualAxisItem r, PVirtualAxisItem col) {
    VirtualDGridCellTextPaint(c, rect, r, col);
  };
  g->OnCreateEditor = [this](PVirtualAxisItem r, PVirtualAxisItem c) { return VirtualDGridCreateEditor(r, c); };
  g->OnGetAllowEditing = [this](PVirtualAxisItem r, PVirtualAxisItem c) { return VirtualDGridGetAllowEditing(r, c); };
  g->OnGetCellHint = [this](PVirtualAxisItem r, PVirtualAxisItem c, QString& t) { VirtualDGridGetCellHint(r, c, t); };
  g->OnGetCellText = [this](PVirtualAxisItem r, PVirtualAxisItem c, QString& t) { VirtualDGridGetCellText(r, c, t); };
  g->OnValueChanged = [this](PVirtualAxisItem r, PVirtualAxisItem c, const QString& v) {
    VirtualDGridValueChanged(r, c, v);
  };
  g->Cols->OnNewItemSize = [this](TVirtualGridAxis* a, PVirtualAxisItem i) { VirtualDGridNewColItemSize(a, i); };
  g->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { VirtualDGridMouseDown(b, s, x, y); };
  g->OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { VirtualDGridMouseUp(b, s, x, y); };
  g->OnMouseWheel = [this](int d, Qt::KeyboardModifiers s) { return FormMouseWheel(d, s); };
  g->OnCopyToClipBoard = [this] { CopyToClipboard(); };
  g->OnPasteFromClipBoard = [this] {
    // From the keyboard the paste goes to the focused cell, which the keys
    // may have moved away from the last cell clicked.
    CurrentRow = VirtualDGrid->FocusedRow;
    CurrentCol = VirtualDGrid->FocusedCol;
    PasteFromClipboard();
  };
}

TGridFrame::~TGridFrame() {
  ChangedCells.clear();
  if (CellStore) CellStore->Clear();
}

void TGridFrame::Init() {
  miChart->setVisible(false);
  miAddChart->setVisible(false);
  CellStore = std::make_unique<TDataManager>(VirtualDGrid);
  TVirtualDGrid* g = VirtualDGrid;
  g->VertGridLines = g->HorizGridLines = TDrawLines{0x00C0C0C0, 0x00FFFFFF, 0, 1, true};
  g->FixedGridLines.Color = 0x00808080;
  g->FixedGridLines.Enabled = true;
  g->FlatHeaders = true;
  g->HeadersStyle.Color = clBtnFace;
  g->HeadersStyle.BGColor = 0x00808080;
  QFont font = g->font();
  font.setPointSize(10);
  g->setFont(font);
  g->FocusedRow = g->FocusedCol = nullptr;
  History = std::make_unique<TGridHistory>();
  History->OnChange = [this] {
    if (OnHistoryChange) OnHistoryChange();
  };
  if (OnHistoryChange) OnHistoryChange();
  ChangedCells.clear();
}

TBaseCellObject* TGridFrame::GetCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  return CellStore ? CellStore->GetCell(ARow, ACol) : nullptr;
}

TBaseCellValue* TGridFrame::GetValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  TBaseCellObject* cell = GetCell(ARow, ACol);
  return cell ? cell->Value.get() : nullptr;
}

TBaseCellValue* TGridFrame::SetCellValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol,
                                         std::unique_ptr<TBaseCellValue> Value) {
  if (!CellStore) return nullptr;
  bool existed = false;
  TBaseCellObject* cell = CellStore->GetOrCreateCell(ARow, ACol, existed);
  if (!cell) return nullptr;
  CellStore->SetCellValue(cell, std::move(Value));
  return cell->Value.get();
}

void TGridFrame::ClearTable() {
  VirtualDGrid->Clear();
  ChangedCells.clear();
  if (CellStore) CellStore->Clear();
}

// --- handlers ---

void TGridFrame::VirtualDGridBeforeCellPaint(QPainter& Canvas, PVirtualAxisItem ARow, PVirtualAxisItem ACol,
                                             QRect& CellRect) {
  if (TBaseCellValue* v = GetValue(ARow, ACol))
    v->PaintBackground(Canvas, CellRect);
  else
    Canvas.fillRect(CellRect, ToQColor(EmptyCellColor));
}

void TGridFrame::VirtualDGridCellTextPaint(QPainter& Canvas, QRect& ARect, PVirtualAxisItem ARow,
                                           PVirtualAxisItem ACol) {
  if (TBaseCellValue* v = GetValue(ARow, ACol)) v->PaintText(Canvas, ARect);
}

PVGCellEditLink TGridFrame::VirtualDGridCreateEditor(PVirtualAxisItem ARow, PVirtualAxisItem ACol) {
  TBaseCellValue* v = GetValue(ARow, ACol);
  return v ? v->CreateEditor() : nullptr;
}

bool TGridFrame::VirtualDGridGetAllowEditing(PVirtualAxisItem ARow, PVirtualAxisItem ACol) {
  TBaseCellValue* v = GetValue(ARow, ACol);
  return v && v->IsEditable();
}

void TGridFrame::VirtualDGridGetCellHint(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& HintText) {
  TBaseCellValue* v = GetValue(ARow, ACol);
  HintText = v ? v->GetHint() : QString();
}

void TGridFrame::VirtualDGridGetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& CellText) {
  TBaseCellValue* v = GetValue(ARow, ACol);
  CellText = v ? v->GetDisplayText() : QString();
}

void TGridFrame::VirtualDGridValueChanged(PVirtualAxisItem ARow, PVirtualAxisItem ACol, const QString& AValue) {
  TBaseCellObject* cell = GetCell(ARow, ACol);
  if (!cell || !cell->Value) return;
  const QString old = cell->Value->GetValue();
  if (old == AValue) return;
  if (History) History->Add(ARow, ACol, old);
  cell->Value->SetValue(AValue);
  ChangedCells.insert(cell);
}

int TGridFrame::CountLines(const QString& Text, int Width, const QFontMetrics& Metrics) {
  static const QString breaks = QStringLiteral("\t\n\r )+,-./:;\\]|}") + QChar(0);
  int lines = 1;
  int sum = 0;
  qsizetype start = 0;
  qsizetype i = 0;
  while (i < Text.size()) {
    const QChar ch = Text[i];
    if (ch.unicode() < 128 && breaks.contains(ch)) {
      const int w = Metrics.horizontalAdvance(Text.mid(start, i - start + 1));
      sum += w;
      if (sum >= Width) {
        ++lines;
        sum = w;
      }
      start = i + 1;
      i += 2;  // the character right after a break character is never a break
      continue;
    }
    ++i;
  }
  return lines;  // text after the last break character is not measured
}

void TGridFrame::VirtualDGridNewColItemSize(TVirtualGridAxis* AAxis, PVirtualAxisItem AItem) {
  if (!AItem || AItem->Size <= 16) return;
  TVirtualDGrid* g = VirtualDGrid;
  const QFontMetrics metrics(g->font());
  const int lineHeight = metrics.height();
  auto displayText = [this](PVirtualAxisItem r, PVirtualAxisItem c) {
    TBaseCellValue* v = GetValue(r, c);
    return v ? v->GetDisplayText() : QString();
  };
  auto needed = [&](PVirtualAxisItem row, PVirtualAxisItem col, TMergedCell* m) {
    int width = col->Size;
    if (col == g->MainColumnItem()) {
      width = col->Size - TVirtualGridAxis::GetLevel(row) * g->Indent() - 5;
      if (width <= 0) width = col->Size;
    }
    QString text;
    if (m) {
      text = displayText(m->FirstRow, m->FirstCol);
      width = m->DrawRect.Width();
      if (width < 10) width = g->GetMergedExtent(m, true);
    } else {
      text = displayText(row, col);
    }
    return CountLines(text, width, metrics) * lineHeight + 2;
  };
  for (PVirtualAxisItem row = g->Rows->GetFirst(); row; row = TVirtualGridAxis::NextInOrder(row)) {
    TMergedCell* own = g->GetMergedCell(row, AItem);
    int height = needed(row, AItem, own);
    if (height < row->Size) {
      std::set<TMergedCell*> seen;
      if (own) seen.insert(own);
      for (PVirtualAxisItem col = g->Cols->GetFirst(); col; col = TVirtualGridAxis::NextInOrder(col)) {
        if (col == AItem || col->Size == 0) continue;
        TMergedCell* m = g->GetMergedCell(row, col);
        if (m) {
          if (seen.count(m) || m->FirstRow != m->LastRow || col != m->FirstCol) continue;
          seen.insert(m);
        }
        height = std::max(height, needed(row, col, m));
      }
    }
    row->Size = height;
  }
  g->IncludeState(gsLayoutChanged);
  g->update();
}

void TGridFrame::VirtualDGridMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
  TVirtualDGrid* g = VirtualDGrid;
  CurrentRow = g->FocusedRow;
  CurrentCol = g->FocusedCol;
  if (Button != Qt::RightButton || !CurrentRow || !CurrentCol) return;
  if (g->IsCellSelected(CurrentRow, CurrentCol)) return;
  g->ClearSelection();
  if (CurrentRow != g->Rows->Root) g->Rows->SelectItem(CurrentRow, CurrentCol == g->Cols->Root);
  if (CurrentCol != g->Cols->Root) g->Cols->SelectItem(CurrentCol, CurrentRow == g->Rows->Root);
  g->update();
}

void TGridFrame::VirtualDGridMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
  TVirtualDGrid* g = VirtualDGrid;
  CurrentRow = g->FocusedRow;
  CurrentCol = g->FocusedCol;
  if (Button != Qt::RightButton) return;
  g->repaint();
  miComent->setVisible(dynamic_cast<TCellValue*>(GetValue(CurrentRow, CurrentCol)) != nullptr);
  TreePopupMenu->popup(g->mapToGlobal(QPoint(X, Y)));
}

bool TGridFrame::FormMouseWheel(int WheelDelta, Qt::KeyboardModifiers Shift) {
  TVirtualDGrid* g = VirtualDGrid;
  g->EnsureLayout();
  if (Shift & Qt::ControlModifier) {
    const int d = WheelDelta / 12;
    int s = g->ScrollX() - d;
    if (s - d < 0 || g->MaxScrollX < 0)
      s = 0;
    else if (s - d > g->MaxScrollX + d)
      s = g->MaxScrollX;
    g->SetScrollX(s);
  } else {
    const int d = WheelDelta / std::max(1, g->Rows->DefaultItemSize);
    int s = g->ScrollY() - d;
    if (s - d < 0 || g->MaxScrollY < 0)
      s = 0;
    else if (s - d > g->MaxScrollY + d)
      s = g->MaxScrollY;
    g->SetScrollY(s);
  }
  g->update();
  return true;
}

bool TGridFrame::FindNext(const QString& Text) {
  TVirtualDGrid* g = VirtualDGrid;
  if (Text.isEmpty() || !CurrentCol || CurrentCol == g->Cols->Root) return false;
  const QString wanted = LowerCaseRu(Text);
  PVirtualAxisItem row = (!CurrentRow || CurrentRow == g->Rows->Root) ? g->Rows->GetFirst()
                                                                        : TVirtualGridAxis::NextInOrder(CurrentRow);
  for (; row; row = TVirtualGridAxis::NextInOrder(row)) {
    TBaseCellValue* v = GetValue(row, CurrentCol);
    if (!v || !LowerCaseRu(v->GetDisplayText()).contains(wanted)) continue;
    CurrentRow = row;
    g->FocusedCol = CurrentCol;
    g->GoToItem(row, false);
    return true;
  }
  return false;
}

// --- history ---

void TGridFrame::ApplyHistoryRecord(TGridHistoryRecord* R) {
  TBaseCellValue* v = GetValue(R->Row, R->Col);
  const QString present = v ? v->GetValue() : QString();
  VirtualDGrid->DoValueChanged(R->Row, R->Col, R->Text);
  R->Text = present;
}

void TGridFrame::Undo() {
  if (!History) return;
  History->Lock();
  if (TGridHistoryRecord* r = History->GetCurrent()) {
    ApplyHistoryRecord(r);
    History->StepBack();
  }
  History->Unlock();
  VirtualDGrid->update();
}

void TGridFrame::Redo() {
  if (!History) return;
  History->Lock();
  const int before = History->Current;
  History->StepForward();
  if (History->Current != before)
    if (TGridHistoryRecord* r = History->GetCurrent()) ApplyHistoryRecord(r);
  History->Unlock();
  VirtualDGrid->update();
}

void TGridFrame::ClearValues() {
  ChangedCells.clear();
  if (CellStore)
    CellStore->ForEachCell([](TBaseCellObject* cell) {
      if (auto* v = dynamic_cast<TCellValue*>(cell->Value.get())) v->SetValue(QString());
    });
  VirtualDGrid->update();
  if (History) History->Clear();
}

// --- clipboard ---

void TGridFrame::CopyToClipboard() {
  TVirtualDGrid* g = VirtualDGrid;
  QStringList lines;
  auto lineOf = [&](PVirtualAxisItem row, const std::vector<PVirtualAxisItem>& cols) {
    QStringList cells;
    for (PVirtualAxisItem c : cols) cells << ClipText(GetValue(row, c));
    return cells.join('\t');
  };
  const std::vector<PVirtualAxisItem>& selectedCols = g->Cols->Selection;
  if (g->Rows->SelectedCount() == 0) {
    for (PVirtualAxisItem row = g->Rows->GetFirst(); row; row = TVirtualGridAxis::NextInOrder(row))
      lines << lineOf(row, selectedCols);
  } else {
    std::vector<PVirtualAxisItem> allCols;
    for (PVirtualAxisItem c = g->Cols->GetFirst(); c; c = TVirtualGridAxis::NextInOrder(c)) allCols.push_back(c);
    for (PVirtualAxisItem row : g->Rows->Selection)
      lines << lineOf(row, row->Has(asWholeLine) ? allCols : selectedCols);
  }
  CopyTextToClipboard(lines.join(QStringLiteral("\r\n")));
}

void TGridFrame::PasteFromClipboard() {
  TVirtualDGrid* g = VirtualDGrid;
  if (!CurrentRow || !CurrentCol) return;
  QString text = ClipboardText();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // the desktop's clipboard ends lines with LF
  const bool endsWithBreak = text.endsWith('\n');
  if (endsWithBreak) text.chop(1);
  const QStringList lines = text.split('\n');
  auto write = [&](PVirtualAxisItem row, PVirtualAxisItem col, const QString& value) {
    if (g->OnGetAllowEditing && g->OnGetAllowEditing(row, col)) g->DoValueChanged(row, col, value);
  };
  TVirtualGridAxis* rows = g->Rows;
  TVirtualGridAxis* cols = g->Cols;
  // Without any selection (the keys clear it) the block goes to the current
  // cell too: filling would overwrite the whole table.
  const bool nothingSelected = rows->SelectedCount() == 0 && cols->SelectedCount() == 0;
  const bool singleCell = nothingSelected || (rows->SelectedCount() == 1 && cols->SelectedCount() == 1 &&
                                              !rows->GetSelected(0)->Has(asWholeLine) &&
                                              !cols->GetSelected(0)->Has(asWholeLine));
  if (singleCell) {
    PVirtualAxisItem row = CurrentRow == rows->Root ? rows->GetFirst() : CurrentRow;
    PVirtualAxisItem firstCol = CurrentCol == cols->Root ? cols->GetFirst() : CurrentCol;
    for (const QString& line : lines) {
      if (!row) break;
      PVirtualAxisItem col = firstCol;
      for (const QString& value : line.split('\t')) {
        if (!col) break;
        write(row, col, value);
        col = TVirtualGridAxis::NextInOrder(col);
      }
      row = TVirtualGridAxis::NextInOrder(row);
    }
  } else {
    const bool firstRowWhole = rows->SelectedCount() > 0 && rows->GetSelected(0)->Has(asWholeLine);
    const bool firstColWhole = cols->SelectedCount() > 0 && cols->GetSelected(0)->Has(asWholeLine);
    const std::vector<PVirtualAxisItem> targetCols =
        (cols->SelectedCount() == 0 || firstRowWhole)
            ? ItemsBetween(cols->GetFirst(), nullptr)
            : ItemsBetween(cols->GetSelected(0), cols->GetSelected(cols->SelectedCount() - 1));
    const std::vector<PVirtualAxisItem> targetRows =
        (rows->SelectedCount() == 0 || firstColWhole)
            ? ItemsBetween(rows->GetFirst(), nullptr)
            : ItemsBetween(rows->GetSelected(0), rows->GetSelected(rows->SelectedCount() - 1));
    size_t li = 0;
    for (PVirtualAxisItem row : targetRows) {
      if (li >= static_cast<size_t>(lines.size())) {
        if (endsWithBreak) break;
        li = 0;
      }
      const QStringList values = lines[static_cast<qsizetype>(li)].split('\t');
      size_t vi = 0;
      for (PVirtualAxisItem col : targetCols) {
        if (vi >= static_cast<size_t>(values.size())) vi = 0;
        write(row, col, values[static_cast<qsizetype>(vi)]);
        ++vi;
      }
      ++li;
    }
  }
  g->update();
}
