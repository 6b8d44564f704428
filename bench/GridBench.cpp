// Paints a 40 x 120 grid with merged headers and a row tree to an offscreen
// image, side by side with QTableView over a QStandardItemModel holding the
// same texts, then times GetItem, HitTest and a full sort of 2,000 rows.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "catalogue/uStringRoutines.h"
#include "grid/uVDrawGrid.h"

namespace {
const int kRows = 40;
const int kCols = 120;
const int kRepeats = 15;

QString CellText(int r, int c) {
  if (r == 0) return QStringLiteral("Группа %1").arg(c / 4 + 1);
  if (r == 1) return QStringLiteral("Задание %1").arg(c % 4 + 1);
  if (c == 0) return QStringLiteral("Ученик номер %1").arg(r);
  return QString::number((r * 7 + c * 3) % 10);
}

double MedianMs(std::vector<qint64>& ns) {
  std::sort(ns.begin(), ns.end());
  return ns[ns.size() / 2] / 1e6;
}

struct TGridSetup {
  TVirtualDGrid grid;
  std::vector<QString> texts;  // by (row AbsoluteIndex - 1) * kCols + column position
  TGridSetup() {
    TVirtualGridAxis* rows = grid.Rows;
    TVirtualGridAxis* cols = grid.Cols;
    std::vector<PVirtualAxisItem> c;
    for (int j = 0; j < kCols; ++j) c.push_back(cols->AddChild(cols->Root));
    PVirtualAxisItem h1 = rows->AddChild(rows->Root);
    PVirtualAxisItem h2 = rows->AddChild(rows->Root);
    for (int g = 0; g < 2; ++g) {  // two groups of 18 rows: 40 rows in all
      PVirtualAxisItem group = rows->AddChild(rows->Root);
      for (int k = 0; k < 18; ++k) rows->AddChild(group);
    }
    for (int j = 0; j + 3 < kCols; j += 4) grid.MergeCells(c[j], c[j + 3], h1, h1);
    std::vector<PVirtualAxisItem> positions;
    for (PVirtualAxisItem p = cols->GetFirst(); p; p = TVirtualGridAxis::NextInOrder(p)) positions.push_back(p);
    texts.resize(kRows * kCols);
    for (int r = 0; r < kRows; ++r)
      for (int j = 0; j < kCols; ++j) texts[r * kCols + j] = CellText(r, j);
    grid.OnGetCellText = [this](PVirtualAxisItem r, PVirtualAxisItem col, QString& t) {
      t = texts[(r->AbsoluteIndex - 1) * kCols + (col->AbsoluteIndex - 1)];
    };
    grid.VertGridLines.Enabled = grid.HorizGridLines.Enabled = true;
    grid.SetFixedCells(c[0], h2);
    grid.SetMainColumn(0);
  }
};

void PaintBenchmark() {
  TGridSetup setup;
  TVirtualDGrid& grid = setup.grid;
  const int width = 40 + 120 * 81 + 140, height = 30 + 40 * 21 + 40;
  grid.resize(width, height);

  QStandardItemModel model(kRows, kCols);
  for (int r = 0; r < kRows; ++r)
    for (int j = 0; j < kCols; ++j) model.setItem(r, j, new QStandardItem(CellText(r, j)));
  QTableView view;
  view.setModel(&model);
  for (int j = 0; j + 3 < kCols; j += 4) view.setSpan(0, j, 1, 4);
  view.horizontalHeader()->setDefaultSectionSize(81);
  view.verticalHeader()->setDefaultSectionSize(21);
  view.resize(width, height);

  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int i = 0; i < 3; ++i) {  // warm-up: fonts, layouts, glyph caches
    grid.render(&image);
    view.render(&image);
  }
  std::vector<qint64> gridNs, viewNs;
  QElapsedTimer timer;
  for (int i = 0; i < kRepeats; ++i) {
    timer.start();
    grid.render(&image);
    gridNs.push_back(timer.nsecsElapsed());
    timer.start();
    view.render(&image);
    viewNs.push_back(timer.nsecsElapsed());
  }
  const double g = MedianMs(gridNs), v = MedianMs(viewNs);
  std::printf("paint %dx%d cells into a %dx%d image, median of %d:\n", kRows, kCols, width, height, kRepeats);
  std::printf("  TVirtualDGrid  %8.2f ms\n  QTableView     %8.2f ms\n  ratio grid/QTableView %.2f\n", g, v, g / v);
}

void ModelBenchmark() {
  TVirtualDGrid grid;
  const int n = 2000;
  std::vector<QString> keys;
  std::mt19937 rng(42);
  PVirtualAxisItem col = grid.Cols->AddChild(grid.Cols->Root);
  for (int j = 0; j < 9; ++j) grid.Cols->AddChild(grid.Cols->Root);
  for (int i = 0; i < n; ++i) {
    PVirtualAxisItem r = grid.Rows->AddChild(grid.Rows->Root);
    keys.push_back(QStringLiteral("Класс %1 ученик %2").arg(rng() % 11 + 1).arg(rng() % 500));
    r->Data = &keys.back();
  }
  for (int i = 0; i < n; ++i) grid.Rows->GetItem(i)->Data = &keys[static_cast<size_t>(i)];
  grid.resize(1000, 700);
  grid.EnsureLayout();

  QElapsedTimer timer;
  long long sink = 0;
  const int getRounds = 50;
  timer.start();
  for (int round = 0; round < getRounds; ++round)
    for (int i = 0; i < n; ++i) sink += grid.Rows->GetItem(i)->AbsoluteIndex;
  const double getNs = static_cast<double>(timer.nsecsElapsed()) / (getRounds * n);
  std::uniform_int_distribution<int> position(0, n - 1);
  std::vector<int> randomPositions(100000);
  for (int& p : randomPositions) p = position(rng);
  timer.start();
  for (int p : randomPositions) sink += grid.Rows->GetItem(p)->AbsoluteIndex;
  const double getRandomNs = static_cast<double>(timer.nsecsElapsed()) / randomPositions.size();

  const int hits = 200000;
  std::uniform_int_distribution<int> x(0, 999), y(0, 699);
  timer.start();
  for (int i = 0; i < hits; ++i) sink += grid.HitTest(x(rng), y(rng)).Code;
  const double hitNs = static_cast<double>(timer.nsecsElapsed()) / hits;

  grid.Rows->OnCompareEvent = [](TVirtualGridAxis*, PVirtualAxisItem a, PVirtualAxisItem b, PVirtualAxisItem,
                                 int& result) {
    result = NaturalCompare(*static_cast<QString*>(a->Data), *static_cast<QString*>(b->Data));
  };
  grid.Rows->SaveOrder();
  timer.start();
  grid.Rows->SortItems(nullptr, col, 1);
  const double ascMs = timer.nsecsElapsed() / 1e6;
  timer.start();
  grid.Rows->SortItems(nullptr, col, 2);
  const double descMs = timer.nsecsElapsed() / 1e6;
  timer.start();
  grid.Rows->SortItems(nullptr, col, 0);
  const double restoreMs = timer.nsecsElapsed() / 1e6;

  std::printf("model, %d rows (checksum %lld):\n", n, sink);
  std::printf("  GetItem        %8.1f ns per call (flat list, positions in ascending order)\n", getNs);
  std::printf("  GetItem        %8.1f ns per call (flat list, random positions)\n", getRandomNs);
  std::printf("  HitTest        %8.1f ns per call (1000x700 client)\n", hitNs);
  std::printf("  sort ascending %8.2f ms (NaturalCompare of texts)\n", ascMs);
  std::printf("  sort descending%8.2f ms\n", descMs);
  std::printf("  restore order  %8.2f ms\n", restoreMs);
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PaintBenchmark();
  ModelBenchmark();
  return 0;
}
