// The grid frame: edit history, clipboard, row heights, wheel, right click.
#include <gtest/gtest.h>

#include <QMenu>

#include "GridTestUtil.h"
#include "grid/wGridFrame.h"
#include "platform/uSystem.h"

namespace {

struct TFrameFixture : ::testing::Test {
  TGridFrame frame;
  std::vector<PVirtualAxisItem> r, c;
  int historyChanges = 0;

  void SetUp() override {
    frame.OnHistoryChange = [this] { ++historyChanges; };
    frame.Init();
    TVirtualDGrid* g = frame.VirtualDGrid;
    for (int i = 0; i < 4; ++i) r.push_back(g->Rows->AddChild(g->Rows->Root));
    for (int j = 0; j < 3; ++j) c.push_back(g->Cols->AddChild(g->Cols->Root));
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 3; ++j) {
        auto v = std::make_unique<TCellValue>();
        v->SetValue(QStringLiteral("r%1c%2").arg(i).arg(j));
        frame.SetCellValue(r[i], c[j], std::move(v));
      }
    frame.History->Clear();
    frame.resize(400, 200);
  }
  QString Text(int i, int j) { return frame.GetValue(r[i], c[j])->GetValue(); }
  TGridFrame& F() { return frame; }
  void Edit(int i, int j, const QString& v) { frame.VirtualDGrid->DoValueChanged(r[i], c[j], v); }
};

}  // namespace

TEST_F(TFrameFixture, UndoRedoSwapAndBranchDiscard) {
  EXPECT_GE(historyChanges, 1);
  EXPECT_FALSE(frame.HasChanges());
  Edit(0, 0, QStringLiteral("B"));
  EXPECT_EQ(Text(0, 0), QStringLiteral("B"));
  EXPECT_TRUE(frame.HasChanges());
  EXPECT_EQ(frame.History->Count(), 1);
  Edit(0, 0, QStringLiteral("B"));  // no change: no record
  EXPECT_EQ(frame.History->Count(), 1);
  frame.Undo();
  EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));
  EXPECT_EQ(frame.History->Current, -1);
  frame.Undo();  // nothing left: no effect
  EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));
  frame.Redo();
  EXPECT_EQ(Text(0, 0), QStringLiteral("B"));
  frame.Redo();  // at the newest record: nothing
  EXPECT_EQ(Text(0, 0), QStringLiteral("B"));
  EXPECT_EQ(frame.History->Count(), 1);  // the locked history took no record

  Edit(1, 1, QStringLiteral("X"));
  Edit(1, 1, QStringLiteral("Y"));
  frame.Undo();
  EXPECT_EQ(Text(1, 1), QStringLiteral("X"));
  Edit(2, 2, QStringLiteral("Z"));  // a new edit after an undo drops the redo branch
  EXPECT_EQ(frame.History->Count(), 3);
  frame.Redo();
  EXPECT_EQ(Text(1, 1), QStringLiteral("X"));
  frame.Undo();
  EXPECT_EQ(Text(2, 2), QStringLiteral("r2c2"));
  frame.Undo();
  frame.Undo();
  EXPECT_EQ(Text(1, 1), QStringLiteral("r1c1"));
  EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));
}

TEST_F(TFrameFixture, ClearValuesEmptiesWithoutHistory) {
  Edit(0, 1, QStringLiteral("x"));
  frame.ClearValues();
  EXPECT_TRUE(Text(0, 1).isEmpty());
  EXPECT_TRUE(Text(3, 2).isEmpty());
  EXPECT_FALSE(frame.HasChanges());
  EXPECT_EQ(frame.History->Count(), 0);
}

TEST_F(TFrameFixture, CopySelectedColumnsOnly) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  g->Cols->SelectItem(c[2], false);
  g->Cols->SelectItem(c[0], false);  // selection order is kept
  auto tab = frame.GetCell(r[1], c[0])->Value.get();
  tab->SetValue(QStringLiteral("a\tb\nc"));
  frame.CopyToClipboard();
  EXPECT_EQ(ClipboardText(), QStringLiteral("r0c2\tr0c0\r\nr1c2\ta b c\r\nr2c2\tr2c0\r\nr3c2\tr3c0"));
  g->ClearSelection();
  g->Rows->SelectItem(r[2], true);
  g->Rows->SelectItem(r[0], false);
  g->Cols->SelectItem(c[1], false);
  frame.CopyToClipboard();
  EXPECT_EQ(ClipboardText(), QStringLiteral("r2c0\tr2c1\tr2c2\r\nr0c1"));
}

TEST_F(TFrameFixture, PasteSingleCellBlockClippedAtTheEdges) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  static_cast<TCellValue*>(frame.GetValue(r[3], c[2]))->Editable = false;
  g->SelectCells(r[2], c[1], c[1], r[2]);
  frame.CurrentRow = r[2];
  frame.CurrentCol = c[1];
  CopyTextToClipboard(QStringLiteral("a\tb\tc\r\nd\te\tf\r\ng\th\ti"));
  frame.PasteFromClipboard();
  EXPECT_EQ(Text(2, 1), QStringLiteral("a"));
  EXPECT_EQ(Text(2, 2), QStringLiteral("b"));
  EXPECT_EQ(Text(3, 1), QStringLiteral("d"));
  EXPECT_EQ(Text(3, 2), QStringLiteral("r3c2"));  // not editable
  EXPECT_EQ(Text(1, 1), QStringLiteral("r1c1"));
  EXPECT_EQ(Text(2, 0), QStringLiteral("r2c0"));
  EXPECT_EQ(frame.History->Count(), 3);  // pasted cells go through the history
  frame.CurrentRow = nullptr;
  CopyTextToClipboard(QStringLiteral("zz"));
  frame.PasteFromClipboard();  // no current cell: nothing
  EXPECT_EQ(Text(2, 1), QStringLiteral("a"));
}

TEST_F(TFrameFixture, KeyboardPasteGoesToTheFocusedCellOnly) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  frame.CurrentRow = r[0];  // the last cell clicked
  frame.CurrentCol = c[0];
  g->FocusedRow = r[2];
  g->FocusedCol = c[1];
  g->ClearSelection();  // the keys that moved the focus cleared it
  CopyTextToClipboard(QStringLiteral("a\tb\r\nc\td"));
  g->HandleKey(Qt::Key_Insert, Qt::ShiftModifier, QString());
  EXPECT_EQ(Text(2, 1), QStringLiteral("a"));
  EXPECT_EQ(Text(2, 2), QStringLiteral("b"));
  EXPECT_EQ(Text(3, 1), QStringLiteral("c"));
  EXPECT_EQ(Text(3, 2), QStringLiteral("d"));
  EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));  // not the clicked cell
  EXPECT_EQ(Text(1, 1), QStringLiteral("r1c1"));  // nor tiled over the table
  EXPECT_EQ(Text(3, 0), QStringLiteral("r3c0"));
  EXPECT_EQ(frame.CurrentRow, r[2]);
  EXPECT_EQ(frame.History->Count(), 4);
}

TEST_F(TFrameFixture, FillModeTilesTheBlock) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  frame.CurrentRow = r[0];
  frame.CurrentCol = c[1];
  struct Case {
    QString clip;
    std::vector<QString> column;  // expected texts of column 1, rows 0..3
  };
  const std::vector<Case> cases = {
      {QStringLiteral("x"), {"x", "x", "x", "x"}},
      {QStringLiteral("x\r\ny"), {"x", "y", "x", "y"}},
      {QStringLiteral("x\r\ny\r\n"), {"x", "y", "r2c1", "r3c1"}},  // a trailing break is not repeated
      {QStringLiteral("x\ny\n"), {"x", "y", "r2c1", "r3c1"}},      // the desktop's LF line ends
  };
  for (const Case& k : cases) {
    for (int i = 0; i < 4; ++i) frame.GetValue(r[i], c[1])->SetValue(QStringLiteral("r%1c1").arg(i));
    g->ClearSelection();
    g->Cols->SelectItem(c[1], true);  // the whole column
    CopyTextToClipboard(k.clip);
    frame.PasteFromClipboard();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Text(i, 1), k.column[i]) << k.clip.toStdString() << " row " << i;
    EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));
  }
  // Within a line the values start again until the last target column.
  g->SelectCells(r[1], c[0], c[2], r[2]);
  CopyTextToClipboard(QStringLiteral("1\t2"));
  frame.PasteFromClipboard();
  EXPECT_EQ(Text(1, 0), QStringLiteral("1"));
  EXPECT_EQ(Text(1, 1), QStringLiteral("2"));
  EXPECT_EQ(Text(1, 2), QStringLiteral("1"));
  EXPECT_EQ(Text(2, 2), QStringLiteral("1"));
  EXPECT_EQ(Text(3, 0), QStringLiteral("r3c0"));
  EXPECT_EQ(Text(0, 0), QStringLiteral("r0c0"));
}

TEST_F(TFrameFixture, RowHeightsFollowWrappedText) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  frame.GetValue(r[1], c[1])->SetValue(QStringLiteral("один два три четыре пять шесть семь"));
  const int line = QFontMetrics(g->font()).height();
  g->Cols->SetItemSize(c[1], 60);
  EXPECT_GT(r[1]->Size, 2 * line);
  EXPECT_EQ(r[0]->Size, line + 2);  // short texts fit one line
  g->Cols->SetItemSize(c[1], 1000);
  EXPECT_EQ(r[1]->Size, line + 2);
  const int before = r[1]->Size;
  g->Cols->SetItemSize(c[1], 10);  // too narrow to refit
  EXPECT_EQ(r[1]->Size, before);
  const QFontMetrics m(g->font());
  EXPECT_EQ(TGridFrame::CountLines(QStringLiteral("abc"), 1, m), 1);  // no break character: not measured
  EXPECT_EQ(TGridFrame::CountLines(QStringLiteral("a b c d "), 1, m), 5);
}

TEST_F(TFrameFixture, WheelScrollsByDeltaOverRowSize) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  for (int i = 0; i < 40; ++i) g->Rows->AddChild(g->Rows->Root);
  frame.show();
  Pump(g);
  EXPECT_TRUE(frame.FormMouseWheel(-120, Qt::NoModifier));
  EXPECT_EQ(g->ScrollY(), 6);
  frame.FormMouseWheel(120, Qt::NoModifier);
  EXPECT_EQ(g->ScrollY(), 0);
  frame.FormMouseWheel(120, Qt::NoModifier);
  EXPECT_EQ(g->ScrollY(), 0);
}

TEST_F(TFrameFixture, RightClickSelectsTheCell) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  frame.show();
  Pump(g);
  const QPoint cell = CellCentre(*g, r[2], c[1]);
  SendMouse(g, QEvent::MouseButtonPress, cell, Qt::RightButton);
  EXPECT_EQ(frame.CurrentRow, r[2]);
  EXPECT_EQ(frame.CurrentCol, c[1]);
  EXPECT_TRUE(g->IsCellSelected(r[2], c[1]));
  EXPECT_FALSE(r[2]->Has(asWholeLine));
  SendMouse(g, QEvent::MouseButtonRelease, cell, Qt::RightButton);
  EXPECT_TRUE(frame.miComent->isVisible());
  frame.TreePopupMenu->hide();
  const TGridRect rect = g->GetCellRect(r[3], c[0]);
  SendMouse(g, QEvent::MouseButtonPress, QPoint(g->DataLeft - 4, (rect.Top + rect.Bottom) / 2), Qt::RightButton);
  EXPECT_TRUE(r[3]->Has(asWholeLine));
  EXPECT_EQ(g->Cols->SelectedCount(), 0);
  SendMouse(g, QEvent::MouseButtonRelease, QPoint(g->DataLeft - 4, (rect.Top + rect.Bottom) / 2), Qt::RightButton);
  frame.TreePopupMenu->hide();
}

TEST_F(TFrameFixture, HandlersAnswerFromValues) {
  TVirtualDGrid* g = frame.VirtualDGrid;
  PVirtualAxisItem empty = g->Rows->AddChild(g->Rows->Root);
  EXPECT_EQ(g->GetCellText(r[1], c[2]), QStringLiteral("r1c2"));
  EXPECT_TRUE(g->GetCellText(empty, c[0]).isEmpty());
  EXPECT_TRUE(g->OnGetAllowEditing(r[0], c[0]));
  EXPECT_FALSE(g->OnGetAllowEditing(empty, c[0]));
  EXPECT_EQ(g->OnCreateEditor(empty, c[0]), nullptr);
  EXPECT_NE(g->OnCreateEditor(r[0], c[0]), nullptr);
  frame.SetCellValue(empty, c[1], std::make_unique<THeaderCell>());
  EXPECT_FALSE(g->OnGetAllowEditing(empty, c[1]));
  frame.ClearTable();
  EXPECT_EQ(frame.CellStore->Count(), 0);
  EXPECT_EQ(g->Rows->GetCount(), 0);
}

TEST_F(TFrameFixture, FindNextSearchesDownTheColumn) {
  frame.GetValue(r[3], c[1])->SetValue(QStringLiteral("Искомое"));
  frame.CurrentRow = r[0];
  frame.CurrentCol = c[1];
  EXPECT_TRUE(frame.FindNext(QStringLiteral("иском")));
  EXPECT_EQ(frame.CurrentRow, r[3]);
  EXPECT_EQ(frame.VirtualDGrid->FocusedRow, r[3]);
  EXPECT_FALSE(frame.FindNext(QStringLiteral("иском")));  // nothing further down
  frame.CurrentRow = r[0];
  EXPECT_FALSE(frame.FindNext(QStringLiteral("r0c2")));  // other columns are not searched
}
