// Spreadsheet export of the grid frame: the table is laid out as a sheet and
// written as an .xlsx file, which the desktop's spreadsheet then opens.
#include <QDateTime>
#include <stdexcept>

#include "grid/wGridFrame.h"
#include "platform/uDialogs.h"
#include "platform/uSystem.h"
#include "platform/uXlsxWriter.h"

namespace {
std::vector<PVirtualAxisItem> Walk(TVirtualGridAxis* Axis, bool VisibleOnly) {
  std::vector<PVirtualAxisItem> items;
  for (PVirtualAxisItem i = Axis->GetFirst(); i;
       i = VisibleOnly ? TVirtualGridAxis::NextShown(i) : TVirtualGridAxis::NextInOrder(i))
    if (!VisibleOnly || i->Has(asVisible)) items.push_back(i);
  return items;
}

// Keeps the frame disabled for the duration of the export.
struct TDisabledScope {
  QWidget* Widget;
  explicit TDisabledScope(QWidget* w) : Widget(w) { Widget->setEnabled(false); }
  ~TDisabledScope() { Widget->setEnabled(true); }
};
}  // namespace

TExportSheet TGridFrame::BuildExportSheet(bool VisibleOnly) {
  TExportSheet sheet;
  TVirtualDGrid* g = VirtualDGrid;
  const std::vector<PVirtualAxisItem> rows = Walk(g->Rows, VisibleOnly);
  const std::vector<PVirtualAxisItem> cols = Walk(g->Cols, VisibleOnly);
  const int mainColumn = g->MainColumn();
  // Column pass: the first grid row as a bold header, widths and alignment.
  FSheetRow = 1;
  FSheetCol = 0;
  PVirtualAxisItem firstRow = g->Rows->GetFirst();
  for (PVirtualAxisItem k : cols) {
    TBaseCellValue* v = GetValue(firstRow, k);
    TExportSheet::TCell& cell = sheet.Cells[{FSheetRow, FSheetCol + 1}];
    cell.Text = v ? v->GetValue() : QString();
    cell.Bold = true;
    sheet.Columns[FSheetCol + 1] = TExportSheet::TColumn{static_cast<double>(k->Size / 8), mainColumn == FSheetCol + 1};
    ++FSheetCol;
  }
  // Row pass.
  std::map<TMergedCell*, size_t> merges;
  FSheetRow = 0;
  for (PVirtualAxisItem q : rows) {
    const int level = TVirtualGridAxis::GetLevel(q) - 1;
    ++FSheetRow;
    FSheetCol = 0;
    for (PVirtualAxisItem k : cols) {
      QString text, alt;
      if (TBaseCellValue* v = GetValue(q, k)) {
        text = v->GetValue().remove(QStringLiteral("[0]"));
        alt = v->GetDisplayText().replace(',', '.');
        if (text.isEmpty()) text = alt;
      }
      if (text == QStringLiteral("NULL")) text.clear();
      const int c = FSheetCol + 1;
      if (TMergedCell* m = g->GetMergedCell(q, k)) {
        auto it = merges.find(m);
        if (it == merges.end()) {
          merges[m] = sheet.Merges.size();
          sheet.Merges.push_back(TExMrgCell{c, FSheetRow, c, FSheetRow});
        } else {
          TExMrgCell& r = sheet.Merges[it->second];
          r.Col1 = std::min(r.Col1, c);
          r.Col2 = std::max(r.Col2, c);
          r.Row1 = std::min(r.Row1, FSheetRow);
          r.Row2 = std::max(r.Row2, FSheetRow);
        }
      }
      TExportSheet::TCell& cell = sheet.Cells[{FSheetRow, c}];
      cell.Text = text;
      cell.Alt = alt;
      if (mainColumn == c) cell.Indent = level;
      ++FSheetCol;
    }
  }
  sheet.RowCount = FSheetRow;
  sheet.ColCount = FSheetCol;
  return sheet;
}

void TGridFrame::ExportToExcel(bool VisibleOnly) {
  VirtualDGrid->TryEndEdit();
  if (VirtualDGrid->Rows->GetCount() == 0) {
    Dialogs().Message(QStringLiteral("Таблица пуста"), QStringLiteral("Внимание!"), TMsgButtons::Ok, TMsgKind::Warning);
    return;
  }
  TDisabledScope disabled(this);
  TExportSheet sheet;
  BeforeExport(sheet);
  TExportSheet built = BuildExportSheet(VisibleOnly);
  for (auto& [key, cell] : built.Cells) sheet.Cells[key] = cell;
  for (auto& [key, column] : built.Columns) sheet.Columns[key] = column;
  sheet.Merges.insert(sheet.Merges.end(), built.Merges.begin(), built.Merges.end());
  sheet.RowCount = std::max(sheet.RowCount, built.RowCount);
  sheet.ColCount = std::max(sheet.ColCount, built.ColCount);
  AfterExport(sheet);
  AfterExport2(sheet);

  // A fresh name each time: the spreadsheet may still hold an earlier export open.
  LastExportPath = TempPath() + QStringLiteral("talvex_") +
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss_")) +
                   NewGuidText().mid(1, 8) + QStringLiteral(".xlsx");
  TXlsxWriter writer(LastExportPath);
  if (!writer.IsOpen()) throw std::runtime_error("Не удалось создать файл " + LastExportPath.toStdString());
  // Every written cell: Times New Roman 8, wrapped, centred vertically,
  // thin borders; the column's alignment; bold in the header row; the tree
  // level as indent in the main column.
  auto format = [&](int row, int col, const TExportSheet::TCell* cell) {
    TXlsxFormat f;
    f.FontName = QStringLiteral("Times New Roman");
    f.FontSize = 8;
    f.Wrap = true;
    f.VAlign = 2;
    auto column = sheet.Columns.find(col);
    f.HAlign = (column != sheet.Columns.end() && column->second.AlignLeft) ? 1 : 2;
    f.Border = true;
    if (cell) {
      f.Bold = cell->Bold || row == 1;
      f.Indent = cell->Indent;
    }
    return f;
  };
  for (const auto& [col, column] : sheet.Columns) {
    TXlsxFormat f;
    f.Wrap = true;
    f.VAlign = 2;
    f.HAlign = column.AlignLeft ? 1 : 2;
    writer.SetColumn(col - 1, column.Width, f);
  }
  for (const auto& [key, cell] : sheet.Cells) {
    const TXlsxFormat f = format(key.first, key.second, &cell);
    if (!writer.WriteString(key.first - 1, key.second - 1, cell.Text, f))
      writer.WriteString(key.first - 1, key.second - 1, cell.Alt, f);
  }
  for (const TExMrgCell& m : sheet.Merges) {
    auto first = sheet.Cells.find({m.Row1, m.Col1});
    const TExportSheet::TCell* cell = first == sheet.Cells.end() ? nullptr : &first->second;
    writer.MergeRange(m.Row1 - 1, m.Col1 - 1, m.Row2 - 1, m.Col2 - 1, cell ? cell->Text : QString(),
                      format(m.Row1, m.Col1, cell));
  }
  QString error;
  if (!writer.Close(&error))
    throw std::runtime_error("Не удалось записать файл " + LastExportPath.toStdString() + ": " + error.toStdString());
  if (!OpenWithDefaultApplication(LastExportPath))
    throw std::runtime_error("Не удалось открыть файл " + LastExportPath.toStdString());
}
