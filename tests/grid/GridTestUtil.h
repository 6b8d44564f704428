#pragma once
// Helpers for driving grid widgets offscreen by key and mouse events.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <map>
#include <vector>

#include "grid/uVDrawGrid.h"

inline void Pump(QWidget* w) {
  w->repaint();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

inline void SendKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(w, &release);
}

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, mods);
  QApplication::sendEvent(w, &e);
}

inline void Click(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
  SendMouse(w, QEvent::MouseButtonPress, pos, button, mods);
  SendMouse(w, QEvent::MouseButtonRelease, pos, button, mods);
}

inline QPoint CellCentre(TVirtualDGrid& g, PVirtualAxisItem row, PVirtualAxisItem col) {
  return ToQRect(g.GetCellRect(row, col)).center();
}

// A shown grid of rows x cols whose cell texts live in a map.
struct TGridBench {
  TVirtualDGrid grid;
  std::vector<PVirtualAxisItem> r, c;
  std::map<std::pair<PVirtualAxisItem, PVirtualAxisItem>, QString> texts;
  std::vector<std::tuple<PVirtualAxisItem, PVirtualAxisItem, QString>> stored;

  TGridBench(int rows, int cols, int width = 600, int height = 300) {
    for (int i = 0; i < rows; ++i) r.push_back(grid.Rows->AddChild(grid.Rows->Root));
    for (int i = 0; i < cols; ++i) c.push_back(grid.Cols->AddChild(grid.Cols->Root));
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j) texts[{r[i], c[j]}] = QStringLiteral("r%1c%2").arg(i).arg(j);
    grid.OnGetCellText = [this](PVirtualAxisItem row, PVirtualAxisItem col, QString& t) { t = texts[{row, col}]; };
    grid.OnValueChanged = [this](PVirtualAxisItem row, PVirtualAxisItem col, const QString& v) {
      stored.emplace_back(row, col, v);
      texts[{row, col}] = v;
    };
    grid.resize(width, height);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    Pump(&grid);
  }
};
