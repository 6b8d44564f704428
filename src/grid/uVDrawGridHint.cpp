// The hint window of the drawing grid: the hot cell's hint on the grid's own
// hint colour (the desktop's tooltips may use any colour).
#include <QLabel>
#include <QTimer>
#include <QToolTip>

#include "grid/uVDrawGrid.h"

namespace {
constexpr TColor kHintColor = 0x00F0FFFF;
constexpr int kHintTimeout = 2500;  // ms before the hint is asked again or goes
}  // namespace

class TGridHint : public QLabel {
 public:
  explicit TGridHint(QWidget* Grid) : QLabel(Grid, Qt::ToolTip | Qt::BypassGraphicsProxyWidget) {
    setObjectName(QStringLiteral("VGHint"));
    setTextFormat(Qt::PlainText);
    setFont(QToolTip::font());
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(kHintColor));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    Timer.setSingleShot(true);
    Timer.setInterval(kHintTimeout);
  }
  QPoint Pos;   // where the hint was asked for, in grid coordinates
  QRect Stay;   // the pointer may move within it while the hint shows
  QTimer Timer;
};

void TVirtualDGrid::ShowHint(const QPoint& Pos) {
  const THitInfo hit = HitTest(Pos.x(), Pos.y());
  QString text;
  if (hit.Row && hit.Col && hit.Row != Rows->Root && hit.Col != Cols->Root) {
    if (OnGetCellHint)
      OnGetCellHint(hit.Row, hit.Col, text);
    else
      DoGetCellText(hit.Row, hit.Col, text);
  }
  if (text.isEmpty()) {
    HideHint();
    return;
  }
  if (!FHint) {
    FHint = new TGridHint(this);
    // While the pointer rests on the cell the hint is asked again (its text
    // may have changed); it goes when the text is empty by then.
    connect(&FHint->Timer, &QTimer::timeout, this, [this] {
      if (FHint->isVisible()) ShowHint(FHint->Pos);
    });
  }
  FHint->Pos = Pos;
  FHint->Stay = QRect(QPoint(Pos.x() - 10, Pos.y()), QPoint(Pos.x() + 10, Pos.y() + (hit.Row ? hit.Row->Size : 20)));
  FHint->setText(text);
  FHint->adjustSize();
  FHint->move(mapToGlobal(Pos) + QPoint(10, -10));
  FHint->show();
  FHint->Timer.start();
}

void TVirtualDGrid::HideHint() {
  if (!FHint) return;
  FHint->Timer.stop();
  FHint->hide();
}

void TVirtualDGrid::HintPointerMoved(const QPoint& Pos) {
  if (FHint && FHint->isVisible() && !FHint->Stay.contains(Pos)) HideHint();
}
