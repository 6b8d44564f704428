// Spreadsheet export: the written .xlsx is unpacked with libarchive and its
// sheet, shared strings and styles are read back.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <map>

#include "grid/wGridFrame.h"
#include "platform/uDialogs.h"
#include "platform/uSystem.h"

namespace {

std::map<QString, QByteArray> Unzip(const QString& path) {
  std::map<QString, QByteArray> files;
  archive* a = archive_read_new();
  archive_read_support_format_zip(a);
  if (archive_read_open_filename(a, path.toLocal8Bit().constData(), 10240) != ARCHIVE_OK) {
    archive_read_free(a);
    return files;
  }
  archive_entry* entry = nullptr;
  while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
    QByteArray data;
    char buffer[8192];
    la_ssize_t n = 0;
    while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<qsizetype>(n));
    files[QString::fromUtf8(archive_entry_pathname(entry))] = data;
  }
  archive_read_free(a);
  return files;
}

// The parts of a one-sheet workbook the test looks at.
struct TWorkbook {
  struct TCell {
    QString Text;
    int Style = 0;
  };
  struct TXf {
    int Font = 0;
    QString HAlign, VAlign;
    int Indent = 0;
    bool Wrap = false;
    int Border = 0;
  };
  struct TFont {
    bool Bold = false;
    QString Name;
    double Size = 0;
  };
  std::map<QString, TCell> Cells;
  std::vector<QString> Merges;
  std::map<int, double> ColWidths;  // 1-based column
  std::vector<TXf> Xfs;
  std::vector<TFont> Fonts;
  std::vector<QString> BorderStyles;  // left style of each border entry

  explicit TWorkbook(const std::map<QString, QByteArray>& files) {
    std::vector<QString> strings;
    QXmlStreamReader s(files.at(QStringLiteral("xl/sharedStrings.xml")));
    while (!s.atEnd())
      if (s.readNext() == QXmlStreamReader::StartElement && s.name() == QStringLiteral("t"))
        strings.push_back(s.readElementText());
    QXmlStreamReader w(files.at(QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref, type;
    int style = 0;
    while (!w.atEnd()) {
      if (w.readNext() != QXmlStreamReader::StartElement) continue;
      const auto at = w.attributes();
      if (w.name() == QStringLiteral("c")) {
        ref = at.value(QStringLiteral("r")).toString();
        type = at.value(QStringLiteral("t")).toString();
        style = at.value(QStringLiteral("s")).toInt();
        Cells[ref] = TCell{QString(), style};
      } else if (w.name() == QStringLiteral("v")) {
        const QString v = w.readElementText();
        Cells[ref].Text = type == QStringLiteral("s") ? strings.at(v.toInt()) : v;
      } else if (w.name() == QStringLiteral("mergeCell")) {
        Merges.push_back(at.value(QStringLiteral("ref")).toString());
      } else if (w.name() == QStringLiteral("col")) {
        ColWidths[at.value(QStringLiteral("min")).toInt()] = at.value(QStringLiteral("width")).toDouble();
      }
    }
    QXmlStreamReader st(files.at(QStringLiteral("xl/styles.xml")));
    bool inXfs = false, inBorders = false;
    while (!st.atEnd()) {
      const auto token = st.readNext();
      if (token == QXmlStreamReader::EndElement && st.name() == QStringLiteral("cellXfs")) inXfs = false;
      if (token == QXmlStreamReader::EndElement && st.name() == QStringLiteral("borders")) inBorders = false;
      if (token != QXmlStreamReader::StartElement) continue;
      const auto at = st.attributes();
      if (st.name() == QStringLiteral("cellXfs")) inXfs = true;
      if (st.name() == QStringLiteral("borders")) inBorders = true;
      if (st.name() == QStringLiteral("font")) Fonts.emplace_back();
      if (st.name() == QStringLiteral("b") && !Fonts.empty()) Fonts.back().Bold = true;
      if (st.name() == QStringLiteral("sz") && !Fonts.empty()) Fonts.back().Size = at.value(QStringLiteral("val")).toDouble();
      if (st.name() == QStringLiteral("name") && !Fonts.empty()) Fonts.back().Name = at.value(QStringLiteral("val")).toString();
      if (inBorders && st.name() == QStringLiteral("left")) BorderStyles.push_back(at.value(QStringLiteral("style")).toString());
      if (inXfs && st.name() == QStringLiteral("xf"))
        Xfs.push_back(TXf{at.value(QStringLiteral("fontId")).toInt(), {}, {}, 0, false,
                          at.value(QStringLiteral("borderId")).toInt()});
      if (inXfs && st.name() == QStringLiteral("alignment")) {
        Xfs.back().HAlign = at.value(QStringLiteral("horizontal")).toString();
        Xfs.back().VAlign = at.value(QStringLiteral("vertical")).toString();
        Xfs.back().Indent = at.value(QStringLiteral("indent")).toInt();
        Xfs.back().Wrap = at.value(QStringLiteral("wrapText")) == QStringLiteral("1");
      }
    }
  }
  const TXf& Xf(const QString& ref) const { return Xfs.at(static_cast<size_t>(Cells.at(ref).Style)); }
  const TFont& Font(const QString& ref) const { return Fonts.at(static_cast<size_t>(Xf(ref).Font)); }
};

// A value whose display text differs from its stored value.
struct TDisplayCell : TCellValue {
  QString GetDisplayText() const override { return QStringLiteral("3,5"); }
};

struct TLauncherScope {
  std::vector<QString> Opened;
  TLauncherScope() {
    SetFileLauncher([this](const QString& p) {
      Opened.push_back(p);
      return true;
    });
  }
  ~TLauncherScope() { SetFileLauncher(nullptr); }
};

}  // namespace

TEST(GridExport, WritesHeaderMergedRangesAndValues) {
  TGridFrame frame;
  frame.Init();
  TVirtualDGrid* g = frame.VirtualDGrid;
  std::vector<PVirtualAxisItem> c;
  for (int i = 0; i < 4; ++i) c.push_back(g->Cols->AddChild(g->Cols->Root));
  c[0]->Size = 160;
  PVirtualAxisItem head = g->Rows->AddChild(g->Rows->Root);
  PVirtualAxisItem group = g->Rows->AddChild(g->Rows->Root);
  PVirtualAxisItem pupil = g->Rows->AddChild(group);
  auto put = [&](PVirtualAxisItem r, PVirtualAxisItem col, const QString& text) {
    auto v = std::make_unique<TCellValue>();
    v->SetValue(text);
    frame.SetCellValue(r, col, std::move(v));
  };
  put(head, c[0], QStringLiteral("Ученик"));
  put(head, c[1], QStringLiteral("Оценки"));
  g->MergeCells(c[1], c[3], head, head);
  put(group, c[0], QStringLiteral("1 \"А\""));
  put(pupil, c[0], QStringLiteral("Иванов"));
  put(pupil, c[1], QStringLiteral("NULL"));
  put(pupil, c[2], QStringLiteral("1[0]2[0]"));
  frame.SetCellValue(pupil, c[3], std::make_unique<TDisplayCell>());
  g->SetMainColumn(0);

  TLauncherScope launcher;
  frame.ExportToExcel(false);
  ASSERT_EQ(launcher.Opened.size(), 1u);
  EXPECT_EQ(launcher.Opened[0], frame.LastExportPath);
  EXPECT_TRUE(frame.isEnabled());
  const auto files = Unzip(frame.LastExportPath);
  ASSERT_TRUE(files.count(QStringLiteral("xl/worksheets/sheet1.xml")));
  const TWorkbook book(files);

  // The first grid row is the bold header row; the merged header is one range.
  EXPECT_EQ(book.Cells.at(QStringLiteral("A1")).Text, QStringLiteral("Ученик"));
  EXPECT_EQ(book.Cells.at(QStringLiteral("B1")).Text, QStringLiteral("Оценки"));
  EXPECT_TRUE(book.Font(QStringLiteral("A1")).Bold);
  EXPECT_TRUE(book.Font(QStringLiteral("B1")).Bold);
  EXPECT_FALSE(book.Font(QStringLiteral("A3")).Bold);
  EXPECT_EQ(book.Merges, (std::vector<QString>{QStringLiteral("B1:D1")}));
  // Values: "[0]" removed, "NULL" empty, the display text with "." when the value is empty.
  EXPECT_EQ(book.Cells.at(QStringLiteral("A3")).Text, QStringLiteral("Иванов"));
  EXPECT_TRUE(book.Cells.at(QStringLiteral("B3")).Text.isEmpty());
  EXPECT_EQ(book.Cells.at(QStringLiteral("C3")).Text, QStringLiteral("12"));
  EXPECT_EQ(book.Cells.at(QStringLiteral("D3")).Text, QStringLiteral("3.5"));
  // Font, wrapping, alignment, borders, the tree level as indent in the main column.
  for (const char* ref : {"A1", "B1", "A2", "A3", "D3"}) {
    EXPECT_EQ(book.Font(QString::fromLatin1(ref)).Name, QStringLiteral("Times New Roman")) << ref;
    EXPECT_EQ(book.Font(QString::fromLatin1(ref)).Size, 8) << ref;
    EXPECT_TRUE(book.Xf(QString::fromLatin1(ref)).Wrap) << ref;
    EXPECT_EQ(book.Xf(QString::fromLatin1(ref)).VAlign, QStringLiteral("center")) << ref;
    EXPECT_EQ(book.BorderStyles.at(static_cast<size_t>(book.Xf(QString::fromLatin1(ref)).Border)),
              QStringLiteral("thin"))
        << ref;
  }
  EXPECT_EQ(book.Xf(QStringLiteral("A3")).HAlign, QStringLiteral("left"));
  EXPECT_EQ(book.Xf(QStringLiteral("B3")).HAlign, QStringLiteral("center"));
  EXPECT_EQ(book.Xf(QStringLiteral("A3")).Indent, 1);
  EXPECT_EQ(book.Xf(QStringLiteral("A2")).Indent, 0);
  // Column widths: Size div 8 (the writer adds its small padding).
  EXPECT_GE(book.ColWidths.at(1), 20);
  EXPECT_LT(book.ColWidths.at(1), 21);
  EXPECT_GE(book.ColWidths.at(2), 10);
  EXPECT_LT(book.ColWidths.at(2), 11);
  QFile::remove(frame.LastExportPath);
}

TEST(GridExport, EmptyGridShowsAMessage) {
  TGridFrame frame;
  frame.Init();
  frame.VirtualDGrid->Cols->AddChild(frame.VirtualDGrid->Cols->Root);
  TDialogsRecorderScope dialogs;
  TLauncherScope launcher;
  frame.ExportToExcel(true);
  ASSERT_EQ(dialogs.Recorder.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Recorder.Messages[0].Text, QStringLiteral("Таблица пуста"));
  EXPECT_EQ(dialogs.Recorder.Messages[0].Caption, QStringLiteral("Внимание!"));
  EXPECT_TRUE(launcher.Opened.empty());
}

TEST(GridExport, FailingLauncherIsAnError) {
  TGridFrame frame;
  frame.Init();
  TVirtualDGrid* g = frame.VirtualDGrid;
  g->Rows->AddChild(g->Rows->Root);
  g->Cols->AddChild(g->Cols->Root);
  SetFileLauncher([](const QString&) { return false; });
  EXPECT_THROW(frame.ExportToExcel(true), std::runtime_error);
  SetFileLauncher(nullptr);
  EXPECT_TRUE(frame.isEnabled());
  QFile::remove(frame.LastExportPath);
}
