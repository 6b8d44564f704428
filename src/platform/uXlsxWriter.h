#pragma once
#include <QString>
#include <map>
#include <memory>
#include <tuple>

// Writes a one-sheet .xlsx workbook (libxlsxwriter): string cells with a
// format each, column widths and formats, merged ranges.  Rows and columns
// are 0-based here.
struct TXlsxFormat {
  bool Bold = false;
  QString FontName;  // empty: the workbook default
  double FontSize = 0;  // 0: the workbook default
  bool Wrap = false;
  int HAlign = 0;  // 0 general, 1 left, 2 centre, 3 right
  int VAlign = 0;  // 0 default (bottom), 1 top, 2 centre, 3 bottom
  bool Border = false;  // thin on all four sides
  int Indent = 0;

  auto Key() const { return std::tie(Bold, FontName, FontSize, Wrap, HAlign, VAlign, Border, Indent); }
  bool operator<(const TXlsxFormat& o) const { return Key() < o.Key(); }
};

class TXlsxWriter {
 public:
  TXlsxWriter(const QString& Path, const QString& SheetName = QString());
  ~TXlsxWriter();
  TXlsxWriter(const TXlsxWriter&) = delete;
  TXlsxWriter& operator=(const TXlsxWriter&) = delete;

  bool IsOpen() const;
  bool SetColumn(int Col, double Width, const TXlsxFormat& Format);
  bool WriteString(int Row, int Col, const QString& Text, const TXlsxFormat& Format);
  bool MergeRange(int Row1, int Col1, int Row2, int Col2, const QString& Text, const TXlsxFormat& Format);
  // Writes the file; false with a reason on failure.
  bool Close(QString* Error = nullptr);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
