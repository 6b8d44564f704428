#include "catalogue/uRefBookManager.h"
#include "platform/uResources.h"
#include "platform/uXml.h"
#include "StoreFixture.h"

// The four shipped processes on one database file, one after the other.
class ShippedProcessesTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    Processes = std::make_unique<TProcessManager>();
    Processes->LoadFromXml(LoadTextResource("RC_PROCESS"));
    App().ProcessManager = Processes.get();
  }
  // Indicators a document declares.
  static int DeclaredIndicators(const TProcessItem& process) {
    const auto doc = TXmlDocument::Parse(LoadTextResource(ResourceNameOf(process.Classes)));
    int count = 0;
    for (const TXmlElement& section : doc->Root().Children("indicators"))
      count += static_cast<int>(section.Children("item").size());
    return count;
  }
};

TEST_F(ShippedProcessesTest, EachProcessStartsAndASecondStartWritesNothing) {
  ASSERT_EQ(Processes->Count(), 4);
  for (const auto& process : Processes->Items) {
    SCOPED_TRACE(process->Id.toStdString());
    Processes->CurrentProcess = process.get();
    Open();
    EXPECT_EQ(Store->DBVersion, "02-OCT-2019 0:00:00.0000");
    const int declared = DeclaredIndicators(*process);
    int present = 0;
    const auto doc = TXmlDocument::Parse(LoadTextResource(ResourceNameOf(process->Classes)));
    for (const TXmlElement& item : doc->Root().FirstChild("indicators").Children("item"))
      if (TDObject* indicator = Object(item.Attribute("name").toUtf8().constData())) {
        ++present;
        EXPECT_EQ(indicator->Text("code"), item.Attribute("name"));
      }
    EXPECT_EQ(present, declared);
    ASSERT_NE(App().RBManager->FindBook("datakind"), nullptr);

    const int objects = Count("select count(*) as N from tb_objects");
    Store.reset();
    QStringList writes;
    Store = std::make_unique<TTALVEXDB>(QString(), [&writes](const QString& line) {
      if (line.startsWith("UpdateSQL")) writes << line;
    });
    EXPECT_TRUE(writes.isEmpty()) << writes.mid(0, 3).join('\n');
    EXPECT_EQ(Count("select count(*) as N from tb_objects"), objects);
  }
}
