#include "grid/uVGImages.h"

#include <QPolygon>

void TVGImageList::Draw(QPainter& Canvas, int X, int Y, int Index) const {
  if (Index < 0 || Index >= Count()) return;
  Canvas.drawPixmap(X, Y, FImages[Index]);
}

namespace {
QPixmap MakeImage(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor ink(64, 64, 64);
  p.setPen(ink);
  p.setBrush(ink);
  auto triangle = [&](std::initializer_list<QPoint> pts) { p.drawPolygon(QPolygon(QList<QPoint>(pts))); };
  switch (index) {
    case 0:
    case 1:
      p.setBrush(Qt::white);
      p.drawRect(3, 3, 9, 9);
      p.drawLine(5, 7, 10, 7);
      if (index == 0) p.drawLine(7, 5, 7, 10);
      break;
    case 2: triangle({QPoint(4, 6), QPoint(12, 6), QPoint(8, 10)}); break;
    case 3: triangle({QPoint(4, 10), QPoint(12, 10), QPoint(8, 6)}); break;
    case 4: triangle({QPoint(6, 4), QPoint(6, 12), QPoint(10, 8)}); break;
    case 5: triangle({QPoint(10, 4), QPoint(10, 12), QPoint(6, 8)}); break;
    case 6:
      p.setPen(QPen(ink, 2));
      p.drawLine(4, 8, 7, 11);
      p.drawLine(7, 11, 12, 4);
      break;
    case 7: p.drawEllipse(QPoint(8, 8), 2, 2); break;
    default:
      p.setPen(QPen(ink, 2));
      p.drawLine(4, 4, 11, 11);
      p.drawLine(11, 4, 4, 11);
      break;
  }
  return pixmap;
}
}  // namespace

const TVGImageList& GridUtilityImages() {
  static const TVGImageList list = [] {
    TVGImageList l(16, 16);
    for (int i = 0; i < 9; ++i) l.Add(MakeImage(i));
    return l;
  }();
  return list;
}
