#include "grid/uVGColors.h"

#include <QGuiApplication>
#include <QPalette>

QColor ToQColor(TColor Color) {
  if ((Color >> 24) == 0xFF) {
    const QPalette palette = QGuiApplication::palette();
    switch (Color & 0xFF) {
      case 0x0F: return palette.color(QPalette::Button);
      case 0x10: return palette.color(QPalette::Dark);
      case 0x14: return palette.color(QPalette::Light);
      case 0x05: return palette.color(QPalette::Base);
      case 0x08: return palette.color(QPalette::Text);
      case 0x0D: return palette.color(QPalette::Highlight);
      case 0x0E: return palette.color(QPalette::HighlightedText);
      case 0x12: return palette.color(QPalette::ButtonText);
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

QBrush ToQBrush(TColor Color, int Style) {
  static const Qt::BrushStyle styles[] = {Qt::SolidPattern, Qt::NoBrush,        Qt::HorPattern,
                                          Qt::VerPattern,   Qt::FDiagPattern,   Qt::BDiagPattern,
                                          Qt::CrossPattern, Qt::DiagCrossPattern};
  const Qt::BrushStyle style = (Style >= 0 && Style < 8) ? styles[Style] : Qt::SolidPattern;
  return QBrush(ToQColor(Color), style);
}

QPen ToQPen(TColor Color, int Style, int Width) {
  static const Qt::PenStyle styles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                        Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
  const Qt::PenStyle style = (Style >= 0 && Style < 6) ? styles[Style] : Qt::SolidLine;
  QPen pen(ToQColor(Color), Width, style);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}
