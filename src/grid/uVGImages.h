#pragma once
#include <QPainter>
#include <QPixmap>
#include <vector>

// A list of same-sized images drawn at a point (the grid's sort marks and
// the host images handed back by OnImage).
class TVGImageList {
 public:
  TVGImageList(int AWidth = 16, int AHeight = 16) : FWidth(AWidth), FHeight(AHeight) {}
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return static_cast<int>(FImages.size()); }
  void Add(const QPixmap& Image) { FImages.push_back(Image); }
  void Draw(QPainter& Canvas, int X, int Y, int Index) const;

 private:
  int FWidth;
  int FHeight;
  std::vector<QPixmap> FImages;
};

// The grid's own strip of nine 16x16 images, drawn in code: 0 plus box,
// 1 minus box, 2 downward triangle, 3 upward triangle, 4 right and 5 left
// triangle, 6 check mark, 7 dot, 8 cross.
const TVGImageList& GridUtilityImages();
