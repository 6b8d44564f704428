#include "platform/uXlsxWriter.h"

#include <xlsxwriter.h>

struct TXlsxWriter::TImpl {
  lxw_workbook* Workbook = nullptr;
  lxw_worksheet* Sheet = nullptr;
  std::map<TXlsxFormat, lxw_format*> Formats;  // owned by the workbook

  lxw_format* Format(const TXlsxFormat& f) {
    auto it = Formats.find(f);
    if (it != Formats.end()) return it->second;
    lxw_format* format = workbook_add_format(Workbook);
    if (f.Bold) format_set_bold(format);
    if (!f.FontName.isEmpty()) format_set_font_name(format, f.FontName.toUtf8().constData());
    if (f.FontSize > 0) format_set_font_size(format, f.FontSize);
    if (f.Wrap) format_set_text_wrap(format);
    static const uint8_t horizontal[] = {LXW_ALIGN_NONE, LXW_ALIGN_LEFT, LXW_ALIGN_CENTER, LXW_ALIGN_RIGHT};
    static const uint8_t vertical[] = {LXW_ALIGN_NONE, LXW_ALIGN_VERTICAL_TOP, LXW_ALIGN_VERTICAL_CENTER,
                                       LXW_ALIGN_VERTICAL_BOTTOM};
    if (f.HAlign > 0 && f.HAlign < 4) format_set_align(format, horizontal[f.HAlign]);
    if (f.VAlign > 0 && f.VAlign < 4) format_set_align(format, vertical[f.VAlign]);
    if (f.Border) format_set_border(format, LXW_BORDER_THIN);
    if (f.Indent > 0) format_set_indent(format, static_cast<uint8_t>(std::min(f.Indent, 250)));
    Formats.emplace(f, format);
    return format;
  }
};

TXlsxWriter::TXlsxWriter(const QString& Path, const QString& SheetName) : FImpl(std::make_unique<TImpl>()) {
  FImpl->Workbook = workbook_new(Path.toUtf8().constData());
  if (!FImpl->Workbook) return;
  FImpl->Sheet = workbook_add_worksheet(FImpl->Workbook, SheetName.isEmpty() ? nullptr : SheetName.toUtf8().constData());
}

TXlsxWriter::~TXlsxWriter() {
  if (FImpl->Workbook) workbook_close(FImpl->Workbook);
}

bool TXlsxWriter::IsOpen() const { return FImpl->Workbook && FImpl->Sheet; }

bool TXlsxWriter::SetColumn(int Col, double Width, const TXlsxFormat& Format) {
  if (!IsOpen()) return false;
  return worksheet_set_column(FImpl->Sheet, static_cast<lxw_col_t>(Col), static_cast<lxw_col_t>(Col), Width,
                              FImpl->Format(Format)) == LXW_NO_ERROR;
}

bool TXlsxWriter::WriteString(int Row, int Col, const QString& Text, const TXlsxFormat& Format) {
  if (!IsOpen()) return false;
  lxw_format* format = FImpl->Format(Format);
  if (Text.isEmpty())
    return worksheet_write_blank(FImpl->Sheet, static_cast<lxw_row_t>(Row), static_cast<lxw_col_t>(Col), format) ==
           LXW_NO_ERROR;
  return worksheet_write_string(FImpl->Sheet, static_cast<lxw_row_t>(Row), static_cast<lxw_col_t>(Col),
                                Text.toUtf8().constData(), format) == LXW_NO_ERROR;
}

bool TXlsxWriter::MergeRange(int Row1, int Col1, int Row2, int Col2, const QString& Text, const TXlsxFormat& Format) {
  if (!IsOpen()) return false;
  return worksheet_merge_range(FImpl->Sheet, static_cast<lxw_row_t>(Row1), static_cast<lxw_col_t>(Col1),
                               static_cast<lxw_row_t>(Row2), static_cast<lxw_col_t>(Col2), Text.toUtf8().constData(),
                               FImpl->Format(Format)) == LXW_NO_ERROR;
}

bool TXlsxWriter::Close(QString* Error) {
  if (!FImpl->Workbook) {
    if (Error) *Error = QStringLiteral("workbook not created");
    return false;
  }
  const lxw_error result = workbook_close(FImpl->Workbook);
  FImpl->Workbook = nullptr;
  FImpl->Sheet = nullptr;
  if (result != LXW_NO_ERROR) {
    if (Error) *Error = QString::fromUtf8(lxw_strerror(result));
    return false;
  }
  return true;
}
