#pragma once
#include "grid/uExParser.h"
#include "grid/uVGrid.h"

// A link R[r]C[c]: relative to the base row (column) when the formula has
// one, absolute (1-based) otherwise.  Evaluates to the cell text read as a
// number (0 when it is none).
class TExLink : public TExResult {
 public:
  TExLink(PVirtualAxisItem ARow, PVirtualAxisItem ACol, TCustomVirtualGrid* AGrid) : Row(ARow), Col(ACol), Grid(AGrid) {}
  PVirtualAxisItem Row;
  PVirtualAxisItem Col;
  TCustomVirtualGrid* Grid;
  void Evaluate(TExVariant& Value) override;
  QString GetText(PVirtualAxisItem BaseRow, PVirtualAxisItem BaseCol) override;
  // A cell text as a number: no-break spaces dropped, "." or "," as the
  // decimal separator; 0 when it is not a number.
  static double CellNumber(QString Text);
};

// A range R[r1]C[c1]:R[r2]C[c2] along one row or one column: the cell texts
// as an array of strings; null when it spans several rows and columns.
class TExRange : public TExResult {
 public:
  TExRange(PVirtualAxisItem AFirstRow, PVirtualAxisItem AFirstCol, PVirtualAxisItem ALastRow,
           PVirtualAxisItem ALastCol, TCustomVirtualGrid* AGrid)
      : FirstRow(AFirstRow), FirstCol(AFirstCol), LastRow(ALastRow), LastCol(ALastCol), Grid(AGrid) {}
  PVirtualAxisItem FirstRow, FirstCol, LastRow, LastCol;
  TCustomVirtualGrid* Grid;
  void Evaluate(TExVariant& Value) override;
};

// The formula parser of a grid: adds links, ranges and COUNT to TExParser.
// Parse(BaseRow, BaseCol, Text) upper-cases Latin letters and resolves
// references against the grid's axes.
class TGridParser : public TExParser {
 public:
  explicit TGridParser(TCustomVirtualGrid* AGrid);
  TCustomVirtualGrid* Grid;
  PVirtualAxisItem BaseCol = nullptr;
  PVirtualAxisItem BaseRow = nullptr;

  using TExParser::Parse;
  PExResult Parse(PVirtualAxisItem ABaseRow, PVirtualAxisItem ABaseCol, const QString& Text);

 protected:
  PExResult ParseFactor() override;
  virtual PExResult ParseRange();
  virtual PExResult ParseLink();
  virtual std::unique_ptr<TExInteger> ParseInteger();
  bool ParseCellRef(int& R, int& C);
  void ResolveRef(int R, int C, PVirtualAxisItem& Row, PVirtualAxisItem& Col) const;
};
