#include "grid/uGridParser.h"

#include <QLocale>

namespace {
void CountCallback(const TVArray& Args, TExVariant& Result) {
  int64_t count = 0;
  for (const TExVariant& a : Args) {
    if (a.IsNull() || a.IsEmpty()) continue;
    if (a.Kind != TExVariant::vkArray) throw EExEvalError("COUNT needs a range");
    for (const QString& s : a.Array)
      if (!s.isEmpty()) ++count;
  }
  Result = TExVariant::Integer(count);
}
}  // namespace

double TExLink::CellNumber(QString Text) {
  Text.remove(QChar(0x00A0));
  const qsizetype dot = Text.indexOf('.');
  if (dot >= 0) Text[dot] = ',';
  if (Text.contains('.')) return 0;
  Text.replace(',', '.');
  bool ok = false;
  const double v = QLocale::c().toDouble(Text.trimmed(), &ok);
  return ok ? v : 0;
}

void TExLink::Evaluate(TExVariant& Value) {
  QString text;
  if (Grid) Grid->DoGetCellText(Row, Col, text);
  Value = TExVariant::FromReal(CellNumber(text));
}

QString TExLink::GetText(PVirtualAxisItem BaseRow, PVirtualAxisItem BaseCol) {
  const int r = Row->AbsoluteIndex - (BaseRow ? BaseRow->AbsoluteIndex : 0);
  const int c = Col->AbsoluteIndex - (BaseCol ? BaseCol->AbsoluteIndex : 0);
  return QStringLiteral("R[%1]C[%2]").arg(r).arg(c);
}

void TExRange::Evaluate(TExVariant& Value) {
  QStringList texts;
  if (FirstRow == LastRow) {
    PVirtualAxisItem c = FirstCol;
    do {
      texts << Grid->GetCellText(FirstRow, c);
      c = TVirtualGridAxis::NextInOrder(c);
    } while (c && c->AbsoluteIndex <= LastCol->AbsoluteIndex);
  } else if (FirstCol == LastCol) {
    PVirtualAxisItem r = FirstRow;
    do {
      texts << Grid->GetCellText(r, FirstCol);
      r = TVirtualGridAxis::NextInOrder(r);
    } while (r && r->AbsoluteIndex <= LastRow->AbsoluteIndex);
  } else {
    Value = TExVariant::Null();
    return;
  }
  Value = TExVariant::FromArray(texts);
}

TGridParser::TGridParser(TCustomVirtualGrid* AGrid) : Grid(AGrid) {
  RegisterFunction(QStringLiteral("COUNT"), 0, 100000, CountCallback, this);
}

PExResult TGridParser::Parse(PVirtualAxisItem ABaseRow, PVirtualAxisItem ABaseCol, const QString& Text) {
  BaseRow = ABaseRow;
  BaseCol = ABaseCol;
  QString upper = Text;
  for (QChar& c : upper)
    if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
  return TExParser::Parse(upper);
}

PExResult TGridParser::ParseFactor() {
  if (PExResult r = TExParser::ParseFactor()) return r;
  if (PExResult r = ParseRange()) return r;
  return ParseLink();
}

std::unique_ptr<TExInteger> TGridParser::ParseInteger() {
  const qsizetype start = FPos;
  int32_t value = 0;
  if (Cur() == '$') {
    if (ReadHex(value) && IsDelimiter(Cur())) return std::make_unique<TExInteger>(value);
    FPos = start;
    return nullptr;
  }
  QString digits;
  if (Cur() == '+' || Cur() == '-') {
    digits += Cur();
    Advance();
  }
  while (Cur() >= '0' && Cur() <= '9') {
    digits += Cur();
    Advance();
  }
  bool ok = false;
  value = digits.toInt(&ok);
  if (!ok || !IsDelimiter(Cur())) {
    FPos = start;
    return nullptr;
  }
  return std::make_unique<TExInteger>(value);
}

bool TGridParser::ParseCellRef(int& R, int& C) {
  const qsizetype start = FPos;
  auto part = [&](QChar letter, int& out) {
    if (Cur() != letter) return false;
    Advance();
    if (Cur() != '[') return false;
    Advance();
    std::unique_ptr<TExInteger> n = ParseInteger();
    if (!n) return false;
    if (Cur() != ']') {
      Error(2);
      return false;
    }
    Advance();
    out = n->Number;
    return true;
  };
  if (part('R', R) && part('C', C)) return true;
  FPos = start;
  return false;
}

void TGridParser::ResolveRef(int R, int C, PVirtualAxisItem& Row, PVirtualAxisItem& Col) const {
  const int b = BaseRow ? BaseRow->AbsoluteIndex : 0;
  const int k = BaseCol ? BaseCol->AbsoluteIndex : 0;
  Row = Grid ? Grid->Rows->GetItem(b + R - 1) : nullptr;
  Col = Grid ? Grid->Cols->GetItem(k + C - 1) : nullptr;
}

PExResult TGridParser::ParseLink() {
  int r = 0, c = 0;
  if (!ParseCellRef(r, c)) return nullptr;
  PVirtualAxisItem row = nullptr, col = nullptr;
  ResolveRef(r, c, row, col);
  if (!row || !col) return nullptr;  // consumed, but no operand
  return std::make_unique<TExLink>(row, col, Grid);
}

PExResult TGridParser::ParseRange() {
  const qsizetype start = FPos;
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
  if (!ParseCellRef(r1, c1)) return nullptr;
  if (Cur() != ':') {
    FPos = start;
    return nullptr;
  }
  Advance();
  if (!ParseCellRef(r2, c2)) {
    FPos = start;
    return nullptr;
  }
  PVirtualAxisItem firstRow, firstCol, lastRow, lastCol;
  ResolveRef(r1, c1, firstRow, firstCol);
  ResolveRef(r2, c2, lastRow, lastCol);
  if (!firstRow || !firstCol || !lastRow || !lastCol) return nullptr;
  return std::make_unique<TExRange>(firstRow, firstCol, lastRow, lastCol, Grid);
}
