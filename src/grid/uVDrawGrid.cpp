#include "grid/uVDrawGrid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "grid/uVGImages.h"

QRect ToQRect(const TGridRect& R) { return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }

TVirtualDGrid::TVirtualDGrid(QWidget* Parent) : QWidget(Parent) {
  (void)GridUtilityImages();  // the image strip is built once, here
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  FVertBar = new QScrollBar(Qt::Vertical, this);
  FHorzBar = new QScrollBar(Qt::Horizontal, this);
  FVertBar->hide();
  FHorzBar->hide();
  FVertBar->setFocusPolicy(Qt::NoFocus);
  FHorzBar->setFocusPolicy(Qt::NoFocus);
  connect(FVertBar, &QScrollBar::actionTriggered, this, [this](int action) { ScrollBarAction(false, action); });
  connect(FHorzBar, &QScrollBar::actionTriggered, this, [this](int action) { ScrollBarAction(true, action); });
  SetClientSize(width(), height());
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* Old, QWidget* Now) { EditorFocusChanged(Old, Now); });
}

TVirtualDGrid::~TVirtualDGrid() { FEditor.reset(); }

void TVirtualDGrid::BeginBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void TVirtualDGrid::EndBusy() { QApplication::restoreOverrideCursor(); }

void TVirtualDGrid::Clear() {
  TVDGridLayout::Clear();
  update();
}

void TVirtualDGrid::CancelEditing() {
  CancelEdit();
  FEditor.reset();
  EditRow = EditCol = nullptr;
  ExcludeState(gsEditPrepared);
  ExcludeState(gsEditing);
  ExcludeState(gsKeyPending);
}

void TVirtualDGrid::DoResized() {
  if (OnResized) OnResized();
}

void TVirtualDGrid::ResetPointer() { FLastPos = FPressPos = QPoint(0, 0); }

// --- editing cycle ---

bool TVirtualDGrid::StartEdit(PVirtualAxisItem Row, PVirtualAxisItem Col, bool AClear) {
  if (!Row || !Col || Row == Rows->Root || Col == Cols->Root) return false;
  if (TMergedCell* merged = GetMergedCell(Row, Col)) {
    Row = merged->FirstRow;
    Col = merged->FirstCol;
  }
  if (IsEditing()) return false;
  const bool allowed = OnGetAllowEditing ? OnGetAllowEditing(Row, Col) : Editable;
  if (!allowed) return false;
  if (OnEdit) OnEdit(Row, Col);
  IncludeState(gsEditPrepared);
  EditRow = Row;
  EditCol = Col;
  FEditor = OnCreateEditor ? OnCreateEditor(Row, Col) : std::make_shared<TVGCellEditLink>();
  if (!FEditor) {
    ExcludeState(gsEditPrepared);
    EditRow = EditCol = nullptr;
    return false;
  }
  FEditor->PrepareEdit(this, EditRow, EditCol, AClear);
  FEditor->SetBounds(ToQRect(GetCellRect(EditRow, EditCol)));
  IncludeState(gsEditing);
  update();
  return true;
}

bool TVirtualDGrid::TryEndEdit() {
  if (!HasState(gsEditing) || !FEditor) return true;
  ExcludeState(gsEditing);
  if (!FEditor->EndEdit()) {
    IncludeState(gsEditing);
    return false;
  }
  if (OnEdited) OnEdited(EditRow, EditCol);
  EditRow = EditCol = nullptr;
  ExcludeState(gsEditPrepared);
  ExcludeState(gsKeyPending);
  FEditor.reset();
  update();
  return true;
}

void TVirtualDGrid::CancelEdit() {
  if (!HasState(gsEditing) || !FEditor) return;
  if (!FEditor->CancelEdit()) return;
  if (OnEditCanceled) OnEditCanceled(EditRow, EditCol);
  EditRow = EditCol = nullptr;
  ExcludeState(gsEditPrepared);
  ExcludeState(gsEditing);
  ExcludeState(gsKeyPending);
  update();
}

void TVirtualDGrid::UpdateEditor() {
  if (!FEditor) return;
  FEditor->Show(FEditCellVisible);
  if (HasState(gsEditing) && !HasState(gsEditPrepared) && FEditCellVisible && FEditor->GetBounds() != FEditTextRect)
    FEditor->SetBounds(FEditTextRect);
  if (HasState(gsEditPrepared)) {
    if (FEditCellVisible) FEditor->SetBounds(FEditTextRect);
    ExcludeState(gsEditPrepared);
    IncludeState(gsEditing);
    FEditor->BeginEdit();
    if (!FEditCellVisible) FEditor->Show(false);
  }
  FEditor->ProcessMessage(TVGMessage{QEvent::UpdateRequest, 0, Qt::NoModifier, QString()});
  if (HasState(gsKeyPending)) {
    ExcludeState(gsKeyPending);
    FEditor->ProcessMessage(FPendingKey);
  }
}

// --- window events ---

bool TVirtualDGrid::event(QEvent* E) {
  if (E->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(E);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  } else if (E->type() == QEvent::ToolTip) {
    ShowHint(static_cast<QHelpEvent*>(E)->pos());
    return true;
  }
  return QWidget::event(E);
}

void TVirtualDGrid::paintEvent(QPaintEvent*) {
  {
    QPainter p(this);
    PaintGrid(p);
  }
  UpdateEditor();
}

void TVirtualDGrid::resizeEvent(QResizeEvent*) {
  SyncScrollBars();
  update();
}

void TVirtualDGrid::focusOutEvent(QFocusEvent* E) {
  QWidget* now = QApplication::focusWidget();
  if (!now || !isAncestorOf(now)) TryEndEdit();
  QWidget::focusOutEvent(E);
}

// The editor is part of the grid: the focus going from it to another control
// of the window is the grid losing the focus, and the edited text is stored.
// A message box or a popup (another window) leaves the editor open.
void TVirtualDGrid::EditorFocusChanged(QWidget* Old, QWidget* Now) {
  if (!HasState(gsEditing) || !Old || !Now || Old == this || !isAncestorOf(Old)) return;
  if (Now == this || isAncestorOf(Now) || Now->window() != window()) return;
  if (!TryEndEdit() && FEditor) FEditor->BeginEdit();  // refused: the editor keeps the focus
}

void TVirtualDGrid::leaveEvent(QEvent* E) {
  HideHint();
  QWidget::leaveEvent(E);
}

void TVirtualDGrid::hideEvent(QHideEvent* E) {
  HideHint();
  QWidget::hideEvent(E);
}

void TVirtualDGrid::wheelEvent(QWheelEvent* E) {
  const int delta = E->angleDelta().y();
  E->accept();
  HideHint();
  if (OnMouseWheel && OnMouseWheel(delta, E->modifiers())) {
    update();
    return;
  }
  if (delta != 0) WheelScroll(delta < 0);
}

// --- scroll bars ---

void TVirtualDGrid::SyncScrollBars() {
  if (FSyncingBars) return;
  FSyncingBars = true;
  for (int pass = 0; pass < 2; ++pass) {
    const int w = width() - (FVertBar->isVisibleTo(this) ? FVertBar->sizeHint().width() : 0);
    const int h = height() - (FHorzBar->isVisibleTo(this) ? FHorzBar->sizeHint().height() : 0);
    if (w != ClientWidth() || h != ClientHeight()) SetClientSize(w, h);
    EnsureLayout(true);
    const bool vert = VertScroll.BarNeeded, horz = HorzScroll.BarNeeded;
    if (vert == FVertBar->isVisibleTo(this) && horz == FHorzBar->isVisibleTo(this)) break;
    FVertBar->setVisible(vert);
    FHorzBar->setVisible(horz);
  }
  const int vw = FVertBar->sizeHint().width(), hh = FHorzBar->sizeHint().height();
  FVertBar->setGeometry(width() - vw, 0, vw, ClientHeight());
  FHorzBar->setGeometry(0, height() - hh, ClientWidth(), hh);
  {
    const QSignalBlocker b1(FVertBar), b2(FHorzBar);
    FVertBar->setRange(0, VertScroll.Positions + 2);
    FVertBar->setValue(ScrollBarPosition(false));
    FVertBar->setPageStep(std::max(1, (LastScrollRow && FirstScrollRow) ? LastScrollRow->AbsoluteIndex - FirstScrollRow->AbsoluteIndex : 1));
    FHorzBar->setRange(0, HorzScroll.Positions + 2);
    FHorzBar->setValue(ScrollBarPosition(true));
    FHorzBar->setPageStep(std::max(1, (LastScrollCol && FirstScrollCol) ? LastScrollCol->AbsoluteIndex - FirstScrollCol->AbsoluteIndex : 1));
  }
  FSyncingBars = false;
}

void TVirtualDGrid::ScrollBarAction(bool IsColumn, int Action) {
  QScrollBar* bar = IsColumn ? FHorzBar : FVertBar;
  TVirtualGridAxis* axis = IsColumn ? Cols : Rows;
  switch (Action) {
    case QAbstractSlider::SliderSingleStepAdd: ScrollStep(IsColumn, ssLineForward); break;
    case QAbstractSlider::SliderSingleStepSub: ScrollStep(IsColumn, ssLineBack); break;
    case QAbstractSlider::SliderPageStepAdd: ScrollStep(IsColumn, ssPageForward); break;
    case QAbstractSlider::SliderPageStepSub: ScrollStep(IsColumn, ssPageBack); break;
    case QAbstractSlider::SliderToMinimum: ScrollStep(IsColumn, ssHome); break;
    case QAbstractSlider::SliderToMaximum: ScrollStep(IsColumn, ssEnd); break;
    case QAbstractSlider::SliderMove: {
      // The thumb counts scrollable items; the offset counts from the first item.
      ScrollStep(IsColumn, ssThumb, bar->sliderPosition() + FixedCount(axis));
      break;
    }
    default: break;
  }
  update();
}
