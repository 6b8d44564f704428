#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include "platform/uClock.h"
#include "platform/uCodec.h"
#include "platform/uDateTime.h"
#include "platform/uDialogs.h"
#include "platform/uResources.h"
#include "platform/uSystem.h"
#include "platform/uXml.h"
#include "TestSupport.h"

TEST(Resources, FoundWithoutRegardToCase) {
  EXPECT_TRUE(HasTextResource("rc_process"));
  EXPECT_TRUE(HasTextResource("RC_PROCESS"));
  EXPECT_FALSE(HasTextResource("RC_NO_SUCH"));
  EXPECT_TRUE(LoadTextResource("Rc_Process").startsWith("<?xml"));
}

TEST(Resources, CutAtFirstZeroByte) { EXPECT_EQ(LoadTextResource("RC_ZERO_CUT"), QByteArray("first part")); }

TEST(Resources, MissingResourceThrows) { EXPECT_THROW(LoadTextResource("RC_NO_SUCH"), std::runtime_error); }

TEST(Resources, ShippedTextIsWindows1251) {
  const QByteArray bytes = LoadTextResource("RC_PROCESS");
  EXPECT_TRUE(bytes.contains(Win1251Encode(QStringLiteral("Итоговая диагностика 1 класс"))));
}

TEST(Resources, NameOfCataloguePath) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {{"RC_forms_id1\\talvex_01.xml", "RC_forms_id1_talvex_01_xml"},
               {"A\\B\\c.d.xml", "A_B_c_d_xml"},
               {"plain", "plain"},
               {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(ResourceNameOf(c.path), QString(c.name)) << c.path;
}

TEST(Codec, MatchesIcuOnEveryByte) {
  QByteArray all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all.append(static_cast<char>(b));  // 0x98 is unassigned
  QStringDecoder icu("windows-1251");
  ASSERT_TRUE(icu.isValid());
  const QString viaIcu = icu(all);
  EXPECT_EQ(Win1251Decode(all), viaIcu);
  EXPECT_EQ(Win1251Encode(viaIcu), all);
}

TEST(Codec, CyrillicRoundTripAndUnmappable) {
  const QString text = QStringLiteral("Ёжик в тумане №5 «ёлка»");
  EXPECT_EQ(Win1251Decode(Win1251Encode(text)), text);
  EXPECT_EQ(Win1251Encode(QStringLiteral("日")), QByteArray("?"));
  EXPECT_EQ(static_cast<unsigned char>(Win1251Encode(QStringLiteral("я"))[0]), 0xFF);
}

TEST(Dialogs, RecorderKeepsTextCaptionAndAnswers) {
  TDialogsRecorderScope scope;
  scope.Recorder.Answers.push_back(TMsgResult::No);
  EXPECT_FALSE(AskYesNo("Продолжить?"));
  EXPECT_TRUE(AskYesNo("Ещё раз?", "Внимание"));  // unscripted: first button
  ShowError("Ошибка");
  ASSERT_EQ(scope.Recorder.Messages.size(), 3u);
  EXPECT_EQ(scope.Recorder.Messages[0].Text, "Продолжить?");
  EXPECT_EQ(scope.Recorder.Messages[0].Caption, "Внимание!");
  EXPECT_EQ(scope.Recorder.Messages[1].Caption, "Внимание");
  EXPECT_EQ(scope.Recorder.Messages[2].Buttons, TMsgButtons::Ok);
  scope.Recorder.FileAnswers.push_back("/tmp/a.7z");
  EXPECT_EQ(Dialogs().OpenFileName("Открыть", "", "*.7z"), "/tmp/a.7z");
  EXPECT_EQ(Dialogs().SaveFileName("Сохранить", "", "*.7z"), "");
}

TEST(Clock, FixedClockGivesTodayAndNow) {
  const QDateTime moment(QDate(2018, 3, 15), QTime(10, 5));
  {
    TFixedClockScope fixed(moment);
    EXPECT_EQ(Clock().Today(), QDate(2018, 3, 15));
    EXPECT_EQ(Clock().Now(), moment);
  }
  EXPECT_GT(Clock().Today().year(), 2020);
}

TEST(System, GuidInRegistryForm) {
  const QString guid = NewGuidText();
  EXPECT_EQ(guid.size(), 38);
  EXPECT_TRUE(QRegularExpression("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$")
                  .match(guid)
                  .hasMatch())
      << guid.toStdString();
  EXPECT_NE(NewGuidText(), guid);
}

TEST(System, TempPathEndsWithSeparator) {
  EXPECT_TRUE(TempPath().endsWith(QDir::separator()));
  EXPECT_TRUE(QDir(TempPath()).exists());
}

TEST(System, ClipboardRoundTrip) {
  CopyTextToClipboard(QStringLiteral("a\tб\r\n"));
  EXPECT_EQ(ClipboardText(), QStringLiteral("a\tб\r\n"));
  CopyTextToClipboard("");
  EXPECT_EQ(ClipboardText(), "");
}

TEST(System, LauncherDouble) {
  QString opened;
  SetFileLauncher([&](const QString& path) {
    opened = path;
    return true;
  });
  EXPECT_TRUE(OpenWithDefaultApplication("/tmp/x.xlsx"));
  EXPECT_EQ(opened, "/tmp/x.xlsx");
  SetFileLauncher({});
}

TEST(DateTime, DaysSince1899) {
  EXPECT_EQ(ToDateTime(QDate(1899, 12, 30)), 0.0);
  EXPECT_EQ(ToDateTime(QDate(1900, 1, 1)), 2.0);
  const QDateTime noon(QDate(2018, 4, 1), QTime(12, 0));
  EXPECT_DOUBLE_EQ(ToDateTime(noon) - ToDateTime(noon.date()), 0.5);
  EXPECT_EQ(FromDateTime(ToDateTime(noon)), noon);
}

TEST(DateTime, FixedRussianForms) {
  EXPECT_EQ(FormatDDMMYYYY(QDate(2017, 9, 1)), "01.09.2017");
  EXPECT_EQ(FormatMoment(QDateTime(QDate(2015, 9, 24), QTime(10, 5))), "24.09.2015 10:05:00");
  EXPECT_EQ(FormatMoment(QDateTime(QDate(2015, 9, 24), QTime(0, 0))), "24.09.2015");
  EXPECT_EQ(ParseShortDate("1.9.2017"), QDate(2017, 9, 1));
  EXPECT_EQ(ParseShortDateTime("24.09.2015 10:05:00"), QDateTime(QDate(2015, 9, 24), QTime(10, 5)));
  EXPECT_FALSE(ParseShortDate("31.02.2017").isValid());
}

TEST(Xml, MalformedTextRaisesItsOwnProblem) {
  const char* cases[] = {"", "OK", "<root>", "<html><body>Service Unavailable", "<a></b>"};
  for (const char* text : cases) {
    EXPECT_EQ(TXmlDocument::TryParse(text), nullptr) << text;
    try {
      TXmlDocument::Parse(text);
      ADD_FAILURE() << "parsed: " << text;
    } catch (const EXmlError& error) {
      const QString message = QString::fromUtf8(error.what());
      EXPECT_TRUE(message.startsWith("Ошибка разбора XML (строка ")) << message;
    }
  }
  // The message belongs to the text at hand, not to an earlier failure.
  EXPECT_THROW(TXmlDocument::Parse("<a></b>"), EXmlError);
  try {
    TXmlDocument::Parse("");
    ADD_FAILURE() << "parsed an empty text";
  } catch (const EXmlError& error) {
    EXPECT_TRUE(QString::fromUtf8(error.what()).contains("empty")) << error.what();
  }
}

TEST(Xml, TryParseReadsWellFormedText) {
  const auto doc = TXmlDocument::TryParse(
      Win1251Encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?><root a=\"Класс\">OK</root>")));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Root().Name(), "root");
  EXPECT_EQ(doc->Root().Attribute("a"), QStringLiteral("Класс"));
  EXPECT_EQ(doc->Root().Text(), "OK");
}

TEST(Xml, ExternalEntitiesAreNeitherLoadedNorExpanded) {
  TTempFolder temp;
  WriteFileBytes(temp.File("secret.txt"), "SECRET");
  const QByteArray url = QUrl::fromLocalFile(temp.File("secret.txt")).toEncoded();
  const QByteArray text = "<!DOCTYPE r [<!ENTITY e SYSTEM \"" + url + "\">]><r>before&e;after</r>";
  const auto doc = TXmlDocument::Parse(text);
  EXPECT_EQ(doc->Root().Text(), "beforeafter");
}
