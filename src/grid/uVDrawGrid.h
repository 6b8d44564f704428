#pragma once
#include <QWidget>
#include <functional>
#include <vector>

#include "grid/uVDrawGridLayout.h"
#include "grid/uVGCellEditLink.h"
#include "grid/uVGColors.h"
#include "grid/uVGImages.h"

class QScrollBar;
class QHelpEvent;
class TGridHint;

QRect ToQRect(const TGridRect& R);

// The visible grid control.  It paints the model (TCustomVirtualGrid) with
// the geometry of TVDGridLayout, answers keys and mouse gestures (focus,
// selection, resizing, expanding, sorting by header clicks) and runs the
// editing cycle with IVGCellEditLink editors.  It holds no cell contents:
// texts, hints, editability, editors and cell painting come from the host
// through the events below (all optional).
//
// Typical host set-up:
//   grid->Rows->AddChild(grid->Rows->Root) ... grid->MergeCells(...);
//   grid->OnGetCellText = [](ARow, ACol, QString& text) { ... };
//   grid->OnValueChanged = [](ARow, ACol, const QString& value) { ... };
class TVirtualDGrid : public QWidget, public TVDGridLayout {
  Q_OBJECT

 public:
  explicit TVirtualDGrid(QWidget* Parent = nullptr);
  ~TVirtualDGrid() override;

  // --- appearance ---
  bool FlatHeaders = false;
  TFillArea BackGround{0x00FFFFFF, 0x00FFFFFF, 0};
  TFillArea HeadersStyle{clBtnFace, 0x00808080, 0};
  TFillArea SelectionStyle{0x00F0CAA6, 0x00F0CAA6, 0};
  TDrawLines VertGridLines{0x00C0C0C0, 0x00FFFFFF, 0, 1, false};
  TDrawLines HorizGridLines{0x00C0C0C0, 0x00FFFFFF, 0, 1, false};
  TDrawLines VertTreeLines{0x00808080, 0, 0, 1, true};
  TDrawLines HorizTreeLines{0x00808080, 0, 0, 1, true};
  bool Editable = true;

  // --- events (the axes' OnNewItemSize are the row/column size events) ---
  std::function<PVGCellEditLink(PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnCreateEditor;
  std::function<bool(PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnGetAllowEditing;
  std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnEdit;
  std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnEdited;
  std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnEditCanceled;
  std::function<void(QPainter& ACanvas, QRect& ARect, PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnCellPaint;
  std::function<void(QPainter& TargetCanvas, PVirtualAxisItem ARow, PVirtualAxisItem ACol, QRect& CellRect)>
      OnBeforeCellPaint;
  std::function<void(QPainter& ACanvas, QRect& ARect, PVirtualAxisItem ARow, PVirtualAxisItem ACol)> OnCellTextPaint;
  // An image index (-1 none) and the list to take it from.
  std::function<int(QRect& ARect, PVirtualAxisItem ARow, PVirtualAxisItem ACol, const TVGImageList*& IL)> OnImage;
  std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& HintText)> OnGetCellHint;
  std::function<void(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseDown;
  std::function<void(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseUp;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnFocusChanged;
  TNotifyEvent OnDelSelection;
  TNotifyEvent OnResized;
  std::function<void(PVirtualAxisItem AItem)> OnRowToggle;
  std::function<void(PVirtualAxisItem AItem)> OnColToggle;
  // Answers true when the host handled the wheel itself (the grid frames do).
  std::function<bool(int WheelDelta, Qt::KeyboardModifiers Shift)> OnMouseWheel;

  // --- editing cycle ---
  // Opens an editor on the cell (a covering merged cell's first cell);
  // true when an editor was prepared.
  bool StartEdit(PVirtualAxisItem Row, PVirtualAxisItem Col, bool AClear);
  // True when no editor is open afterwards.
  bool TryEndEdit();
  void CancelEdit();
  bool IsEditing() const { return HasState(gsEditing) || HasState(gsEditPrepared); }
  PVGCellEditLink Editor() const { return FEditor; }
  bool EditCellVisible() const { return FEditCellVisible; }

  void Clear() override;
  void Invalidate() override { update(); }
  void BeginBusy() override;
  void EndBusy() override;

  // Paints the whole grid with the given painter (the paint pass).
  void PaintGrid(QPainter& P);
  // Sends a key to the grid as if typed (the editor posts its moves this way).
  void HandleKey(int Key, Qt::KeyboardModifiers Modifiers, const QString& Text);

 protected:
  bool event(QEvent* E) override;
  void paintEvent(QPaintEvent* E) override;
  void resizeEvent(QResizeEvent* E) override;
  void keyPressEvent(QKeyEvent* E) override;
  void keyReleaseEvent(QKeyEvent* E) override;
  void mousePressEvent(QMouseEvent* E) override;
  void mouseMoveEvent(QMouseEvent* E) override;
  void mouseReleaseEvent(QMouseEvent* E) override;
  void mouseDoubleClickEvent(QMouseEvent* E) override;
  void wheelEvent(QWheelEvent* E) override;
  void focusOutEvent(QFocusEvent* E) override;
  void leaveEvent(QEvent* E) override;
  void hideEvent(QHideEvent* E) override;

  void CancelEditing() override;
  void DoResized() override;
  void ResetPointer() override;

 private:
  QScrollBar* FVertBar = nullptr;
  QScrollBar* FHorzBar = nullptr;
  bool FSyncingBars = false;
  PVGCellEditLink FEditor;
  TVGMessage FPendingKey;
  bool FEditCellVisible = false;
  QRect FEditTextRect;
  QPoint FLastPos;
  QPoint FPressPos;
  uint8_t FHotColStates = 0;
  uint8_t FHotRowStates = 0;
  std::vector<TMergedCell*> FPaintMerged;
  TGridHint* FHint = nullptr;  // made at the first hint

  // input helpers (uVDrawGridInput.cpp)
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos);
  void UpdateGestureSelection(PVirtualAxisItem ToRow, PVirtualAxisItem ToCol);
  void ScrollIntoView(PVirtualAxisItem Item, bool IsColumn);
  bool MoveFocus(int Key, bool Shift);
  void MoveTab();
  void PageFocus(int Key, bool Ctrl);
  bool InGesture() const;
  void EndGestures();
  // The focus went from Old to Now; ends editing when it left the editor
  // for another control of the window.
  void EditorFocusChanged(QWidget* Old, QWidget* Now);

  // hint window (uVDrawGridHint.cpp)
  void ShowHint(const QPoint& Pos);
  void HideHint();
  // Hides the hint once the pointer leaves the rectangle it may rest in.
  void HintPointerMoved(const QPoint& Pos);

  // painting helpers (uVDrawGridPaint.cpp)
  struct TLine {
    PVirtualAxisItem Item;
    int Start;
  };
  std::vector<TLine> LinesOf(PVirtualAxisItem First, int Start, int Edge) const;
  void PaintArea(QPainter& P, const TGridRect& Area, const std::vector<TLine>& RowLines,
                 const std::vector<TLine>& ColLines);
  void PaintCell(QPainter& P, PVirtualAxisItem Row, PVirtualAxisItem Col, const TGridRect& Rect, const TGridRect& Area);
  void PaintRowHeaders(QPainter& P, const std::vector<TLine>& RowLines, const TGridRect& Clip);
  void PaintColHeaders(QPainter& P, const std::vector<TLine>& ColLines, const TGridRect& Clip);
  void PaintHeaderCell(QPainter& P, const QRect& R, PVirtualAxisItem Item);
  void PaintTreeLines(QPainter& P, PVirtualAxisItem Item, const QRect& R, bool Vertical);
  void PaintCorner(QPainter& P);
  void PaintFixedLines(QPainter& P);
  void UpdateEditor();
  void SyncScrollBars();
  void ScrollBarAction(bool IsColumn, int Action);
};
