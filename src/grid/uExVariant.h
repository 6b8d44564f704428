#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Evaluation failure of a formula (a word used as a number, a missing
// operand, an array in arithmetic).  Hosts catch it and take the value 0.
class EExEvalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The value of a formula node: empty, null, integer, real, string or an
// array of strings.  Strings used as numbers are read in the user's
// (Russian, decimal comma) locale.
class TExVariant {
 public:
  enum TKind { vkEmpty, vkNull, vkInteger, vkReal, vkString, vkArray };
  TKind Kind = vkEmpty;
  int64_t Int = 0;
  double Real = 0;
  QString Str;
  QStringList Array;

  static TExVariant Null() { return Make(vkNull); }
  static TExVariant Integer(int64_t v) {
    TExVariant r = Make(vkInteger);
    r.Int = v;
    return r;
  }
  static TExVariant FromReal(double v) {
    TExVariant r = Make(vkReal);
    r.Real = v;
    return r;
  }
  static TExVariant String(const QString& v) {
    TExVariant r = Make(vkString);
    r.Str = v;
    return r;
  }
  static TExVariant FromArray(const QStringList& v) {
    TExVariant r = Make(vkArray);
    r.Array = v;
    return r;
  }

  bool IsNull() const { return Kind == vkNull; }
  bool IsEmpty() const { return Kind == vkEmpty; }
  // The value as a number; throws EExEvalError when it is none.
  double ToDouble() const;
  // Integer when it is one (strings never are).
  bool IsInteger() const { return Kind == vkInteger || Kind == vkEmpty; }
  QString ToString() const;

 private:
  static TExVariant Make(TKind k) {
    TExVariant r;
    r.Kind = k;
    return r;
  }
};

using TVArray = std::vector<TExVariant>;

// Variant arithmetic: null in, null out; empty counts as integer 0.
TExVariant VarAdd(const TExVariant& A, const TExVariant& B);
TExVariant VarSub(const TExVariant& A, const TExVariant& B);
TExVariant VarMul(const TExVariant& A, const TExVariant& B);
// -1, 0 or 1; strings compare as strings with strings, else as numbers.
int VarCompare(const TExVariant& A, const TExVariant& B);
