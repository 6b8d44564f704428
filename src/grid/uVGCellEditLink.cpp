#include "grid/uVGCellEditLink.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "grid/uVDrawGrid.h"

// Forwards the control's events to the link's slots.
class TVGCellEditLink::TFilter : public QObject {
 public:
  explicit TFilter(TVGCellEditLink* ALink) : Link(ALink) {}
  TVGCellEditLink* Link;

  bool eventFilter(QObject* Watched, QEvent* E) override {
    if (E->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(E);
      int code = key->key();
      Link->EditKeyDown(Watched, code, key->modifiers());
      if (code == 0) return true;
    } else if (E->type() == QEvent::ShortcutOverride) {
      // Keys the editor hands back to the grid must reach the key handler.
      auto* key = static_cast<QKeyEvent*>(E);
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Escape) {
        E->accept();
        return true;
      }
    } else if (E->type() == QEvent::FocusOut) {
      Link->EditExit(Watched, static_cast<QFocusEvent*>(E)->reason());
    }
    return QObject::eventFilter(Watched, E);
  }
};

TVGCellEditLink::TVGCellEditLink() : FFilter(std::make_unique<TFilter>(this)) {}

TVGCellEditLink::~TVGCellEditLink() {
  if (Control) {
    Control->removeEventFilter(FFilter.get());
    Control->hide();
    Control->deleteLater();
  }
  if (FGridGuard) FGridGuard->update();
}

QString TVGCellEditLink::NextControlName() {
  static int counter = 0;
  return QStringLiteral("VGEdit_") + QString::number(++counter);
}

void TVGCellEditLink::HookControl(QWidget* AControl) {
  Control = AControl;
  AControl->installEventFilter(FFilter.get());
}

void TVGCellEditLink::PostKeyToGrid(int Key) {
  if (Grid) QCoreApplication::postEvent(Grid, new QKeyEvent(QEvent::KeyPress, Key, Qt::NoModifier));
}

bool TVGCellEditLink::PrepareEdit(TVirtualDGrid* AGrid, PVirtualAxisItem ARow, PVirtualAxisItem ACol, bool AClear) {
  Grid = AGrid;
  FGridGuard = AGrid;
  EditRow = ARow;
  EditCol = ACol;
  if (Control) {
    Control->removeEventFilter(FFilter.get());
    Control->deleteLater();
    Control = nullptr;
  }
  CreateEditControl(AClear);
  return true;
}

void TVGCellEditLink::CreateEditControl(bool AClear) {
  Accepted = false;
  WantsKeys = false;
  auto* edit = new QPlainTextEdit(Grid);
  edit->hide();
  edit->setObjectName(NextControlName());
  edit->setFrameStyle(QFrame::NoFrame);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->document()->setDocumentMargin(1);
  edit->setFont(Grid->font());
  HookControl(edit);
  QObject::connect(edit, &QPlainTextEdit::textChanged, FFilter.get(), [this, edit] { EditChanged(edit); });
  StartText = Grid->GetCellText(EditRow, EditCol);
  if (!AClear) {
    edit->setPlainText(StartText);
    edit->moveCursor(QTextCursor::End);
  }
}

QString TVGCellEditLink::ControlText() const {
  if (auto* edit = qobject_cast<QPlainTextEdit*>(Control.data())) return edit->toPlainText();
  return QString();
}

void TVGCellEditLink::EditKeyDown(QObject*, int& Key, Qt::KeyboardModifiers Shift) {
  const bool ctrl = Shift & Qt::ControlModifier;
  switch (Key) {
    case Qt::Key_Tab:
      PostKeyToGrid(Qt::Key_Right);
      Key = 0;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      PostKeyToGrid(Qt::Key_Down);
      Key = 0;
      break;
    case Qt::Key_Escape:
      PostKeyToGrid(Qt::Key_Cancel);
      Key = 0;
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (!ctrl) PostKeyToGrid(Key);
      Key = 0;
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (!ctrl) {
        PostKeyToGrid(Key);
        Key = 0;
      }
      break;
    default:
      break;
  }
}

void TVGCellEditLink::DoCancel() {
  if (!Accepted && Grid) Grid->DoValueChanged(EditRow, EditCol, StartText);
}

void TVGCellEditLink::DoAccept() {
  Accepted = true;
  QString text = ControlText();
  if (text.endsWith(QStringLiteral("\r\n")))
    text.chop(2);
  else if (text.endsWith('\n'))
    text.chop(1);
  if (Grid) Grid->DoValueChanged(EditRow, EditCol, text);
}

void TVGCellEditLink::EditExit(QObject*, Qt::FocusReason Reason) {
  if (Reason == Qt::TabFocusReason && Grid) {
    Grid->setFocus();
    PostKeyToGrid(Qt::Key_Tab);
  }
}

bool TVGCellEditLink::BeginEdit() {
  if (!Control) return false;
  Control->show();
  Control->setFocus();
  return true;
}

void TVGCellEditLink::FocusGrid() {
  if (!Grid || Grid->focusPolicy() == Qt::NoFocus) return;
  // Editing ended because the user went to another control of the window:
  // the focus stays where the user put it.
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != Grid && !Grid->isAncestorOf(focus) && focus->window() == Grid->window()) return;
  Grid->setFocus();
}

bool TVGCellEditLink::EndEdit() {
  DoAccept();
  if (!Control || Control->isHidden()) return true;
  if (!CanEnd()) return false;
  FocusGrid();  // before hiding: a hidden focused control would hand the focus on
  Control->hide();
  return true;
}

bool TVGCellEditLink::CancelEdit() {
  DoCancel();
  FocusGrid();
  if (Control) Control->hide();
  return true;
}

QRect TVGCellEditLink::GetBounds() { return Control ? Control->geometry() : QRect(); }

void TVGCellEditLink::Show(bool Visible) {
  if (Control) Control->setVisible(Visible);
}

bool TVGCellEditLink::IsVisible() { return Control && !Control->isHidden(); }

void TVGCellEditLink::ProcessMessage(const TVGMessage& Msg) {
  if (!Control) return;
  if (Msg.Type == QEvent::UpdateRequest) {
    Control->update();
    return;
  }
  QCoreApplication::postEvent(Control, new QKeyEvent(Msg.Type, Msg.Key, Msg.Modifiers, Msg.Text));
}

void TVGCellEditLink::SetBounds(const QRect& R) {
  QRect r = R;
  if (AdjustBounds(r) && Control) Control->setGeometry(r);
}
