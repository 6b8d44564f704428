#include "grid/uVGCells.h"

#include "catalogue/uStringRoutines.h"

QFont TInterior::MakeFont() const {
  QFont font(FontName);
  font.setPointSize(FontSize > 0 ? FontSize : 10);
  font.setBold(FontStyle & 1);
  font.setItalic(FontStyle & 2);
  font.setUnderline(FontStyle & 4);
  font.setStrikeOut(FontStyle & 8);
  return font;
}

void TBaseCellValue::PaintText(QPainter& Canvas, const QRect& Rect) {
  Canvas.drawText(Rect, Qt::AlignCenter | Qt::TextWordWrap, GetValue());
}

TCellValue::TCellValue(TBaseCellObject* AOwner) : TBaseCellValue(AOwner), Interior(std::make_unique<TInterior>()) {}

TCellValue::~TCellValue() {
  Interior.reset();
  ClearComments();
}

void TCellValue::SetValue(const QString& Text) {
  Value = Text;
  if (Hint.isEmpty()) Hint = Text;
}

void TCellValue::PaintBackground(QPainter& Canvas, const QRect& Rect) {
  const TInterior& in = *Interior;
  Canvas.fillRect(Rect, ToQBrush(in.BGColor, in.BrushStyle));
  if (in.BrushStyle != 1) {  // the outline in the fill colour
    Canvas.setPen(ToQPen(in.BGColor, 0, 1));
    Canvas.setBrush(Qt::NoBrush);
    Canvas.drawRect(Rect.adjusted(0, 0, -1, -1));
  }
  if (in.BorderStyle == 5) return;
  Canvas.setPen(ToQPen(in.BorderColor, in.BorderStyle, in.BorderWidth));
  const int left = Rect.left(), top = Rect.top();
  const int right = Rect.left() + Rect.width(), bottom = Rect.top() + Rect.height();
  // Clockwise from the top-left corner; a side is drawn only when its bit is set.
  if (in.BorderSides & 2) Canvas.drawLine(left, top, right - 1, top);
  if (in.BorderSides & 4) Canvas.drawLine(right - 1, top, right - 1, bottom - 1);
  if (in.BorderSides & 8) Canvas.drawLine(right - 1, bottom - 1, left, bottom - 1);
  if (in.BorderSides & 1) Canvas.drawLine(left, bottom - 1, left, top);
}

void TCellValue::PaintText(QPainter& Canvas, const QRect& Rect) {
  const TInterior& in = *Interior;
  Canvas.setFont(in.MakeFont());
  Canvas.setPen(ToQColor(in.FontColor));
  int flags = Qt::TextWordWrap | Qt::TextExpandTabs;
  flags |= in.HAlign == 0 ? Qt::AlignLeft : (in.HAlign == 1 ? Qt::AlignRight : Qt::AlignHCenter);
  flags |= in.VAlign == 0 ? Qt::AlignTop : (in.VAlign == 1 ? Qt::AlignBottom : Qt::AlignVCenter);
  Canvas.drawText(Rect, flags, GetDisplayText());
  PaintCommentMark(Canvas, Rect);
}

QString TCellValue::GetComment(const QString& Key) const {
  const QString key = LowerCaseRu(Key);
  for (const auto& [k, record] : Comments)
    if (LowerCaseRu(k) == key) return record->Text;
  return QString();
}

void TCellValue::SetComment(const QString& Key, const QString& Text) {
  const QString key = LowerCaseRu(Key);
  for (auto& [k, record] : Comments) {
    if (LowerCaseRu(k) == key) {
      CommentsChanged = record->Text != Text;
      record->Text = Text;
      return;
    }
  }
  if (Text.isEmpty()) return;
  Comments.emplace_back(Key, std::make_unique<TCmntRecord>(Text));
  CommentsChanged = true;
}

void TCellValue::PaintCommentMark(QPainter& Canvas, const QRect& Rect) {
  if (!HasComments()) return;
  Canvas.save();
  const int right = Rect.left() + Rect.width(), top = Rect.top();
  const QPoint corners[3] = {QPoint(right - 6, top), QPoint(right - 1, top), QPoint(right - 1, top + 5)};
  Canvas.setPen(QColor(255, 0, 0));
  Canvas.setBrush(QColor(255, 0, 0));
  Canvas.drawPolygon(corners, 3);
  Canvas.restore();
}

THeaderCell::THeaderCell(TBaseCellObject* AOwner) : TCellValue(AOwner) {
  Editable = false;
  TInterior& in = *Interior;
  in.FontStyle = 1;
  in.HAlign = 2;
  in.VAlign = 2;
  in.BrushStyle = 0;
  in.Color = in.BGColor = in.BorderColor = clBtnFace;
  in.BorderStyle = 0;
  in.BorderSides = 0;
}

TCaptionCell::TCaptionCell(TBaseCellObject* AOwner) : THeaderCell(AOwner) {
  TInterior& in = *Interior;
  in.HAlign = 0;
  in.FontStyle = 0;
  in.BrushStyle = 0;
  in.Color = in.BGColor = in.BorderColor = CaptionColor;
  in.BorderStyle = 0;
}
