#pragma once
#include <QString>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "grid/uDataManager.h"
#include "grid/uGridHistory.h"
#include "grid/uVDrawGrid.h"

class QMenu;
class QAction;

constexpr TColor EmptyCellColor = 0x00B0F8F7;

// A merged range of the exported sheet, 1-based.
class TExMrgCell {
 public:
  int Col1 = 0, Row1 = 0, Col2 = 0, Row2 = 0;
};

// The sheet an export builds before it is written (1-based rows/columns).
struct TExportSheet {
  struct TCell {
    QString Text;
    QString Alt;  // written instead when the text cannot be written
    bool Bold = false;
    int Indent = 0;
  };
  struct TColumn {
    double Width = 0;
    bool AlignLeft = false;
  };
  std::map<std::pair<int, int>, TCell> Cells;  // (row, column)
  std::map<int, TColumn> Columns;
  std::vector<TExMrgCell> Merges;
  int RowCount = 0;
  int ColCount = 0;
};

// A table view: one drawing grid with a keyed cell store, handlers that
// answer the grid from the cell values, an edit history with undo/redo, the
// set of changed cells, copy and paste as tab-separated text, a right-click
// menu and spreadsheet export.  Call Init once after creation; fill the grid
// and the store, then History->Clear().
class TGridFrame : public QWidget {
  Q_OBJECT

 public:
  explicit TGridFrame(QWidget* Parent = nullptr);
  ~TGridFrame() override;

  TVirtualDGrid* VirtualDGrid = nullptr;
  QMenu* TreePopupMenu = nullptr;
  QAction* miCopy = nullptr;
  QAction* miPaste = nullptr;
  QAction* miComent = nullptr;
  QAction* miChart = nullptr;
  QAction* miAddChart = nullptr;

  PVirtualAxisItem CurrentRow = nullptr;
  PVirtualAxisItem CurrentCol = nullptr;
  std::unique_ptr<TGridHistory> History;
  std::unique_ptr<TDataManager> CellStore;
  std::set<TBaseCellObject*> ChangedCells;
  TNotifyEvent OnHistoryChange;
  // Where the last export was written.
  QString LastExportPath;

  virtual void ClearValues();
  virtual void CopyToClipboard();
  virtual void PasteFromClipboard();
  virtual TBaseCellObject* GetCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;
  // Searches down the current column, below the current row, for a cell
  // whose text contains Text (letter case ignored); focuses and shows it.
  virtual bool FindNext(const QString& Text);
  virtual void Init();
  virtual void Undo();
  virtual void Redo();
  virtual void BeforeExport(TExportSheet& Sheet) {}
  virtual void AfterExport(TExportSheet& Sheet) {}
  virtual void AfterExport2(TExportSheet& Sheet) {}
  // Writes the table to an .xlsx file and opens it with the desktop's
  // spreadsheet; throws std::runtime_error when that fails.
  virtual void ExportToExcel(bool VisibleOnly);
  virtual bool HasChanges() const { return !ChangedCells.empty(); }
  void ClearTable();

  // Builds the sheet for an export (no file is written).
  TExportSheet BuildExportSheet(bool VisibleOnly);
  // Puts a value into the cell's entry (creating it); the store owns it.
  TBaseCellValue* SetCellValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol, std::unique_ptr<TBaseCellValue> Value);
  TBaseCellValue* GetValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;

  // --- grid and menu handlers ---
  void VirtualDGridBeforeCellPaint(QPainter& Canvas, PVirtualAxisItem ARow, PVirtualAxisItem ACol, QRect& CellRect);
  void VirtualDGridCellTextPaint(QPainter& Canvas, QRect& ARect, PVirtualAxisItem ARow, PVirtualAxisItem ACol);
  PVGCellEditLink VirtualDGridCreateEditor(PVirtualAxisItem ARow, PVirtualAxisItem ACol);
  bool VirtualDGridGetAllowEditing(PVirtualAxisItem ARow, PVirtualAxisItem ACol);
  void VirtualDGridGetCellHint(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& HintText);
  void VirtualDGridGetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& CellText);
  void VirtualDGridValueChanged(PVirtualAxisItem ARow, PVirtualAxisItem ACol, const QString& AValue);
  void VirtualDGridNewColItemSize(TVirtualGridAxis* AAxis, PVirtualAxisItem AItem);
  void VirtualDGridMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void VirtualDGridMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  bool FormMouseWheel(int WheelDelta, Qt::KeyboardModifiers Shift);

  // Lines a text needs when wrapped at break characters into Width pixels.
  static int CountLines(const QString& Text, int Width, const QFontMetrics& Metrics);

 private:
  int FSheetRow = 0;
  int FSheetCol = 0;
  void ApplyHistoryRecord(TGridHistoryRecord* R);
};
