#include "grid/uExParser.h"

#include <QLocale>
#include <cmath>

#include "catalogue/uStringRoutines.h"

namespace {
bool IsLatin(QChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(QChar c) { return c >= '0' && c <= '9'; }
bool IsHex(QChar c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

const TExVariant& Arg(const TVArray& Args, size_t i) {
  if (i >= Args.size()) throw EExEvalError("missing operand");
  return Args[i];
}

void AddCallback(const TVArray& Args, TExVariant& Result) {
  Result = TExVariant::Integer(0);
  for (const TExVariant& a : Args) Result = VarAdd(Result, a);
}

void SubCallback(const TVArray& Args, TExVariant& Result) { Result = VarSub(Arg(Args, 0), Arg(Args, 1)); }

void MulCallback(const TVArray& Args, TExVariant& Result) {
  Result = TExVariant::Integer(1);
  for (const TExVariant& a : Args) Result = VarMul(Result, a);
}

void DivCallback(const TVArray& Args, TExVariant& Result) {
  const TExVariant& divisor = Arg(Args, 1);
  if (divisor.IsNull()) return;  // left unset
  const double a = Arg(Args, 0).ToDouble();
  const double b = divisor.ToDouble();
  Result = TExVariant::FromReal(b != 0 ? a / b : a / 1e-20);
}

void PowerCallback(const TVArray& Args, TExVariant& Result) {
  const float a = static_cast<float>(Arg(Args, 0).ToDouble());
  const float b = static_cast<float>(Arg(Args, 1).ToDouble());
  Result = TExVariant::FromReal(static_cast<double>(std::pow(a, b)));  // single precision
}

void MaxCallback(const TVArray& Args, TExVariant& Result) {
  if (Args.empty()) {
    Result = TExVariant();
    return;
  }
  Result = Args[0];
  for (size_t i = 1; i < Args.size(); ++i)
    if (VarCompare(Args[i], Result) > 0) Result = Args[i];
}

void MinCallback(const TVArray& Args, TExVariant& Result) {
  if (Args.empty()) {
    Result = TExVariant();
    return;
  }
  Result = Args[0];
  for (size_t i = 1; i < Args.size(); ++i)
    if (VarCompare(Args[i], Result) < 0) Result = Args[i];
}

std::unique_ptr<TExParserFunction> MakeEntry(const QString& Name, int MinArgs, int MaxArgs, TExFunctionCallback F) {
  auto entry = std::make_unique<TExParserFunction>();
  entry->Name = Name;
  entry->MinArgs = MinArgs;
  entry->MaxArgs = MaxArgs;
  entry->Callback = std::move(F);
  return entry;
}
}  // namespace

void TExOperation::Evaluate(TExVariant& Value) {
  TVArray args;
  args.reserve(Children.size());
  for (const PExResult& child : Children) {
    if (!child) throw EExEvalError("missing operand");
    TExVariant v;
    child->Evaluate(v);
    args.push_back(std::move(v));
  }
  if (Function && Function->Callback) Function->Callback(args, Value);
}

QString TExOperation::GetText(PVirtualAxisItem BaseRow, PVirtualAxisItem BaseCol) {
  QStringList parts;
  for (const PExResult& child : Children) parts << (child ? child->GetText(BaseRow, BaseCol) : QString());
  if (!Operator.isNull()) return parts.join(Operator);
  return (Function ? Function->Name : QString()) + '(' + parts.join(',') + ')';
}

TExParser::TExParser() {
  FAdd = MakeEntry(QStringLiteral("+"), 2, 2147483647, AddCallback);
  FSub = MakeEntry(QStringLiteral("-"), 2, 2, SubCallback);
  FMul = MakeEntry(QStringLiteral("*"), 2, 2147483647, MulCallback);
  FDiv = MakeEntry(QStringLiteral("/"), 2, 2, DivCallback);
  FPower = MakeEntry(QStringLiteral("^"), 2, 2, PowerCallback);
  RegisterFunction(QStringLiteral("MAX"), 2, 2147483647, MaxCallback, this);
  RegisterFunction(QStringLiteral("MIN"), 2, 2147483647, MinCallback, this);
}

TExParser::~TExParser() = default;

bool TExParser::RegisterFunction(const QString& Name, int MinArgs, int MaxArgs, TExFunctionCallback Callback,
                                 void* Owner) {
  if (Name.isEmpty() || !(IsLatin(Name[0]) || Name[0] == '_')) return false;
  if (!Callback) {
    UnregisterFunction(Name);
    return false;
  }
  if (TExParserFunction* existing = FindFunction(Name)) {
    existing->Callback = std::move(Callback);
    existing->Owner = Owner;
    return true;
  }
  auto entry = MakeEntry(Name, MinArgs, MaxArgs, std::move(Callback));
  entry->Owner = Owner;
  Functions.push_back(std::move(entry));
  return true;
}

TExParserFunction* TExParser::FindFunction(const QString& Name) const {
  const QString key = LowerCaseRu(Name);
  for (const auto& f : Functions)
    if (LowerCaseRu(f->Name) == key) return f.get();
  return nullptr;
}

void TExParser::UnregisterFunction(const QString& Name) {
  TExParserFunction* f = FindFunction(Name);
  std::erase_if(Functions, [f](const std::unique_ptr<TExParserFunction>& e) { return e.get() == f; });
}

PExResult TExParser::Parse(const QString& Text) {
  ErrorCode = 0;
  int balance = 0;
  for (QChar c : Text) {
    if (c == '(') ++balance;
    if (c == ')') --balance;
  }
  if (balance != 0) {
    Error(2);
    return nullptr;
  }
  FText = Text + QChar(0);
  FPos = 0;
  if (FText[0] == '+' || FText[0] == '-') FText.prepend('0');
  return ParseExpression();
}

bool TExParser::IsDelimiter(QChar Ch) {
  if (Ch.unicode() < 32) return true;
  return QStringLiteral(" )*+-/;[]^").contains(Ch);
}

bool TExParser::ReadHex(int32_t& Value) {
  if (Cur() != '$') return false;
  qsizetype end = FPos + 1;
  while (end < FText.size() && IsHex(FText[end])) ++end;
  const qsizetype digits = end - FPos - 1;
  if (digits < 1 || digits > 8) return false;
  Value = static_cast<int32_t>(FText.mid(FPos + 1, digits).toUInt(nullptr, 16));
  FPos = end;
  return true;
}

PExResult TExParser::ParseNumber() {
  const qsizetype start = FPos;
  int32_t hex = 0;
  if (Cur() == '$') {
    if (ReadHex(hex) && IsDelimiter(Cur())) return std::make_unique<TExNumber>(TExVariant::Integer(hex));
    FPos = start;
    return nullptr;
  }
  const QChar first = Cur();
  if (!(first == '+' || first == '-' || first == '.' || IsDigit(first))) return nullptr;
  QString number;
  if (first == '.') {
    number = QStringLiteral("0.");
    Advance();
  } else {
    number = first;
    Advance();
    if ((first == '+' || first == '-') && Cur() == '.') number += '0';
  }
  bool exponent = false;
  for (;;) {
    const QChar c = Cur();
    if (IsDigit(c) || c == '.') {
      number += c;
      Advance();
    } else if (c == 'E' || c == 'e') {
      if (number.endsWith('.')) number += '0';
      number += c;
      exponent = true;
      Advance();
      if (Cur() == '+' || Cur() == '-') {
        number += Cur();
        Advance();
      }
    } else {
      break;
    }
  }
  if (number.endsWith('.') && !exponent) number += '0';
  bool ok = false;
  const double value = QLocale::c().toDouble(number, &ok);
  if (!ok || !IsDelimiter(Cur())) {
    FPos = start;
    return nullptr;
  }
  return std::make_unique<TExNumber>(TExVariant::FromReal(value));
}

PExResult TExParser::ParseConstant() {
  const qsizetype start = FPos;
  if (Cur() == 'E') {
    Advance();
    if (IsDelimiter(Cur())) return std::make_unique<TExNumber>(TExVariant::FromReal(2.71828182845904523536));
  } else if (Cur() == 'P' && FPos + 1 < FText.size() && FText[FPos + 1] == 'I') {
    FPos += 2;
    if (IsDelimiter(Cur())) return std::make_unique<TExNumber>(TExVariant::FromReal(3.1415926535897932385));
  }
  FPos = start;
  return nullptr;
}

PExResult TExParser::ParseString() {
  if (Cur() != '\'') return nullptr;
  Advance();
  const qsizetype start = FPos;
  while (Cur() != '\'' && FPos < FText.size() - 1) Advance();
  QString text = FText.mid(start, FPos - start);
  if (Cur() == '\'') Advance();
  return std::make_unique<TExString>(text);
}

TExParserFunction* TExParser::ParseFunction() {
  const QChar c = Cur();
  if (!(IsLatin(c) || c == '_')) return nullptr;
  for (const auto& f : Functions) {
    const qsizetype n = f->Name.size();
    if (FPos + n >= FText.size()) continue;
    if (!f->Callback || FText[FPos + n] != '(') continue;
    if (LowerCaseRu(FText.mid(FPos, n)) != LowerCaseRu(f->Name)) continue;
    FPos += n;
    return f.get();
  }
  return nullptr;
}

PExResult TExParser::ParseFactor() {
  if (Cur() == '(') {
    Advance();
    PExResult result = ParseExpression();
    if (Cur() != ')') Error(1);
    Advance();
    return result;
  }
  if (PExResult n = ParseNumber()) return n;
  if (PExResult k = ParseConstant()) return k;
  if (PExResult s = ParseString()) return s;
  if (TExParserFunction* f = ParseFunction()) {
    auto op = std::make_unique<TExOperation>(f);
    do {
      Advance();  // the "(" or a ";"
      if (PExResult arg = ParseExpression()) op->Children.push_back(std::move(arg));
    } while (Cur() == ';');
    if (Cur() != ')') Error(1);
    Advance();
    return op;
  }
  return nullptr;
}

PExResult TExParser::MakeOperation(TExParserFunction* F, QChar Op, PExResult Left, PExResult Right) {
  auto op = std::make_unique<TExOperation>(F, Op);
  op->Children.push_back(std::move(Left));
  op->Children.push_back(std::move(Right));
  return op;
}

PExResult TExParser::ParseTerm() {
  PExResult left = ParseFactor();
  if (!left) return nullptr;
  for (;;) {
    const QChar c = Cur();
    TExParserFunction* f = c == '*' ? FMul.get() : c == '/' ? FDiv.get() : c == '^' ? FPower.get() : nullptr;
    if (!f) break;
    Advance();
    PExResult right = ParseFactor();
    left = MakeOperation(f, c, std::move(left), std::move(right));
  }
  return left;
}

PExResult TExParser::ParseExpression() {
  PExResult left = ParseTerm();
  while (Cur() == '+' || Cur() == '-') {
    const QChar c = Cur();
    Advance();
    PExResult right = ParseTerm();
    left = MakeOperation(c == '+' ? FAdd.get() : FSub.get(), c, std::move(left), std::move(right));
  }
  if (!QStringLiteral("),;<=>").contains(Cur()) && Cur() != QChar(0)) Error(2);
  return left;
}
