#include "grid/uExVariant.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
const QLocale& UserLocale() {
  static const QLocale locale(QLocale::Russian, QLocale::Russia);
  return locale;
}

void CheckScalar(const TExVariant& V) {
  if (V.Kind == TExVariant::vkArray) throw EExEvalError("array used as a number");
}

TExVariant Arith(const TExVariant& A, const TExVariant& B, char Op) {
  CheckScalar(A);
  CheckScalar(B);
  if (A.IsNull() || B.IsNull()) return TExVariant::Null();
  if (A.IsInteger() && B.IsInteger()) {
    const int64_t a = A.Int, b = B.Int;
    int64_t r = 0;
    const bool overflow = Op == '+' ? __builtin_add_overflow(a, b, &r)
                          : Op == '-' ? __builtin_sub_overflow(a, b, &r)
                                      : __builtin_mul_overflow(a, b, &r);
    if (!overflow) return TExVariant::Integer(r);
  }
  const double a = A.ToDouble(), b = B.ToDouble();
  return TExVariant::FromReal(Op == '+' ? a + b : (Op == '-' ? a - b : a * b));
}
}  // namespace

double TExVariant::ToDouble() const {
  switch (Kind) {
    case vkEmpty: return 0;
    case vkInteger: return static_cast<double>(Int);
    case vkReal: return Real;
    case vkString: {
      bool ok = false;
      const double v = UserLocale().toDouble(Str.trimmed(), &ok);
      if (!ok) throw EExEvalError("not a number: " + Str.toStdString());
      return v;
    }
    case vkNull: throw EExEvalError("null used as a number");
    case vkArray: throw EExEvalError("array used as a number");
  }
  return 0;
}

QString TExVariant::ToString() const {
  switch (Kind) {
    case vkInteger: return QString::number(Int);
    case vkReal: return UserLocale().toString(Real, 'g', 15);
    case vkString: return Str;
    case vkArray: return Array.join(';');
    default: return QString();
  }
}

TExVariant VarAdd(const TExVariant& A, const TExVariant& B) { return Arith(A, B, '+'); }
TExVariant VarSub(const TExVariant& A, const TExVariant& B) { return Arith(A, B, '-'); }
TExVariant VarMul(const TExVariant& A, const TExVariant& B) { return Arith(A, B, '*'); }

int VarCompare(const TExVariant& A, const TExVariant& B) {
  CheckScalar(A);
  CheckScalar(B);
  if (A.Kind == TExVariant::vkString && B.Kind == TExVariant::vkString) {
    const int c = QString::compare(A.Str, B.Str);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  const double a = A.ToDouble(), b = B.ToDouble();
  return a < b ? -1 : (a > b ? 1 : 0);
}
