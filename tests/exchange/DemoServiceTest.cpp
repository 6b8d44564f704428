#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QThread>
#include <thread>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "catalogue/uStringRoutines.h"
#include "exchange/uExchangeArchive.h"
#include "exchange/uExchangePackages.h"
#include "uDemoService.h"

namespace {
// The demo service running in-process on a loopback port.
class TRunningDemo {
 public:
  explicit TRunningDemo(const QString& dataFolder)
      : Service(LoadDemoFixtures(TALVEX_DEMO_FIXTURES), dataFolder) {
    Port = Service.Bind("127.0.0.1", 0);
    Thread = std::thread([this] { Service.Serve(); });
    while (!Service.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TRunningDemo() {
    Service.Stop();
    Thread.join();
  }
  TDemoService Service;
  int Port = 0;

 private:
  std::thread Thread;
};

QByteArray PackageFor(const QString& form, const QString& cls, const QString& period) {
  TFormDataPackage p;
  p.ProcessId = "p_id1";
  p.FormId = form;
  p.ObjectId = cls;
  p.PeriodId = period;
  p.Objects.push_back({cls, "objects.EduClass", {}});
  p.Objects.push_back({"std_5081_1a_01", "objects.EduStudent", {}});
  p.Values.push_back({"ind_1", "std_5081_1a_01", period, 1, "3"});
  p.Relations = FormRelations(p.Objects, "is_student_of");
  return WriteFormDataPackage(p);
}

class DemoService : public ::testing::Test {
 protected:
  void SetUp() override {
    Demo = std::make_unique<TRunningDemo>(Data.Path());
    Manager.SetHost("127.0.0.1");
    Manager.SetPort(Demo->Port);
  }
  TTempFolder Data;
  TServiceSettingsScope Settings;
  std::unique_ptr<TRunningDemo> Demo;
  TRDataManager Manager;
};
}  // namespace

TEST_F(DemoService, VersionServiceAndLogin) {
  EXPECT_TRUE(Manager.CheckService());
  EXPECT_TRUE(Manager.CheckVersion("April_2018"));
  EXPECT_FALSE(Manager.CheckVersion("March_2016"));
  EXPECT_TRUE(Manager.TryLogin("scid_5081", Md5Hex("kolokol17")));
  EXPECT_FALSE(Manager.TryLogin("scid_5081", Md5Hex("kolokol18")));
  EXPECT_FALSE(Manager.TryLogin("scid_9999", Md5Hex("kolokol17")));
  EXPECT_TRUE(Manager.TryLogin("scid_5082", Md5Hex("")));  // the school without a password

  const std::optional<QByteArray> info = Manager.GetSchoolInfo("scid_5081", Md5Hex("kolokol17"));
  ASSERT_TRUE(info);
  const std::optional<TServiceItem> school = ReadSchoolInfo(*info);
  ASSERT_TRUE(school);
  EXPECT_EQ(school->Name, "scid_5081");
  EXPECT_EQ(school->ClassName, "objects.EduObject");
  EXPECT_EQ(school->Value("caption"), "МБОУ «Школа № 17»");
  // A wrong sign gets no school.
  const std::optional<QByteArray> refused = Manager.GetSchoolInfo("scid_5081", Md5Hex("wrong"));
  ASSERT_TRUE(refused);
  EXPECT_FALSE(ReadSchoolInfo(*refused));
}

TEST_F(DemoService, ClassesAndPupils) {
  const std::optional<QByteArray> body = Manager.GetClassesList("month_2018_4", "scid_5081");
  ASSERT_TRUE(body);
  EXPECT_TRUE(body->startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"));
  const TServiceList<TCLSItem> classes = ReadClassesList(*body);
  ASSERT_TRUE(classes.IsRoot);
  QStringList codes;
  for (const TCLSItem& c : classes.Items) {
    codes << c.Code;
    EXPECT_EQ(c.School, "scid_5081");
    EXPECT_FALSE(c.TeacherCode.isEmpty());
  }
  EXPECT_EQ(codes, QStringList({"1А", "1Б", "2А", "3А"}));

  const TServiceList<TTSDItem> pupils = ReadPupilsList(*Manager.GetPupilsList("month_2018_4", classes.Items[0].Name));
  ASSERT_EQ(pupils.Items.size(), 5u);
  EXPECT_EQ(pupils.Items[0].Caption, "Абрамова Полина");
  EXPECT_EQ(pupils.Items[0].Idx, "1");
  EXPECT_EQ(pupils.Items[0].Sex, "1");
  EXPECT_EQ(pupils.Items[1].YearOfBirth, "2010");
  for (const TCLSItem& c : classes.Items)
    EXPECT_GE(ReadPupilsList(*Manager.GetPupilsList("month_2018_4", c.Name)).Items.size(), 5u) << c.Code.toStdString();

  EXPECT_TRUE(ReadClassesList(*Manager.GetClassesList("month_2018_4", "scid_0000")).Items.empty());
  EXPECT_TRUE(ReadPupilsList(*Manager.GetPupilsList("month_2018_4", "nobody")).Items.empty());
}

TEST_F(DemoService, UploadThenStates) {
  const TServiceList<TFormState> before = ReadFormStates(*Manager.GetStates("p_id1", "month_2018_4", "cls_5081_1a"));
  EXPECT_TRUE(before.IsRoot);
  EXPECT_TRUE(before.Items.empty());

  const QByteArray archive = BuildExchangeArchive(
      {PackageFor("talv_02", "cls_5081_1a", "month_2018_4"), PackageFor("talv_03", "cls_5081_1a", "month_2018_4")});
  EXPECT_NE(Manager.SendData(archive), "ERROR");

  const TServiceList<TFormState> after = ReadFormStates(*Manager.GetStates("p_id1", "month_2018_4", "cls_5081_1a"));
  ASSERT_EQ(after.Items.size(), 2u);
  EXPECT_EQ(after.Items[0].FormId, "talv_02");
  EXPECT_TRUE(after.Items[0].Loaded);
  EXPECT_FALSE(after.Items[0].UpdateTime.isEmpty());
  EXPECT_EQ(after.Items[1].FormId, "talv_03");
  // Other classes, periods and processes hold nothing.
  EXPECT_TRUE(ReadFormStates(*Manager.GetStates("p_id1", "month_2018_4", "cls_5081_1b")).Items.empty());
  EXPECT_TRUE(ReadFormStates(*Manager.GetStates("p_id1", "month_2017_9", "cls_5081_1a")).Items.empty());
  EXPECT_TRUE(ReadFormStates(*Manager.GetStates("p_id2", "month_2018_4", "cls_5081_1a")).Items.empty());

  // The archive is kept, and a restarted service still knows the states.
  const QStringList kept = QDir(Data.Path()).entryList({"*.7z"}, QDir::Files);
  ASSERT_EQ(kept.size(), 1);
  EXPECT_EQ(ReadFileBytes(Data.File(kept[0])), archive);
  Demo.reset();
  Demo = std::make_unique<TRunningDemo>(Data.Path());
  Manager.SetPort(Demo->Port);
  EXPECT_EQ(ReadFormStates(*Manager.GetStates("p_id1", "month_2018_4", "cls_5081_1a")).Items.size(), 2u);
}

TEST_F(DemoService, RefusesMalformedUploads) {
  const QByteArray good = BuildExchangeArchive({PackageFor("talv_02", "cls_5081_1a", "month_2018_4")});
  const QByteArray bad[] = {
      QByteArray("definitely not 7z"),
      QByteArray(),
      good.left(good.size() - 20),
      BuildExchangeArchive({"<root>no attributes</root>"}),
      BuildExchangeArchive({PackageFor("talv_02", "cls_5081_1a", "month_2018_4"), "<<<not xml"}),
      BuildExchangeArchive({}),
      // Small packed, too large unpacked.
      BuildExchangeArchive({PackageFor("talv_02", "cls_5081_1a", "month_2018_4") + QByteArray(9 << 20, ' ')}),
  };
  for (const QByteArray& upload : bad) EXPECT_EQ(Manager.SendData(upload), "ERROR") << upload.size();
  EXPECT_TRUE(QDir(Data.Path()).entryList({"*.7z"}, QDir::Files).isEmpty());
  EXPECT_TRUE(ReadFormStates(*Manager.GetStates("p_id1", "month_2018_4", "cls_5081_1a")).Items.empty());

  // Requests the workstation never sends get an error, not a crash.
  httplib::Client raw("127.0.0.1", Demo->Port);
  EXPECT_EQ(raw.Post("/setrdata", "plain body", "text/plain")->status, 400);
  httplib::MultipartFormDataItems wrongField = {{"other", "x", "talvtemp.7z", "application/octet-stream"}};
  EXPECT_EQ(raw.Post("/setrdata", wrongField)->status, 400);
  EXPECT_EQ(raw.Get("/nosuchrequest")->status, 404);
  auto noParams = raw.Get("/getrdstates");
  ASSERT_TRUE(noParams);
  EXPECT_EQ(noParams->status, 200);
  EXPECT_TRUE(Manager.CheckService());
}

// The executable as the run script starts it.
TEST(DemoServiceProgram, StartsWithTheRunScriptFlags) {
  TTempFolder data;
  const int port = RefusedPort();  // free a moment ago
  QProcess program;
  program.setProcessChannelMode(QProcess::MergedChannels);
  program.start(TALVEX_DEMO_EXE, {"--port", QString::number(port), "--fixtures", TALVEX_DEMO_FIXTURES, "--data",
                                  data.File("service_data")});
  ASSERT_TRUE(program.waitForStarted(5000));
  TServiceSettingsScope settings;
  TRDataManager manager;
  manager.SetHost("127.0.0.1");
  manager.SetPort(port);
  bool up = false;
  for (int i = 0; i < 100 && !up; ++i) {
    up = manager.CheckService();
    if (!up) QThread::msleep(50);
  }
  EXPECT_TRUE(up) << program.readAll().constData();
  EXPECT_TRUE(manager.TryLogin("scid_5081", Md5Hex("kolokol17")));
  EXPECT_TRUE(QDir(data.File("service_data")).exists());
  program.terminate();  // SIGTERM: the service stops cleanly
  ASSERT_TRUE(program.waitForFinished(5000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  int code = -1;
  RunProgram(TALVEX_DEMO_EXE, {"--port", "notanumber"}, &code);
  EXPECT_EQ(code, 2);
  RunProgram(TALVEX_DEMO_EXE, {"--port", QString::number(port), "--fixtures", data.File("missing")}, &code);
  EXPECT_EQ(code, 1);
}
