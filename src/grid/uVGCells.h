#pragma once
#include <QPainter>
#include <QRect>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "grid/uVGCellEditLink.h"
#include "grid/uVGColors.h"

class TBaseCellObject;

// Appearance of a cell value.
class TInterior {
 public:
  TColor Color = 0x00FFFFFF;  // kept for subclasses
  TColor BGColor = 0x00FFFFFF;
  int BrushStyle = 0;  // 0 solid, 1 clear, ...
  TColor BorderColor = 0x00808080;
  int BorderStyle = 5;  // 0 solid ... 5 none
  int BorderWidth = 1;
  uint8_t BorderSides = 15;  // 1 left, 2 top, 4 right, 8 bottom
  QString FontName = QStringLiteral("Times New Roman");
  TColor FontColor = 0;
  int FontSize = 10;        // points
  uint8_t FontStyle = 0;    // 1 bold, 2 italic, 4 underline, 8 strike-out
  uint8_t HAlign = 0;       // 0 left, 1 right, other centre
  uint8_t VAlign = 2;       // 0 top, 1 bottom, other centre

  QFont MakeFont() const;
};

class TCmntRecord {
 public:
  explicit TCmntRecord(const QString& AText = QString()) : Text(AText) {}
  QString Text;
};

// A cell's content, kept in the keyed cell store; hosts answer the grid's
// events from it (text, hint, editability, editor, painting).
class TBaseCellValue {
 public:
  explicit TBaseCellValue(TBaseCellObject* AOwner = nullptr) : Owner(AOwner) {}
  virtual ~TBaseCellValue() = default;
  TBaseCellValue(const TBaseCellValue&) = delete;
  TBaseCellValue& operator=(const TBaseCellValue&) = delete;

  TBaseCellObject* Owner;

  virtual void SetValue(const QString& Text) = 0;
  virtual QString GetValue() const = 0;
  virtual bool IsEditable() const { return false; }
  virtual void PaintBackground(QPainter& Canvas, const QRect& Rect) {}
  virtual PVGCellEditLink CreateEditor() { return std::make_shared<TVGCellEditLink>(); }
  virtual void PaintText(QPainter& Canvas, const QRect& Rect);
  virtual QString GetRawText() const { return GetValue(); }
  virtual QString GetHint() const { return GetValue(); }
  virtual QString GetDisplayText() const { return GetValue(); }
};

// The general cell value: text, hint, appearance and keyed comments.
class TCellValue : public TBaseCellValue {
 public:
  explicit TCellValue(TBaseCellObject* AOwner = nullptr);
  ~TCellValue() override;

  bool Editable = true;
  // Comment key -> record, in insertion order.
  std::vector<std::pair<QString, std::unique_ptr<TCmntRecord>>> Comments;
  bool CommentsChanged = false;
  std::unique_ptr<TInterior> Interior;
  QString Value;
  QString Hint;

  void SetValue(const QString& Text) override;
  QString GetValue() const override { return Value; }
  bool IsEditable() const override { return Editable; }
  void PaintBackground(QPainter& Canvas, const QRect& Rect) override;
  void PaintText(QPainter& Canvas, const QRect& Rect) override;
  QString GetHint() const override { return Hint; }

  virtual QString GetComment(const QString& Key) const;
  virtual void SetComment(const QString& Key, const QString& Text);
  virtual const std::vector<std::pair<QString, std::unique_ptr<TCmntRecord>>>& GetComments() const { return Comments; }
  virtual bool GetCommentsChanged() const { return CommentsChanged; }
  virtual void SetCommentsChanged(bool Value) { CommentsChanged = Value; }
  virtual void PaintCommentMark(QPainter& Canvas, const QRect& Rect);
  virtual void ClearComments() { Comments.clear(); }
  virtual bool HasComments() const { return !Comments.empty(); }
};

// A table heading: never editable, bold, centred, button-face background.
class THeaderCell : public TCellValue {
 public:
  explicit THeaderCell(TBaseCellObject* AOwner = nullptr);
  bool IsEditable() const override { return false; }
};

// A caption: a heading drawn left-aligned in the caption colour.
class TCaptionCell : public THeaderCell {
 public:
  explicit TCaptionCell(TBaseCellObject* AOwner = nullptr);
};
