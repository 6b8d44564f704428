// Editing ends when the focus leaves the grid and its editor for another
// control of the window; the edited text is stored.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "GridTestUtil.h"

namespace {

// An editor whose check refuses every text.
class TRefusingLink : public TVGCellEditLink {
 protected:
  bool CanEnd() override { return false; }
};

// A window holding a grid and a line edit next to it.
struct TFocusWindow {
  QWidget window;
  TVirtualDGrid* grid = new TVirtualDGrid;
  QLineEdit* other = new QLineEdit;
  std::vector<PVirtualAxisItem> r, c;
  std::map<std::pair<PVirtualAxisItem, PVirtualAxisItem>, QString> texts;
  int edited = 0;

  TFocusWindow() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(grid);
    layout->addWidget(other);
    for (int i = 0; i < 3; ++i) r.push_back(grid->Rows->AddChild(grid->Rows->Root));
    for (int j = 0; j < 3; ++j) c.push_back(grid->Cols->AddChild(grid->Cols->Root));
    grid->OnGetCellText = [this](PVirtualAxisItem row, PVirtualAxisItem col, QString& t) { t = texts[{row, col}]; };
    grid->OnValueChanged = [this](PVirtualAxisItem row, PVirtualAxisItem col, const QString& v) {
      texts[{row, col}] = v;
    };
    grid->OnEdited = [this](PVirtualAxisItem, PVirtualAxisItem) { ++edited; };
    texts[{r[1], c[1]}] = QStringLiteral("old");
    window.resize(500, 300);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    grid->setFocus();
    Pump(&window);
    grid->FocusedRow = r[1];
    grid->FocusedCol = c[1];
  }

  // Opens the editor on the focused cell and types "new" over its text.
  QPlainTextEdit* TypeNew() {
    SendKey(grid, Qt::Key_N, Qt::NoModifier, QStringLiteral("n"));
    Pump(&window);
    auto link = std::dynamic_pointer_cast<TVGCellEditLink>(grid->Editor());
    auto* edit = link ? qobject_cast<QPlainTextEdit*>(link->EditControl()) : nullptr;
    if (edit) {
      SendKey(edit, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
      SendKey(edit, Qt::Key_W, Qt::NoModifier, QStringLiteral("w"));
    }
    return edit;
  }
};

}  // namespace

TEST(GridEditFocus, LeavingForAnotherControlStoresTheText) {
  struct Case {
    const char* name;
    bool gridHoldsFocus;  // the grid, not its editor, has the focus while editing
  };
  for (const Case& k : {Case{"editor focused", false}, Case{"grid focused", true}}) {
    TFocusWindow w;
    QPlainTextEdit* edit = w.TypeNew();
    ASSERT_NE(edit, nullptr) << k.name;
    ASSERT_TRUE(edit->hasFocus()) << k.name;
    if (k.gridHoldsFocus) w.grid->setFocus(Qt::MouseFocusReason);
    w.other->setFocus(Qt::MouseFocusReason);
    Pump(&w.window);
    EXPECT_FALSE(w.grid->IsEditing()) << k.name;
    EXPECT_EQ((w.texts[{w.r[1], w.c[1]}]), QStringLiteral("new")) << k.name;
    EXPECT_EQ(w.edited, 1) << k.name;
    EXPECT_EQ(w.grid->EditRow, nullptr) << k.name;
    EXPECT_TRUE(w.other->hasFocus()) << k.name;  // the grid does not take it back
  }
}

TEST(GridEditFocus, APopupLeavesTheEditorOpen) {
  TFocusWindow w;
  QPlainTextEdit* edit = w.TypeNew();
  ASSERT_NE(edit, nullptr);
  // A drop-down list of an editor takes the focus in a window of its own.
  QWidget popup(edit, Qt::Popup);
  auto* list = new QLineEdit(&popup);
  popup.show();
  list->setFocus(Qt::PopupFocusReason);
  Pump(&popup);
  ASSERT_TRUE(list->hasFocus());
  EXPECT_TRUE(w.grid->IsEditing());
  EXPECT_EQ((w.texts[{w.r[1], w.c[1]}]), QStringLiteral("old"));
  EXPECT_EQ(w.edited, 0);
  popup.close();
}

TEST(GridEditFocus, RefusedTextKeepsTheEditorAndItsFocus) {
  TFocusWindow w;
  w.grid->OnCreateEditor = [](PVirtualAxisItem, PVirtualAxisItem) { return std::make_shared<TRefusingLink>(); };
  QPlainTextEdit* edit = w.TypeNew();
  ASSERT_NE(edit, nullptr);
  w.other->setFocus(Qt::MouseFocusReason);
  Pump(&w.window);
  EXPECT_TRUE(w.grid->IsEditing());
  EXPECT_EQ(w.edited, 0);
  EXPECT_TRUE(edit->isVisible());
  EXPECT_TRUE(edit->hasFocus());
  // The text was stored before the check refused it; correcting is the editor's job.
  EXPECT_EQ((w.texts[{w.r[1], w.c[1]}]), QStringLiteral("new"));
}
