// The drawing grid driven offscreen by key and mouse events.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "GridTestUtil.h"

namespace {
QPlainTextEdit* EditorControl(TVirtualDGrid& g) {
  auto link = std::dynamic_pointer_cast<TVGCellEditLink>(g.Editor());
  return link ? qobject_cast<QPlainTextEdit*>(link->EditControl()) : nullptr;
}
}  // namespace

TEST(GridWidget, TypingOpensEditorWithTheKey) {
  TGridBench b(4, 4);
  b.grid.FocusedRow = b.r[1];
  b.grid.FocusedCol = b.c[2];
  SendKey(&b.grid, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  Pump(&b.grid);
  ASSERT_TRUE(b.grid.IsEditing());
  EXPECT_EQ(b.grid.EditRow, b.r[1]);
  EXPECT_EQ(b.grid.EditCol, b.c[2]);
  QPlainTextEdit* edit = EditorControl(b.grid);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->objectName().startsWith(QStringLiteral("VGEdit_")));
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("x"));  // typing over replaces the text
  // Enter in the editor stores the text and moves one row down.
  SendKey(edit, Qt::Key_Return);
  Pump(&b.grid);
  EXPECT_FALSE(b.grid.IsEditing());
  EXPECT_EQ((b.texts[{b.r[1], b.c[2]}]), QStringLiteral("x"));
  EXPECT_EQ(b.grid.FocusedRow, b.r[2]);
  EXPECT_EQ(b.grid.FocusedCol, b.c[2]);
}

TEST(GridWidget, F2OpensWithTextAndCaretAtEnd) {
  TGridBench b(4, 4);
  b.grid.FocusedRow = b.r[0];
  b.grid.FocusedCol = b.c[1];
  SendKey(&b.grid, Qt::Key_F2);
  Pump(&b.grid);
  QPlainTextEdit* edit = EditorControl(b.grid);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("r0c1"));
  EXPECT_EQ(edit->textCursor().position(), 4);
  // Typing appends; Tab inside the editor stores and moves right.
  SendKey(edit, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"));
  SendKey(edit, Qt::Key_Tab);
  Pump(&b.grid);
  EXPECT_EQ((b.texts[{b.r[0], b.c[1]}]), QStringLiteral("r0c1z"));
  EXPECT_EQ(b.grid.FocusedCol, b.c[2]);
}

TEST(GridWidget, EscRestoresTheCell) {
  TGridBench b(3, 3);
  b.grid.FocusedRow = b.r[2];
  b.grid.FocusedCol = b.c[0];
  int canceled = 0;
  b.grid.OnEditCanceled = [&](PVirtualAxisItem, PVirtualAxisItem) { ++canceled; };
  SendKey(&b.grid, Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"));
  Pump(&b.grid);
  QPlainTextEdit* edit = EditorControl(b.grid);
  ASSERT_NE(edit, nullptr);
  SendKey(edit, Qt::Key_Escape);
  Pump(&b.grid);
  EXPECT_FALSE(b.grid.IsEditing());
  EXPECT_EQ(canceled, 1);
  EXPECT_EQ((b.texts[{b.r[2], b.c[0]}]), QStringLiteral("r2c0"));
  ASSERT_FALSE(b.stored.empty());
  EXPECT_EQ(std::get<2>(b.stored.back()), QStringLiteral("r2c0"));  // the start text stored back
}

TEST(GridWidget, TabWrapsToTheNextRow) {
  TGridBench b(3, 12, 400, 200);
  b.grid.FocusedRow = b.r[0];
  b.grid.FocusedCol = b.c[11];
  b.grid.SetScrollX(200);
  SendKey(&b.grid, Qt::Key_Tab);
  EXPECT_EQ(b.grid.FocusedRow, b.r[1]);
  EXPECT_EQ(b.grid.FocusedCol, b.c[0]);
  EXPECT_EQ(b.grid.ScrollX(), 0);
  SendKey(&b.grid, Qt::Key_Tab);
  EXPECT_EQ(b.grid.FocusedCol, b.c[1]);
}

TEST(GridWidget, MovementKeysAndScrolling) {
  TGridBench b(30, 3, 400, 200);
  b.grid.FocusedRow = b.r[0];
  b.grid.FocusedCol = b.c[0];
  int changes = 0;
  b.grid.OnFocusChanged = [&] { ++changes; };
  SendKey(&b.grid, Qt::Key_Left);  // never onto the root
  EXPECT_EQ(b.grid.FocusedCol, b.c[0]);
  SendKey(&b.grid, Qt::Key_Up);
  EXPECT_EQ(b.grid.FocusedRow, b.r[0]);
  EXPECT_EQ(changes, 0);
  for (int i = 0; i < 12; ++i) SendKey(&b.grid, Qt::Key_Down);
  EXPECT_EQ(b.grid.FocusedRow, b.r[12]);
  EXPECT_EQ(changes, 12);
  b.grid.EnsureLayout();
  EXPECT_GT(b.grid.ScrollY(), 0);  // the focus stays in view
  const TGridRect rect = b.grid.GetCellRect(b.r[12], b.c[0]);
  EXPECT_GT(rect.Top, 0);
  EXPECT_LE(rect.Bottom, b.grid.ClientHeight());
  SendKey(&b.grid, Qt::Key_Right, Qt::NoModifier);
  EXPECT_EQ(b.grid.FocusedCol, b.c[1]);
}

TEST(GridWidget, ShiftArrowsSelectARectangle) {
  TGridBench b(5, 5);
  b.grid.FocusedRow = b.r[1];
  b.grid.FocusedCol = b.c[1];
  QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  QApplication::sendEvent(&b.grid, &shift);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
  QApplication::sendEvent(&b.grid, &down);
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
  QApplication::sendEvent(&b.grid, &right);
  EXPECT_EQ(b.grid.Rows->SelectedCount(), 2);
  EXPECT_EQ(b.grid.Cols->SelectedCount(), 2);
  EXPECT_TRUE(b.grid.IsCellSelected(b.r[2], b.c[2]));
  EXPECT_FALSE(b.grid.IsCellSelected(b.r[3], b.c[2]));
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  QApplication::sendEvent(&b.grid, &up);
  SendKey(&b.grid, Qt::Key_Down);
  EXPECT_EQ(b.grid.Rows->SelectedCount(), 0);  // a plain move clears the selection
}

TEST(GridWidget, DeleteOnSelectionRaisesEventElseEdits) {
  TGridBench b(4, 4);
  int deletes = 0;
  b.grid.OnDelSelection = [&] { ++deletes; };
  b.grid.SelectCells(b.r[0], b.c[0], b.c[1], b.r[1]);
  b.grid.FocusedRow = b.r[1];
  b.grid.FocusedCol = b.c[1];
  SendKey(&b.grid, Qt::Key_Delete);
  EXPECT_EQ(deletes, 1);
  EXPECT_FALSE(b.grid.IsEditing());
  b.grid.SelectCells(b.r[1], b.c[1], b.c[1], b.r[1]);  // one cell: opens an empty editor
  SendKey(&b.grid, Qt::Key_Delete);
  Pump(&b.grid);
  EXPECT_EQ(deletes, 1);
  ASSERT_TRUE(b.grid.IsEditing());
  EXPECT_EQ(EditorControl(b.grid)->toPlainText(), QString());
}

TEST(GridWidget, NotEditableGridOpensNoEditor) {
  TGridBench b(2, 2);
  b.grid.FocusedRow = b.r[0];
  b.grid.FocusedCol = b.c[0];
  b.grid.OnGetAllowEditing = [&](PVirtualAxisItem row, PVirtualAxisItem) { return row != b.r[0]; };
  SendKey(&b.grid, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  EXPECT_FALSE(b.grid.IsEditing());
  SendKey(&b.grid, Qt::Key_Down);
  SendKey(&b.grid, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  EXPECT_TRUE(b.grid.IsEditing());
}

TEST(GridWidget, HeaderClicksSelectThenCycleTheSort) {
  TGridBench b(4, 3);
  std::vector<int> keys = {2, 0, 3, 1};
  for (int i = 0; i < 4; ++i) b.r[i]->Data = &keys[i];
  b.grid.Rows->OnCompareEvent = [](TVirtualGridAxis*, PVirtualAxisItem x, PVirtualAxisItem y, PVirtualAxisItem,
                                   int& res) { res = *static_cast<int*>(x->Data) - *static_cast<int*>(y->Data); };
  auto order = [&] {
    std::vector<int> out;
    for (PVirtualAxisItem p = b.grid.Rows->GetFirst(); p; p = p->NextSibling) out.push_back(*static_cast<int*>(p->Data));
    return out;
  };
  b.grid.EnsureLayout();
  const TGridRect cell = b.grid.GetCellRect(b.r[0], b.c[1]);
  const QPoint header((cell.Left + cell.Right) / 2, b.grid.DataTop - 5);
  ASSERT_EQ(b.grid.HitTest(header.x(), header.y()).Code, htColHeader);

  Click(&b.grid, header);
  EXPECT_TRUE(b.c[1]->Has(asWholeLine));
  EXPECT_EQ(b.grid.FocusedRow, b.r[0]);
  EXPECT_EQ(b.c[1]->SortMark, 0);
  EXPECT_EQ(order(), (std::vector<int>{2, 0, 3, 1}));
  Click(&b.grid, header);
  EXPECT_EQ(b.c[1]->SortMark, 1);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3}));
  Click(&b.grid, header);
  EXPECT_EQ(b.c[1]->SortMark, 2);
  EXPECT_EQ(order(), (std::vector<int>{3, 2, 1, 0}));
  Click(&b.grid, header);
  EXPECT_EQ(b.c[1]->SortMark, 0);
  EXPECT_EQ(order(), (std::vector<int>{2, 0, 3, 1}));  // the unsorted order is back
}

TEST(GridWidget, BorderDragResizesEverySelectedColumnOnRelease) {
  TGridBench b(3, 4);
  b.grid.Cols->SelectItem(b.c[1], true);
  b.grid.Cols->SelectItem(b.c[2], true);
  b.grid.EnsureLayout();
  const TGridRect cell = b.grid.GetCellRect(b.r[0], b.c[1]);
  const QPoint border(cell.Right, b.grid.DataTop - 5);  // the grid line after the column, in the header
  ASSERT_EQ(b.grid.HitTest(border.x(), border.y()).Code, htColBorder);
  SendMouse(&b.grid, QEvent::MouseButtonPress, border);
  SendMouse(&b.grid, QEvent::MouseMove, border + QPoint(30, 0));
  EXPECT_EQ(b.c[1]->Size, 110);
  EXPECT_EQ(b.c[2]->Size, 80);  // others follow only on release
  SendMouse(&b.grid, QEvent::MouseButtonRelease, border + QPoint(30, 0));
  EXPECT_EQ(b.c[1]->Size, 110);
  EXPECT_EQ(b.c[2]->Size, 110);
  EXPECT_EQ(b.c[3]->Size, 80);
  b.c[3]->States |= asFixedSize;  // a fixed-size column ignores the gesture
  const TGridRect c3 = b.grid.GetCellRect(b.r[0], b.c[3]);
  const QPoint border3(c3.Right, b.grid.DataTop - 5);
  SendMouse(&b.grid, QEvent::MouseButtonPress, border3);
  SendMouse(&b.grid, QEvent::MouseMove, border3 + QPoint(20, 0));
  SendMouse(&b.grid, QEvent::MouseButtonRelease, border3 + QPoint(20, 0));
  EXPECT_EQ(b.c[3]->Size, 80);
}

TEST(GridWidget, DragSelectsCellsAndRowHeaderSelectsRows) {
  TGridBench b(5, 4);
  b.grid.EnsureLayout();
  SendMouse(&b.grid, QEvent::MouseButtonPress, CellCentre(b.grid, b.r[1], b.c[0]));
  SendMouse(&b.grid, QEvent::MouseMove, CellCentre(b.grid, b.r[3], b.c[2]));
  SendMouse(&b.grid, QEvent::MouseButtonRelease, CellCentre(b.grid, b.r[3], b.c[2]));
  EXPECT_EQ(b.grid.Rows->SelectedCount(), 3);
  EXPECT_EQ(b.grid.Cols->SelectedCount(), 3);
  EXPECT_EQ(b.grid.FocusedRow, b.r[3]);
  EXPECT_TRUE(b.grid.IsCellSelected(b.r[2], b.c[1]));
  const TGridRect cell = b.grid.GetCellRect(b.r[2], b.c[0]);
  Click(&b.grid, QPoint(b.grid.DataLeft - 5, (cell.Top + cell.Bottom) / 2));
  EXPECT_TRUE(b.r[2]->Has(asWholeLine));
  EXPECT_EQ(b.grid.Cols->SelectedCount(), 0);
  EXPECT_EQ(b.grid.FocusedCol, b.c[0]);
  EXPECT_TRUE(b.grid.IsCellSelected(b.r[2], b.c[3]));
}

TEST(GridWidget, DoubleClicks) {
  TGridBench b(3, 3);
  b.grid.EnsureLayout();
  int dbl = 0;
  b.grid.OnDblClick = [&] { ++dbl; };
  SendMouse(&b.grid, QEvent::MouseButtonDblClick, QPoint(b.grid.DataLeft - 3, b.grid.DataTop - 3));
  EXPECT_EQ(dbl, 1);
  EXPECT_EQ(b.grid.Rows->SelectedCount(), 3);  // the corner selects all
  SendMouse(&b.grid, QEvent::MouseButtonRelease, QPoint(b.grid.DataLeft - 3, b.grid.DataTop - 3));
  const QPoint cell = CellCentre(b.grid, b.r[1], b.c[1]);
  SendMouse(&b.grid, QEvent::MouseButtonDblClick, cell);
  SendMouse(&b.grid, QEvent::MouseButtonRelease, cell);
  Pump(&b.grid);
  ASSERT_TRUE(b.grid.IsEditing());  // Enter was posted to the grid
  EXPECT_EQ(EditorControl(b.grid)->toPlainText(), QStringLiteral("r1c1"));
}

TEST(GridWidget, TreeButtonToggles) {
  TGridBench b(2, 2);
  PVirtualAxisItem child = b.grid.Rows->AddChild(b.r[0]);
  b.grid.EnsureLayout();
  PVirtualAxisItem toggled = nullptr;
  b.grid.OnRowToggle = [&](PVirtualAxisItem i) { toggled = i; };
  const TGridRect cell = b.grid.GetCellRect(b.r[0], b.c[0]);
  Click(&b.grid, QPoint(8, (cell.Top + cell.Bottom) / 2));
  EXPECT_EQ(toggled, b.r[0]);
  EXPECT_FALSE(b.r[0]->Has(asExpanded));
  EXPECT_EQ(b.grid.GetCellRect(child, b.c[0]), (TGridRect{-2, -2, -1, -1}));
}

TEST(GridWidget, MergedCellPaintedOnceWithItsFirstCell) {
  TGridBench b(3, 4);
  TMergedCell* m = b.grid.MergeCells(b.c[1], b.c[3], b.r[0], b.r[0]);
  std::map<std::pair<PVirtualAxisItem, PVirtualAxisItem>, int> painted;
  b.grid.OnCellTextPaint = [&](QPainter&, QRect&, PVirtualAxisItem row, PVirtualAxisItem col) { ++painted[{row, col}]; };
  Pump(&b.grid);
  painted.clear();
  QImage image(b.grid.size(), QImage::Format_RGB32);
  b.grid.render(&image);
  EXPECT_EQ((painted[{b.r[0], b.c[1]}]), 1);
  EXPECT_EQ((painted.count({b.r[0], b.c[2]})), 0u);
  EXPECT_EQ((painted.count({b.r[0], b.c[3]})), 0u);
  EXPECT_EQ((painted[{b.r[1], b.c[2]}]), 1);
  const TGridRect first = b.grid.GetCellRect(b.r[0], b.c[1]);
  const TGridRect last = b.grid.GetCellRect(b.r[0], b.c[3]);
  EXPECT_EQ(m->DrawRect, (TGridRect{first.Left, first.Top, last.Right, last.Bottom}));
  EXPECT_EQ(m->PaintBounds.Left, 2147483647);  // reset after the pass
}

TEST(GridWidget, NoTextHandlerShowsNoneAndNumbers) {
  TVirtualDGrid grid;
  grid.Rows->AddChild(grid.Rows->Root);
  grid.Cols->AddChild(grid.Cols->Root);
  EXPECT_EQ(grid.GetCellText(grid.Rows->GetFirst(), grid.Cols->GetFirst()), QStringLiteral("none "));
  grid.resize(200, 100);
  QImage image(grid.size(), QImage::Format_RGB32);
  grid.render(&image);
  // Some dark text pixels inside the first cell.
  grid.EnsureLayout();
  const QRect cell = ToQRect(grid.GetCellRect(grid.Rows->GetFirst(), grid.Cols->GetFirst()));
  int dark = 0;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x)
      if (qGray(image.pixel(x, y)) < 100) ++dark;
  EXPECT_GT(dark, 10);
}

TEST(GridWidget, PageKeysMoveByAPage) {
  TGridBench b(60, 3, 400, 300);
  b.grid.FocusedRow = b.r[0];
  b.grid.FocusedCol = b.c[0];
  b.grid.EnsureLayout();
  PVirtualAxisItem last = b.grid.LastScrollRow;
  SendKey(&b.grid, Qt::Key_PageDown);
  EXPECT_EQ(b.grid.FocusedRow, TVirtualGridAxis::NextShown(last));
  EXPECT_GT(b.grid.ScrollY(), 0);
  b.grid.EnsureLayout();
  const TGridRect rect = b.grid.GetCellRect(b.grid.FocusedRow, b.c[0]);
  EXPECT_GE(rect.Top, b.grid.DataTop);  // the focused row is on screen
  SendKey(&b.grid, Qt::Key_PageUp);
  SendKey(&b.grid, Qt::Key_PageUp);
  EXPECT_EQ(b.grid.ScrollY(), 0);
  EXPECT_EQ(b.grid.FocusedRow, b.r[0]);
}

TEST(GridWidget, ScrollBarsFollowTheContent) {
  TGridBench b(60, 3, 400, 300);
  QScrollBar* vertical = nullptr;
  for (QScrollBar* bar : b.grid.findChildren<QScrollBar*>())
    if (bar->orientation() == Qt::Vertical) vertical = bar;
  ASSERT_NE(vertical, nullptr);
  EXPECT_TRUE(vertical->isVisible());
  EXPECT_LT(b.grid.ClientWidth(), 400);  // the bar takes room from the client area
  vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(b.grid.ScrollY(), 20);
  vertical->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(b.grid.ScrollY(), b.grid.VertScroll.TotalExtent - b.grid.VertScroll.ScrollLength);
  Pump(&b.grid);
  EXPECT_EQ(vertical->value(), b.grid.ScrollBarPosition(false));
  TGridBench small(2, 2, 400, 300);
  for (QScrollBar* bar : small.grid.findChildren<QScrollBar*>()) EXPECT_FALSE(bar->isVisible());
}

TEST(GridWidget, HintShowsTheCellTextOnTheHintColour) {
  TGridBench b(3, 3);
  b.grid.OnGetCellHint = [&](PVirtualAxisItem r, PVirtualAxisItem c, QString& t) {
    t = (r == b.r[1] && c == b.c[1]) ? QStringLiteral("подсказка") : QString();
  };
  auto help = [&](QPoint at) {
    QHelpEvent e(QEvent::ToolTip, at, b.grid.mapToGlobal(at));
    QApplication::sendEvent(&b.grid, &e);
    return b.grid.findChild<QLabel*>(QStringLiteral("VGHint"));
  };
  EXPECT_EQ(help(CellCentre(b.grid, b.r[0], b.c[0])), nullptr);  // an empty text shows no hint
  const QPoint at = CellCentre(b.grid, b.r[1], b.c[1]);
  QLabel* hint = help(at);
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(), QStringLiteral("подсказка"));
  EXPECT_EQ(hint->pos(), b.grid.mapToGlobal(at) + QPoint(10, -10));
  // Most of the window is the hint colour $00F0FFFF (red FF, green FF, blue F0).
  const QImage image = hint->grab().toImage();
  int hintColoured = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) hintColoured += QColor(image.pixel(x, y)) == QColor(0xFF, 0xFF, 0xF0);
  EXPECT_GT(hintColoured, image.width() * image.height() / 2);
  // The pointer may move 10 pixels sideways and down the row; beyond, the hint goes.
  SendMouse(&b.grid, QEvent::MouseMove, at + QPoint(9, 5));
  EXPECT_TRUE(hint->isVisible());
  SendMouse(&b.grid, QEvent::MouseMove, at + QPoint(11, 5));
  EXPECT_FALSE(hint->isVisible());
  help(at);
  EXPECT_TRUE(hint->isVisible());
  SendMouse(&b.grid, QEvent::MouseMove, at + QPoint(0, -1));  // above the hint position
  EXPECT_FALSE(hint->isVisible());
  help(at);
  SendKey(&b.grid, Qt::Key_Down);
  EXPECT_FALSE(hint->isVisible());
  help(at);
  help(CellCentre(b.grid, b.r[0], b.c[0]));
  EXPECT_FALSE(hint->isVisible());
}
