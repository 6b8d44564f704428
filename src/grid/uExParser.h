#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "grid/uExVariant.h"
#include "grid/uVGridTypes.h"

// A registered function: its callback gets the evaluated arguments.
using TExFunctionCallback = std::function<void(const TVArray& Args, TExVariant& Result)>;

class TExParserFunction {
 public:
  QString Name;
  TExFunctionCallback Callback;
  void* Owner = nullptr;
  int MinArgs = 0;  // recorded, not enforced
  int MaxArgs = 0;
};

// A node of a parsed formula.  The caller owns the tree Parse returns.
class TExResult {
 public:
  virtual ~TExResult() = default;
  virtual void Evaluate(TExVariant& Value) { Value = TExVariant::Integer(0); }
  virtual QString GetText(PVirtualAxisItem BaseRow, PVirtualAxisItem BaseCol) { return QString(); }
  // Shorthand for Evaluate.
  TExVariant Value() {
    TExVariant v;
    Evaluate(v);
    return v;
  }
};
using PExResult = std::unique_ptr<TExResult>;

class TExNumber : public TExResult {
 public:
  explicit TExNumber(const TExVariant& AValue) : Number(AValue) {}
  TExVariant Number;  // integer or real
  void Evaluate(TExVariant& Value) override { Value = Number; }
  QString GetText(PVirtualAxisItem, PVirtualAxisItem) override { return Number.ToString(); }
};

class TExString : public TExResult {
 public:
  explicit TExString(const QString& AText) : Text(AText) {}
  QString Text;
  void Evaluate(TExVariant& Value) override { Value = TExVariant::String(Text); }
  QString GetText(PVirtualAxisItem, PVirtualAxisItem) override { return Text; }
};

class TExInteger : public TExResult {
 public:
  explicit TExInteger(int32_t AValue) : Number(AValue) {}
  int32_t Number;
  void Evaluate(TExVariant& Value) override { Value = TExVariant::Integer(Number); }
  QString GetText(PVirtualAxisItem, PVirtualAxisItem) override { return QString::number(Number); }
};

// An operator or a function call over its children.  An operator whose
// operand failed to parse keeps an empty slot, and evaluating it fails.
class TExOperation : public TExResult {
 public:
  TExOperation(TExParserFunction* AFunction, QChar AOperator = QChar()) : Function(AFunction), Operator(AOperator) {}
  TExParserFunction* Function;
  QChar Operator;  // + - * / ^ for operators, none for named functions
  std::vector<PExResult> Children;
  void Evaluate(TExVariant& Value) override;
  QString GetText(PVirtualAxisItem BaseRow, PVirtualAxisItem BaseCol) override;
};

// Turns a formula text into a node tree: numbers (hex with "$", exponents,
// a leading point), the constants E and PI, strings in single quotes,
// + - * / ^ (^ binds like * and /), parentheses and registered functions
// whose arguments are separated by ";".  MAX and MIN are built in.
class TExParser {
 public:
  TExParser();
  virtual ~TExParser();
  TExParser(const TExParser&) = delete;
  TExParser& operator=(const TExParser&) = delete;

  std::vector<std::unique_ptr<TExParserFunction>> Functions;
  int ErrorCode = 0;  // 1 missing ")", 2 unbalanced or stray character

  bool RegisterFunction(const QString& Name, int MinArgs, int MaxArgs, TExFunctionCallback Callback,
                        void* Owner = nullptr);
  TExParserFunction* FindFunction(const QString& Name) const;
  void UnregisterFunction(const QString& Name);
  // None (ErrorCode 2) when the parentheses do not balance.
  PExResult Parse(const QString& Text);
  int Position() const { return FPos + 1; }

 protected:
  virtual PExResult ParseString();
  virtual PExResult ParseNumber();
  virtual PExResult ParseConstant();
  virtual TExParserFunction* ParseFunction();
  virtual PExResult ParseFactor();
  virtual PExResult ParseTerm();
  virtual PExResult ParseExpression();
  virtual void Error(int Code) { ErrorCode = Code; }

  QChar Cur() const { return FPos < FText.size() ? FText[FPos] : QChar(0); }
  void Advance() {
    if (FPos < FText.size()) ++FPos;
  }
  static bool IsDelimiter(QChar Ch);
  // "$" with 1 to 8 hex digits at the position; false (position kept) otherwise.
  bool ReadHex(int32_t& Value);

  QString FText;  // the formula with a NUL appended
  qsizetype FPos = 0;
  std::unique_ptr<TExParserFunction> FAdd, FSub, FDiv, FMul, FPower;

 private:
  PExResult MakeOperation(TExParserFunction* F, QChar Op, PExResult Left, PExResult Right);
};
