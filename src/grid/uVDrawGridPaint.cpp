// The paint pass of the drawing grid.
#include <QPainter>
#include <climits>

#include "grid/uVDrawGrid.h"
#include "grid/uVGImages.h"

namespace {
const TColor kSelectedHeaderColor = 0x00A4A0A0;

bool Between(PVirtualAxisItem Item, PVirtualAxisItem First, PVirtualAxisItem Last) {
  return Item && Item->AbsoluteIndex >= First->AbsoluteIndex && Item->AbsoluteIndex <= Last->AbsoluteIndex;
}
}  // namespace

std::vector<TVirtualDGrid::TLine> TVirtualDGrid::LinesOf(PVirtualAxisItem First, int Start, int Edge) const {
  std::vector<TLine> lines;
  for (PVirtualAxisItem item = First; item && Start < Edge; item = TVirtualGridAxis::NextShown(item)) {
    if (!item->Has(asVisible)) continue;
    lines.push_back({item, Start});
    Start += item->Size + 1;
  }
  return lines;
}

void TVirtualDGrid::PaintGrid(QPainter& P) {
  SyncScrollBars();  // layout, visible items and scroll ranges are current afterwards
  P.setFont(font());
  FEditCellVisible = false;
  ExcludeState(gsDirty);
  const int w = ClientWidth(), h = ClientHeight();
  P.fillRect(QRect(0, 0, width(), height()), palette().color(QPalette::Window));
  P.fillRect(QRect(0, 0, w, h), ToQBrush(BackGround.BGColor, 0));
  UpdateVisibleItems();

  const TGridRect scroll = ScrollArea();
  const std::vector<TLine> scrollRows = LinesOf(FirstScrollRow, scroll.Top + 1, h);
  const std::vector<TLine> scrollCols = LinesOf(FirstScrollCol, scroll.Left + 1, w);
  std::vector<TLine> fixedRows, fixedCols;
  if (Rows->FixedItem) fixedRows = LinesOf(Rows->GetFirst(), DataTop + 1, DataTop + FixedRowsExtent);
  if (Cols->FixedItem) fixedCols = LinesOf(Cols->GetFirst(), DataLeft + 1, DataLeft + FixedColsExtent);

  PaintArea(P, scroll, scrollRows, scrollCols);
  PaintRowHeaders(P, scrollRows, {0, scroll.Top, DataLeft, h});
  PaintColHeaders(P, scrollCols, {scroll.Left, 0, w, DataTop});
  if (Rows->FixedItem) {
    PaintArea(P, FixedRowsArea(), fixedRows, scrollCols);
    PaintRowHeaders(P, fixedRows, {0, DataTop, DataLeft, DataTop + FixedRowsExtent});
  }
  if (Cols->FixedItem) {
    PaintArea(P, FixedColsArea(), scrollRows, fixedCols);
    PaintColHeaders(P, fixedCols, {DataLeft, 0, DataLeft + FixedColsExtent, DataTop});
  }
  if (Rows->FixedItem && Cols->FixedItem) PaintArea(P, CornerArea(), fixedRows, fixedCols);
  if (DisplayTopHeader() || DisplayLeftHeader()) PaintCorner(P);
  PaintFixedLines(P);
}

void TVirtualDGrid::PaintArea(QPainter& P, const TGridRect& Area, const std::vector<TLine>& RowLines,
                              const std::vector<TLine>& ColLines) {
  if (Area.Right <= Area.Left || Area.Bottom <= Area.Top) return;
  P.save();
  P.setClipRect(ToQRect(Area));
  if (VertGridLines.Enabled) {
    P.setPen(ToQPen(VertGridLines.Color, VertGridLines.Style, VertGridLines.Width));
    for (const TLine& c : ColLines) P.drawLine(c.Start + c.Item->Size, Area.Top, c.Start + c.Item->Size, Area.Bottom);
  }
  if (HorizGridLines.Enabled) {
    P.setPen(ToQPen(HorizGridLines.Color, HorizGridLines.Style, HorizGridLines.Width));
    for (const TLine& r : RowLines) P.drawLine(Area.Left, r.Start + r.Item->Size, Area.Right, r.Start + r.Item->Size);
  }
  FPaintMerged.clear();
  const bool anyMerged = !MergedCells.empty();
  for (const TLine& r : RowLines) {
    for (const TLine& c : ColLines) {
      const TGridRect rect{c.Start, r.Start, c.Start + c.Item->Size, r.Start + r.Item->Size};
      if (anyMerged) {
        if (TMergedCell* m = GetMergedCell(r.Item, c.Item)) {
          if (m->PaintBounds.Left == INT_MAX) FPaintMerged.push_back(m);
          m->Widen(rect);
          continue;
        }
      }
      PaintCell(P, r.Item, c.Item, rect, Area);
    }
  }
  for (TMergedCell* m : FPaintMerged) {
    m->DrawRect = m->PaintBounds;
    PaintCell(P, m->FirstRow, m->FirstCol, m->PaintBounds, Area);
    if (Between(FocusedRow, m->FirstRow, m->LastRow) && Between(FocusedCol, m->FirstCol, m->LastCol) &&
        !(FocusedRow == m->FirstRow && FocusedCol == m->FirstCol)) {
      P.setPen(QPen(Qt::black, 1, Qt::DotLine));
      P.setBrush(Qt::NoBrush);
      P.drawRect(ToQRect(m->PaintBounds).adjusted(0, 0, -1, -1));
    }
    m->ResetPaintBounds();
  }
  FPaintMerged.clear();
  P.restore();
}

void TVirtualDGrid::PaintCell(QPainter& P, PVirtualAxisItem Row, PVirtualAxisItem Col, const TGridRect& Rect,
                              const TGridRect& Area) {
  QRect r = ToQRect(Rect);
  QRect textRect = r;
  if (Col == MainColumnItem()) textRect.setLeft(textRect.left() + TVirtualGridAxis::GetLevel(Row) * Indent());
  if (Row == MainRowItem()) textRect.setTop(textRect.top() + TVirtualGridAxis::GetLevel(Col) * Indent());
  if (OnCellPaint)
    OnCellPaint(P, r, Row, Col);
  else if (OnBeforeCellPaint)
    OnBeforeCellPaint(P, Row, Col, r);
  else
    P.fillRect(r, ToQBrush(BackGround.Color, BackGround.Style));
  if (Col == MainColumnItem()) PaintTreeLines(P, Row, r, false);
  if (Row == MainRowItem()) PaintTreeLines(P, Col, r, true);
  if (OnImage) {
    const TVGImageList* list = nullptr;
    const int index = OnImage(textRect, Row, Col, list);
    if (index >= 0 && list) {
      list->Draw(P, textRect.left(), textRect.top(), index);
      textRect.setLeft(textRect.left() + list->Width());
    }
  }
  if (Row == EditRow && Col == EditCol && FEditor) {
    FEditTextRect = textRect;
    const TGridRect scroll = ScrollArea();
    const bool inScrollArea = Area.Left == scroll.Left && Area.Top == scroll.Top;
    FEditCellVisible = Rect.Left >= DataLeft && Rect.Top >= DataTop &&
                       (!inScrollArea || (Rect.Left >= scroll.Left + FixedLineOverlap && Rect.Top >= scroll.Top + FixedLineOverlap));
    return;
  }
  const QRect inner(QPoint(textRect.left() + 3, textRect.top() + 2), QPoint(textRect.right() - 1, textRect.bottom() - 1));
  if (OnCellTextPaint) {
    QRect t = inner;
    OnCellTextPaint(P, t, Row, Col);
  } else {
    QString text;
    DoGetCellText(Row, Col, text);
    if (text == QStringLiteral("none "))
      text += QString::number(Row->AbsoluteIndex) + ':' + QString::number(Col->AbsoluteIndex);
    if (!text.isEmpty()) {
      P.setFont(font());
      P.setPen(Qt::black);
      P.drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
  }
  if (IsCellSelected(Row, Col)) {
    P.save();
    P.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    P.fillRect(r, ToQBrush(SelectionStyle.Color, SelectionStyle.Style));
    const bool anchor = Row == AnchorRow && Col == AnchorCol;
    P.setPen(ToQColor(anchor ? BackGround.Color : SelectionStyle.Color));
    P.setBrush(Qt::NoBrush);
    P.drawRect(r.adjusted(0, 0, -1, -1));
    P.restore();
  }
  if (Row == FocusedRow && Col == FocusedCol) {
    const int inset = std::max(1, FixedGridLines.Width / 2);
    QRect frame = r.adjusted(0, 0, -1, -1);
    if (Row == Rows->FixedItem) frame.setBottom(frame.bottom() - inset);
    if (Col == Cols->FixedItem) frame.setRight(frame.right() - inset);
    P.setPen(QPen(Qt::black, 1, Qt::DotLine));
    P.setBrush(Qt::NoBrush);
    P.drawRect(frame);
  }
}

void TVirtualDGrid::PaintHeaderCell(QPainter& P, const QRect& R, PVirtualAxisItem Item) {
  const int right = R.left() + R.width(), bottom = R.top() + R.height();
  if (TVirtualGridAxis::IsSelected(Item)) {
    P.fillRect(R, ToQBrush(kSelectedHeaderColor, SelectionStyle.Style));
  } else {
    P.fillRect(R, ToQColor(clBtnFace));
  }
  if (FlatHeaders) {
    P.setPen(ToQColor(HeadersStyle.BGColor));
    P.drawLine(right, R.top(), right, bottom);
    P.drawLine(R.left(), bottom, right, bottom);
  } else {
    P.setPen(ToQColor(clBtnShadow));
    P.drawLine(right, R.top(), right, bottom);
    P.drawLine(R.left(), bottom, right, bottom);
    P.setPen(ToQColor(clBtnHighlight));
    P.drawLine(R.left(), R.top(), right - 1, R.top());
    P.drawLine(R.left(), R.top(), R.left(), bottom - 1);
  }
  QRect textRect = R;
  if (Item->SortMark == 1 || Item->SortMark == 2) {
    GridUtilityImages().Draw(P, R.left(), R.top() + (R.height() - 16) / 2, Item->SortMark == 1 ? 3 : 2);
    textRect.setLeft(textRect.left() + 11);
  }
  P.setPen(Qt::black);
  const QString text = QString::number(Item->AbsoluteIndex);
  P.drawText(textRect, Qt::AlignCenter, P.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

void TVirtualDGrid::PaintRowHeaders(QPainter& P, const std::vector<TLine>& RowLines, const TGridRect& Clip) {
  if (!DisplayLeftHeader() && TreeAreaWidth == 0) return;
  P.save();
  P.setClipRect(ToQRect(Clip));
  QFont headerFont = font();
  headerFont.setPointSize(8);
  P.setFont(headerFont);
  if (DisplayLeftHeader())
    P.fillRect(QRect(TreeAreaWidth, Clip.Top, Cols->Root->Size, Clip.Bottom - Clip.Top), ToQColor(HeadersStyle.Color));
  for (const TLine& r : RowLines) {
    if (DisplayLeftHeader()) PaintHeaderCell(P, QRect(TreeAreaWidth, r.Start, Cols->Root->Size, r.Item->Size), r.Item);
    if (!MainColumnItem() && TreeAreaWidth > 0) PaintTreeLines(P, r.Item, QRect(0, r.Start, TreeAreaWidth, r.Item->Size + 1), false);
  }
  P.restore();
}

void TVirtualDGrid::PaintColHeaders(QPainter& P, const std::vector<TLine>& ColLines, const TGridRect& Clip) {
  if (!DisplayTopHeader() && TreeAreaHeight == 0) return;
  P.save();
  P.setClipRect(ToQRect(Clip));
  QFont headerFont = font();
  headerFont.setPointSize(8);
  P.setFont(headerFont);
  if (DisplayTopHeader())
    P.fillRect(QRect(Clip.Left, TreeAreaHeight, Clip.Right - Clip.Left, Rows->Root->Size), ToQColor(HeadersStyle.Color));
  for (const TLine& c : ColLines) {
    if (DisplayTopHeader()) PaintHeaderCell(P, QRect(c.Start, TreeAreaHeight, c.Item->Size, Rows->Root->Size), c.Item);
    if (!MainRowItem() && TreeAreaHeight > 0) PaintTreeLines(P, c.Item, QRect(c.Start, 0, c.Item->Size + 1, TreeAreaHeight), true);
  }
  P.restore();
}

// Row tree lines in R (Vertical false) or the column tree turned by 90 degrees.
void TVirtualDGrid::PaintTreeLines(QPainter& P, PVirtualAxisItem Item, const QRect& R, bool Vertical) {
  const TDrawLines& lines = Vertical ? HorizTreeLines : VertTreeLines;
  if (!lines.Enabled) return;
  const int level = TVirtualGridAxis::GetLevel(Item);
  const int a0 = Vertical ? R.top() : R.left();
  const int b0 = Vertical ? R.left() : R.top();
  const int len = Vertical ? R.width() : R.height();
  const int indent = Indent();
  const int boxOffset = std::max(0, (std::min(len, 20) - 11) / 2);
  const int mid = b0 + boxOffset + 5;
  auto levelStart = [&](int j) { return a0 + 5 + (j - 1) * indent; };
  auto centre = [&](int j) { return levelStart(j) + 5; };
  auto line = [&](int a1, int b1, int a2, int b2) {
    if (Vertical)
      P.drawLine(b1, a1, b2, a2);
    else
      P.drawLine(a1, b1, a2, b2);
  };
  P.setPen(ToQPen(lines.Color, lines.Style, lines.Width));
  PVirtualAxisItem path = Item;
  for (int k = level - 1; k >= 1 && path; --k) {
    if (path->NextSibling) line(centre(k), b0, centre(k), b0 + len);
    path = path->Parent;
  }
  if (level >= 2) {
    line(centre(level - 1), b0, centre(level - 1), mid);
    line(centre(level - 1), mid, Item->FirstChild ? levelStart(level) : levelStart(level) + 10, mid);
  }
  if (!Item->FirstChild) return;
  const int box = levelStart(level);
  if (Item->Has(asExpanded)) line(centre(level), b0 + boxOffset + 10, centre(level), b0 + len);
  line(box + 10, mid, levelStart(level + 1), mid);
  P.setBrush(Qt::white);
  if (Vertical)
    P.drawRect(b0 + boxOffset, box, 10, 10);
  else
    P.drawRect(box, b0 + boxOffset, 10, 10);
  P.setPen(Qt::black);
  line(box + 2, mid, box + 8, mid);
  if (!Item->Has(asExpanded)) line(centre(level), mid - 3, centre(level), mid + 3);
  P.setBrush(Qt::NoBrush);
}

void TVirtualDGrid::PaintCorner(QPainter& P) {
  const QRect corner(0, 0, DataLeft, DataTop);
  if (corner.isEmpty()) return;
  if (FlatHeaders) {
    P.fillRect(corner, ToQColor(HeadersStyle.Color));
    return;
  }
  P.fillRect(corner, ToQColor(clBtnFace));
  P.setPen(ToQColor(clBtnShadow));
  P.drawLine(DataLeft - 1, 0, DataLeft - 1, DataTop - 1);
  P.drawLine(0, DataTop - 1, DataLeft - 1, DataTop - 1);
  P.setPen(ToQColor(clBtnHighlight));
  P.drawLine(0, 0, DataLeft - 2, 0);
  P.drawLine(0, 0, 0, DataTop - 2);
}

void TVirtualDGrid::PaintFixedLines(QPainter& P) {
  if (!FixedGridLines.Enabled) return;
  P.setPen(ToQPen(FixedGridLines.Color, FixedGridLines.Style, FixedGridLines.Width));
  const int half = FixedGridLines.Width / 2;
  if (Rows->FixedItem) {
    const int y = DataTop + FixedRowsExtent - half;
    P.drawLine(0, y, ClientWidth(), y);
  }
  if (Cols->FixedItem) {
    const int x = DataLeft + FixedColsExtent - half;
    P.drawLine(x, 0, x, ClientHeight());
  }
}
