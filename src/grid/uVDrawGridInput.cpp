// Keyboard and mouse handling of the drawing grid.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "grid/uVDrawGrid.h"

namespace {

PVirtualAxisItem NextVisibleItem(PVirtualAxisItem Item) {
  for (PVirtualAxisItem n = TVirtualGridAxis::NextShown(Item); n; n = TVirtualGridAxis::NextShown(n))
    if (n->Has(asVisible)) return n;
  return nullptr;
}

PVirtualAxisItem PrevVisibleItem(TVirtualGridAxis* Axis, PVirtualAxisItem Item) {
  if (Item == Axis->Root) return nullptr;
  for (;;) {
    PVirtualAxisItem p = Axis->GetPrevVisible(Item);
    if (!p || p == Item) return nullptr;
    if (p->Has(asVisible)) return p;
    Item = p;
  }
}

PVirtualAxisItem FirstVisibleItem(TVirtualGridAxis* Axis) {
  PVirtualAxisItem first = Axis->GetFirst();
  if (first && !first->Has(asVisible)) first = NextVisibleItem(first);
  return first;
}

// Keys that leave a cell alone instead of opening its editor.
bool OpensEditor(int Key, Qt::KeyboardModifiers Mods, const QString& Text) {
  if (Mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (Key == Qt::Key_Delete || Key == Qt::Key_Backspace) return true;
  return !Text.isEmpty() && Text[0].isPrint();
}

PVirtualAxisItem Earlier(PVirtualAxisItem A, PVirtualAxisItem B) { return A->AbsoluteIndex <= B->AbsoluteIndex ? A : B; }
PVirtualAxisItem Later(PVirtualAxisItem A, PVirtualAxisItem B) { return A->AbsoluteIndex <= B->AbsoluteIndex ? B : A; }

}  // namespace

bool TVirtualDGrid::InGesture() const {
  return HasState(gsSelectingCells) || HasState(gsSelectingCols) || HasState(gsSelectingRows);
}

void TVirtualDGrid::EndGestures() {
  for (TGridState s : {gsSelectingCells, gsSelectingCols, gsSelectingRows, gsSizingCol, gsSizingRow}) ExcludeState(s);
}

// Rebuilds the selection of the running gesture from the anchor to the given
// cell; merged cells at either end contribute their whole span.
void TVirtualDGrid::UpdateGestureSelection(PVirtualAxisItem ToRow, PVirtualAxisItem ToCol) {
  if (!AnchorRow || !AnchorCol || !ToRow || !ToCol) return;
  PVirtualAxisItem r1 = Earlier(AnchorRow, ToRow), r2 = Later(AnchorRow, ToRow);
  PVirtualAxisItem c1 = Earlier(AnchorCol, ToCol), c2 = Later(AnchorCol, ToCol);
  for (TMergedCell* m : {GetMergedCell(AnchorRow, AnchorCol), GetMergedCell(ToRow, ToCol)}) {
    if (!m) continue;
    r1 = Earlier(r1, m->FirstRow);
    c1 = Earlier(c1, m->FirstCol);
    r2 = Later(r2, m->LastRow);
    c2 = Later(c2, m->LastCol);
  }
  const bool rowsOk = r1 != Rows->Root && r2 != Rows->Root;
  const bool colsOk = c1 != Cols->Root && c2 != Cols->Root;
  if (HasState(gsSelectingCells) && rowsOk && colsOk) {
    SelectCells(r1, c1, c2, r2);
  } else if (HasState(gsSelectingCols) && colsOk) {
    ClearSelection();
    Cols->SelectRange(c1, c2, true);
  } else if (HasState(gsSelectingRows) && rowsOk) {
    ClearSelection();
    Rows->SelectRange(r1, r2, true);
  }
}

void TVirtualDGrid::ScrollIntoView(PVirtualAxisItem Item, bool IsColumn) {
  TVirtualGridAxis* axis = IsColumn ? Cols : Rows;
  if (!Item || Item == axis->Root || (IsColumn ? IsFixedCol(Item) : IsFixedRow(Item))) return;
  EnsureLayout();
  auto fullyShown = [&]() {
    EnsureLayout();
    const TGridRect area = ScrollArea();
    int pos = (IsColumn ? area.Left : area.Top) + 1;
    const int edge = IsColumn ? ClientWidth() : ClientHeight();
    for (PVirtualAxisItem i = IsColumn ? FirstScrollCol : FirstScrollRow; i; i = TVirtualGridAxis::NextShown(i)) {
      if (!i->Has(asVisible)) continue;
      if (i == Item) return pos + i->Size <= edge ? 1 : 0;
      pos += i->Size + 1;
    }
    return -1;  // before the first scrollable item (or hidden)
  };
  int state = fullyShown();
  if (state == 1) return;
  PVirtualAxisItem first = IsColumn ? FirstScrollCol : FirstScrollRow;
  if (state == -1 && (!first || Item->AbsoluteIndex < first->AbsoluteIndex)) {
    int offset = 0;
    for (PVirtualAxisItem i = axis->GetFirst(); i && i != Item; i = TVirtualGridAxis::NextShown(i))
      if (i->Has(asVisible)) offset += i->Size + 1;
    offset -= axis->GetFixedExtent();
    if (IsColumn)
      SetScrollX(ClampOffset(true, offset));
    else
      SetScrollY(ClampOffset(false, offset));
    return;
  }
  for (int guard = 0; guard < 100000 && fullyShown() != 1; ++guard) {
    const int before = IsColumn ? ScrollX() : ScrollY();
    const int next = StepOffset(IsColumn, ssLineForward);
    if (next == before) break;
    if (IsColumn)
      SetScrollX(next);
    else
      SetScrollY(next);
  }
}

void TVirtualDGrid::MoveTab() {
  PVirtualAxisItem col = FocusedCol;
  if (TMergedCell* m = GetMergedCell(FocusedRow, FocusedCol)) col = m->LastCol;
  if (PVirtualAxisItem next = NextVisibleItem(col)) {
    FocusedCol = next;
    return;
  }
  PVirtualAxisItem row = FocusedRow;
  if (PVirtualAxisItem nextRow = row ? NextVisibleItem(row) : nullptr) {
    FocusedRow = nextRow;
    FocusedCol = FirstVisibleItem(Cols);
    SetScrollX(0);
    return;
  }
  focusNextChild();  // the last cell of the grid
}

bool TVirtualDGrid::MoveFocus(int Key, bool Shift) {
  const bool horizontal = Key == Qt::Key_Left || Key == Qt::Key_Right;
  const bool forward = Key == Qt::Key_Right || Key == Qt::Key_Down;
  if (!TryEndEdit()) return false;
  const TGridState otherGesture = horizontal ? gsSelectingRows : gsSelectingCols;
  if (Shift && HasState(otherGesture)) {
    ExcludeState(otherGesture);
    IncludeState(gsSelectingCells);
    AnchorRow = FocusedRow;
    AnchorCol = FocusedCol;
  } else {
    ClearSelection();
  }
  TVirtualGridAxis* axis = horizontal ? Cols : Rows;
  PVirtualAxisItem& focus = horizontal ? FocusedCol : FocusedRow;
  PVirtualAxisItem from = focus;
  if (TMergedCell* m = GetMergedCell(FocusedRow, FocusedCol))
    from = forward ? (horizontal ? m->LastCol : m->LastRow) : (horizontal ? m->FirstCol : m->FirstRow);
  PVirtualAxisItem to = forward ? (from == axis->Root ? FirstVisibleItem(axis) : NextVisibleItem(from))
                                : PrevVisibleItem(axis, from);
  if (to) focus = to;
  return true;
}

void TVirtualDGrid::PageFocus(int Key, bool Ctrl) {
  const bool isCol = Ctrl;
  TVirtualGridAxis* axis = isCol ? Cols : Rows;
  EnsureLayout();
  PVirtualAxisItem first = isCol ? FirstScrollCol : FirstScrollRow;
  PVirtualAxisItem last = isCol ? LastScrollCol : LastScrollRow;
  PVirtualAxisItem& focus = isCol ? FocusedCol : FocusedRow;
  if (!first || !last) return;
  if (Key == Qt::Key_PageUp) {
    int page = 0;
    for (PVirtualAxisItem i = first; i && i != last; i = NextVisibleItem(i)) ++page;
    PVirtualAxisItem target = first;
    for (int k = 0; k < page; ++k) {
      PVirtualAxisItem p = PrevVisibleItem(axis, target);
      if (!p) break;
      target = p;
    }
    focus = target;
    ScrollStep(isCol, ssPageBack);
  } else {
    PVirtualAxisItem target = NextVisibleItem(last);
    ScrollStep(isCol, ssPageForward);
    focus = target ? target : last;
  }
}

void TVirtualDGrid::keyPressEvent(QKeyEvent* E) {
  E->accept();
  HideHint();
  HandleKey(E->key(), E->modifiers(), E->text());
}

void TVirtualDGrid::HandleKey(int Key, Qt::KeyboardModifiers Mods, const QString& Text) {
  const bool shift = Mods & Qt::ShiftModifier;
  const bool ctrl = Mods & Qt::ControlModifier;
  if (!FocusedCol || !FocusedRow) {
    if (!FocusedCol) FocusedCol = FirstVisibleItem(Cols);
    if (!FocusedRow) FocusedRow = FirstVisibleItem(Rows);
  }
  const PVirtualAxisItem oldRow = FocusedRow, oldCol = FocusedCol;
  static const int editorKeys[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End,  Qt::Key_Home,
                                   Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down};
  if (ctrl && HasState(gsEditing) && FEditor && FEditor->GetWantsKeys() &&
      std::find(std::begin(editorKeys), std::end(editorKeys), Key) != std::end(editorKeys)) {
    FEditor->ProcessMessage(TVGMessage{QEvent::KeyPress, Key, Mods, Text});
    return;
  }
  bool jumped = false;
  switch (Key) {
    case Qt::Key_Escape:
    case Qt::Key_Cancel:
      CancelEdit();
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      ClearSelection();
      if (TryEndEdit()) MoveTab();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
      if (!IsEditing()) {
        ClearSelection();
        if (StartEdit(FocusedRow, FocusedCol, false)) {
          FPendingKey = TVGMessage{QEvent::KeyPress, Qt::Key_End, Qt::NoModifier, QString()};
          IncludeState(gsKeyPending);
          update();
        }
      } else if (Key != Qt::Key_F2 && FEditor) {
        FocusedRow = EditRow;
        FocusedCol = EditCol;
        if (!FEditor->IsVisible()) ScrollIntoView(EditRow, false);
        FEditor->ProcessMessage(TVGMessage{QEvent::KeyPress, Key, Qt::NoModifier, QStringLiteral("\r")});
      }
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      MoveFocus(Key, shift);
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (TryEndEdit()) {
        PageFocus(Key, ctrl);
        jumped = true;
      }
      break;
    case Qt::Key_Shift:
      if (!IsEditing() && !InGesture()) {
        AnchorRow = FocusedRow;
        AnchorCol = FocusedCol;
        const bool cols = Cols->SelectedCount() > 0, rows = Rows->SelectedCount() > 0;
        IncludeState(cols && !rows ? gsSelectingCols : (rows && !cols ? gsSelectingRows : gsSelectingCells));
      }
      break;
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
      break;
    case Qt::Key_Insert:
      if (ctrl && (Rows->SelectedCount() > 0 || Cols->SelectedCount() > 0))
        DoCopyToClipBoard();
      else if (shift)
        DoPasteFromClipBoard();
      break;
    default:
      if (ctrl && Key == Qt::Key_C) {  // the desktop's usual copy and paste keys
        if (Rows->SelectedCount() > 0 || Cols->SelectedCount() > 0) DoCopyToClipBoard();
        break;
      }
      if (ctrl && Key == Qt::Key_V) {
        DoPasteFromClipBoard();
        break;
      }
      if (Key == Qt::Key_Delete && Rows->SelectedCount() * Cols->SelectedCount() > 1 &&
          TVirtualGridAxis::IsSelected(FocusedRow) && TVirtualGridAxis::IsSelected(FocusedCol) && OnDelSelection) {
        OnDelSelection();
        break;
      }
      if (!IsEditing() && OpensEditor(Key, Mods, Text)) {
        ClearSelection();
        if (StartEdit(FocusedRow, FocusedCol, true)) {
          FPendingKey = TVGMessage{QEvent::KeyPress, Key, Mods, Text};
          IncludeState(gsKeyPending);
        }
      }
      break;
  }
  if (InGesture() && Key != Qt::Key_Shift) UpdateGestureSelection(FocusedRow, FocusedCol);
  if (FocusedRow != oldRow || jumped) ScrollIntoView(FocusedRow, false);
  if (FocusedCol != oldCol || jumped) ScrollIntoView(FocusedCol, true);
  update();
  if ((FocusedRow != oldRow || FocusedCol != oldCol) && OnFocusChanged) OnFocusChanged();
}

void TVirtualDGrid::keyReleaseEvent(QKeyEvent* E) {
  if (!(E->modifiers() & Qt::ShiftModifier) || E->key() == Qt::Key_Shift) {
    ExcludeState(gsSelectingCells);
    ExcludeState(gsSelectingCols);
    ExcludeState(gsSelectingRows);
  }
  E->accept();
}

// --- mouse ---

void TVirtualDGrid::mousePressEvent(QMouseEvent* E) {
  MouseDown(E->button(), E->modifiers(), E->position().toPoint());
}

void TVirtualDGrid::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos) {
  FLastPos = FPressPos = Pos;
  HideHint();
  const THitInfo hit = HitTest(Pos.x(), Pos.y());
  HotCol = hit.Col;
  HotRow = hit.Row;
  setFocus(Qt::MouseFocusReason);
  if (HasState(gsEditing)) {
    PVirtualAxisItem row = HotRow, col = HotCol;
    if (TMergedCell* m = GetMergedCell(row, col)) {
      row = m->FirstRow;
      col = m->FirstCol;
    }
    if ((row != EditRow || col != EditCol) && !TryEndEdit()) return;
  }
  const PVirtualAxisItem oldRow = FocusedRow, oldCol = FocusedCol;
  EndGestures();
  IncludeState(gsDirty);
  FHotColStates = HotCol ? HotCol->States : 0;
  FHotRowStates = HotRow ? HotRow->States : 0;
  const bool alt = Shift & Qt::AltModifier;
  const bool resize = alt || (hit.Code == htRowBorder && hit.Col == Cols->Root) ||
                      (hit.Code == htColBorder && hit.Row == Rows->Root);
  const bool toggle = hit.Code == htRowToggle || hit.Code == htColToggle;
  if (!resize && !toggle && HotRow && HotCol) {
    PVirtualAxisItem row = HotRow, col = HotCol;
    if (TMergedCell* m = GetMergedCell(row, col)) {
      row = m->FirstRow;
      col = m->FirstCol;
    }
    FocusedRow = AnchorRow = row;
    FocusedCol = AnchorCol = col;
  }
  if (Button == Qt::LeftButton) {
    auto cellGesture = [&]() {
      if (!HotRow || !HotCol) return;
      IncludeState(gsSelectingCells);
      UpdateGestureSelection(HotRow, HotCol);
    };
    switch (hit.Code) {
      case htCell: cellGesture(); break;
      case htColBorder:
        if (resize) {
          AnchorRow = HotRow;
          AnchorCol = HotCol;
          if (!HotCol->Has(asFixedSize)) IncludeState(gsSizingCol);
        } else {
          cellGesture();
        }
        break;
      case htRowBorder:
        if (resize) {
          AnchorRow = HotRow;
          AnchorCol = HotCol;
          if (!HotRow->Has(asFixedSize)) IncludeState(gsSizingRow);
        } else {
          cellGesture();
        }
        break;
      case htColHeader:
        IncludeState(gsSelectingCols);
        FocusedRow = FirstVisibleItem(Rows);
        AnchorRow = FocusedRow;
        UpdateGestureSelection(FocusedRow ? FocusedRow : Rows->Root, HotCol);
        if (!FocusedRow) {
          ClearSelection();
          Cols->SelectItem(HotCol, true);
        }
        break;
      case htRowHeader:
        IncludeState(gsSelectingRows);
        FocusedCol = FirstVisibleItem(Cols);
        AnchorCol = FocusedCol;
        UpdateGestureSelection(HotRow, FocusedCol ? FocusedCol : Cols->Root);
        if (!FocusedCol) {
          ClearSelection();
          Rows->SelectItem(HotRow, true);
        }
        break;
      case htRowToggle:
        if (OnRowToggle) OnRowToggle(HotRow);
        Rows->SetExpanded(HotRow, !HotRow->Has(asExpanded));
        break;
      case htColToggle:
        if (OnColToggle) OnColToggle(HotCol);
        Cols->SetExpanded(HotCol, !HotCol->Has(asExpanded));
        break;
      default: break;
    }
  }
  if (OnMouseDown) OnMouseDown(Button, Shift, Pos.x(), Pos.y());
  update();
  if ((FocusedRow != oldRow || FocusedCol != oldCol) && OnFocusChanged) OnFocusChanged();
}

void TVirtualDGrid::mouseMoveEvent(QMouseEvent* E) {
  const QPoint pos = E->position().toPoint();
  HintPointerMoved(pos);
  THitInfo hit = HitTest(pos.x(), pos.y());
  const PVirtualAxisItem oldRow = FocusedRow, oldCol = FocusedCol;
  const bool leftHeld = E->buttons() & Qt::LeftButton;
  const bool alt = E->modifiers() & Qt::AltModifier;
  Qt::CursorShape cursor = Qt::ArrowCursor;
  if (InGesture() && leftHeld) {
    // Near the edges of the scrollable area the grid scrolls one line.
    const TGridRect area = ScrollArea();
    if (hit.Col && hit.Col == LastScrollCol && pos.x() > ClientWidth() - 8) {
      ScrollStep(true, ssLineForward);
      if (PVirtualAxisItem n = NextVisibleItem(hit.Col)) hit.Col = n;
    } else if (hit.Col && hit.Col == FirstScrollCol && pos.x() < area.Left + 8 && ScrollX() > 0) {
      ScrollStep(true, ssLineBack);
      if (PVirtualAxisItem p = PrevVisibleItem(Cols, hit.Col)) hit.Col = p;
    }
    if (hit.Row && hit.Row == LastScrollRow && pos.y() > ClientHeight() - 8) {
      ScrollStep(false, ssLineForward);
      if (PVirtualAxisItem n = NextVisibleItem(hit.Row)) hit.Row = n;
    } else if (hit.Row && hit.Row == FirstScrollRow && pos.y() < area.Top + 8 && ScrollY() > 0) {
      ScrollStep(false, ssLineBack);
      if (PVirtualAxisItem p = PrevVisibleItem(Rows, hit.Row)) hit.Row = p;
    }
    // Over a header the gesture keeps the last data item of that axis.
    PVirtualAxisItem row = (hit.Row && hit.Row != Rows->Root) ? hit.Row : HotRow;
    PVirtualAxisItem col = (hit.Col && hit.Col != Cols->Root) ? hit.Col : HotCol;
    if (HasState(gsSelectingCols)) row = FocusedRow;
    if (HasState(gsSelectingRows)) col = FocusedCol;
    UpdateGestureSelection(row ? row : AnchorRow, col ? col : AnchorCol);
    if (HasState(gsSelectingCols)) {
      if (col && col != Cols->Root) FocusedCol = col;
    } else if (HasState(gsSelectingRows)) {
      if (row && row != Rows->Root) FocusedRow = row;
    } else if (row && col && row != Rows->Root && col != Cols->Root) {
      FocusedRow = row;
      FocusedCol = col;
    }
    hit.Row = row;
    hit.Col = col;
  } else if ((HasState(gsSizingCol) || HasState(gsSizingRow)) && leftHeld) {
    if (HasState(gsSizingCol) && AnchorCol) {
      Cols->SetItemSize(AnchorCol, std::max(0, AnchorCol->Size + pos.x() - FLastPos.x()));
      cursor = Qt::SplitHCursor;
    } else if (AnchorRow) {
      Rows->SetItemSize(AnchorRow, std::max(0, AnchorRow->Size + pos.y() - FLastPos.y()));
      cursor = Qt::SplitVCursor;
    }
  } else if (hit.Code == htColBorder && (alt || hit.Row == Rows->Root) && !hit.Col->Has(asFixedSize)) {
    cursor = Qt::SplitHCursor;
  } else if (hit.Code == htRowBorder && (alt || hit.Col == Cols->Root) && !hit.Row->Has(asFixedSize)) {
    cursor = Qt::SplitVCursor;
  }
  setCursor(cursor);
  HotRow = hit.Row;
  HotCol = hit.Col;
  FLastPos = pos;
  if (HasState(gsDirty)) update();
  if ((FocusedRow != oldRow || FocusedCol != oldCol) && OnFocusChanged) OnFocusChanged();
}

void TVirtualDGrid::mouseReleaseEvent(QMouseEvent* E) {
  const THitInfo hit = HitTest(FLastPos.x(), FLastPos.y());
  if (E->button() == Qt::LeftButton) {
    if (HasState(gsSizingCol) && AnchorCol) {
      bool any = false;
      for (PVirtualAxisItem c : std::vector<PVirtualAxisItem>(Cols->Selection)) {
        if (c == AnchorCol || !c->Has(asWholeLine)) continue;
        Cols->SetItemSize(c, AnchorCol->Size);
        any = true;
      }
      if (!any && Cols->SelectedCount() == 0) Cols->SetItemSize(AnchorCol, AnchorCol->Size);
      IncludeState(gsLayoutChanged);
    }
    if (HasState(gsSizingRow) && AnchorRow) {
      for (PVirtualAxisItem r : std::vector<PVirtualAxisItem>(Rows->Selection))
        if (r != AnchorRow && r->Has(asWholeLine)) Rows->SetItemSize(r, AnchorRow->Size);
      IncludeState(gsLayoutChanged);
    }
    if (hit.Code == htColHeader && hit.Col && Rows->OnCompareEvent) {
      if (hit.Col != RowSortItem) {
        if (!RowSortItem && !PrevRowSortItem) Rows->SaveOrder();
        if (RowSortItem && RowSortItem->SortMark != 0) PrevRowSortItem = RowSortItem;
        RowSortItem = hit.Col;
      } else if (FHotColStates & asWholeLine) {
        if (PrevRowSortItem && PrevRowSortItem != hit.Col) PrevRowSortItem->SortMark = 0;
        SortRows(hit.Col, (hit.Col->SortMark + 1) % 3);
      }
    }
  }
  EndGestures();
  AnchorRow = AnchorCol = nullptr;
  if (OnMouseUp) OnMouseUp(E->button(), E->modifiers(), FLastPos.x(), FLastPos.y());
  update();
}

void TVirtualDGrid::mouseDoubleClickEvent(QMouseEvent* E) {
  MouseDown(E->button(), E->modifiers(), E->position().toPoint());
  const THitInfo hit = HitTest(FLastPos.x(), FLastPos.y());
  if (hit.Code == htCell) {
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
  } else if (hit.Code == htCorner) {
    SelectAll();
  } else if ((hit.Code == htColBorder || hit.Code == htRowBorder) && GetMergedCell(hit.Row, hit.Col)) {
    TMergedCell* m = GetMergedCell(hit.Row, hit.Col);
    if (StartEdit(m->FirstRow, m->FirstCol, false)) {
      FPendingKey = TVGMessage{QEvent::KeyPress, Qt::Key_End, Qt::NoModifier, QString()};
      IncludeState(gsKeyPending);
    }
  }
  if (OnDblClick) OnDblClick();
  update();
}
