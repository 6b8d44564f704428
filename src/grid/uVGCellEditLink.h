#pragma once
#include <QEvent>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

#include "grid/uVGridTypes.h"

class TVirtualDGrid;

// A key (or paint request) handed from the grid to the editor's control.
struct TVGMessage {
  QEvent::Type Type = QEvent::KeyPress;  // QEvent::UpdateRequest asks for a repaint
  int Key = 0;
  Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
  QString Text;
};

// What the grid needs of a cell editor.  The grid obtains one per edited
// cell, calls PrepareEdit and SetBounds, BeginEdit at its next paint, then
// exactly one of EndEdit or CancelEdit.  The editor stores the edited text
// through the grid's DoValueChanged.
class IVGCellEditLink {
 public:
  virtual ~IVGCellEditLink() = default;
  virtual bool BeginEdit() = 0;
  virtual bool CancelEdit() = 0;
  virtual bool EndEdit() = 0;
  virtual bool PrepareEdit(TVirtualDGrid* AGrid, PVirtualAxisItem ARow, PVirtualAxisItem ACol, bool AClear) = 0;
  virtual QRect GetBounds() = 0;
  virtual void Show(bool Visible) = 0;
  virtual bool IsVisible() = 0;
  virtual void ProcessMessage(const TVGMessage& Msg) = 0;
  virtual void SetBounds(const QRect& R) = 0;
  virtual int GetKind() = 0;
  virtual bool GetWantsKeys() = 0;
};
using PVGCellEditLink = std::shared_ptr<IVGCellEditLink>;

// The default editor: a borderless multi-line text box over the cell.
// Subclasses (value cells of the form views) override the protected slots.
class TVGCellEditLink : public IVGCellEditLink {
 public:
  TVGCellEditLink();
  ~TVGCellEditLink() override;

  bool BeginEdit() override;
  bool CancelEdit() override;
  bool EndEdit() override;
  bool PrepareEdit(TVirtualDGrid* AGrid, PVirtualAxisItem ARow, PVirtualAxisItem ACol, bool AClear) override;
  QRect GetBounds() override;
  void Show(bool Visible) override;
  bool IsVisible() override;
  void ProcessMessage(const TVGMessage& Msg) override;
  void SetBounds(const QRect& R) override;
  int GetKind() override { return 0; }
  bool GetWantsKeys() override { return WantsKeys; }

  QWidget* EditControl() const { return Control; }
  // Names of editor controls: "VGEdit_" + a program-wide counter.
  static QString NextControlName();

 protected:
  virtual void EditKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
  virtual void CreateEditControl(bool AClear);
  virtual bool CanEnd() { return true; }
  virtual void EditChanged(QObject* Sender) {}
  virtual void DoCancel();
  virtual void DoAccept();
  virtual void EditExit(QObject* Sender, Qt::FocusReason Reason);
  virtual bool AdjustBounds(QRect& R) { return true; }
  // Text of the control (the default control is a plain text box).
  virtual QString ControlText() const;

  // Routes the control's keys, focus loss and changes to the slots above.
  void HookControl(QWidget* AControl);
  // Posts a key press to the grid (as if typed there).
  void PostKeyToGrid(int Key);
  // The grid takes the focus back when ending or cancelling the edit, unless
  // another control of the window already has it.
  void FocusGrid();

  bool Accepted = false;
  QString StartText;
  QPointer<QWidget> Control;
  TVirtualDGrid* Grid = nullptr;
  PVirtualAxisItem EditCol = nullptr;
  PVirtualAxisItem EditRow = nullptr;
  bool WantsKeys = false;

 private:
  class TFilter;
  std::unique_ptr<TFilter> FFilter;
  QPointer<QWidget> FGridGuard;  // the editor may outlive its grid
  friend class TFilter;
};
