#include <gtest/gtest.h>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "exchange/uServManager.h"
#include "platform/uCodec.h"

TEST(ServiceSettingsFile, MissingFileAndKeysGiveDefaults) {
  TServiceSettingsScope scope({"elsewhere", 1, 2, "p", 3, "u", "w"});
  TTempFolder temp;
  LoadServiceSettings(temp.File("TALVSrv.ini"));
  EXPECT_EQ(ServiceSettings(), TServiceSettings());
  EXPECT_EQ(ServiceSettings().ServicePort, 80);
  EXPECT_EQ(ServiceSettings().ServiceTimeOut, 500);
  EXPECT_EQ(ServiceSettings().ProxyPort, 80);

  WriteFileBytes(temp.File("TALVSrv.ini"), "[RDService]\r\nPort=8091\r\n");
  LoadServiceSettings(temp.File("TALVSrv.ini"));
  TServiceSettings expected;
  expected.ServicePort = 8091;
  EXPECT_EQ(ServiceSettings(), expected);
}

TEST(ServiceSettingsFile, ReadsEveryKey) {
  TServiceSettingsScope scope;
  TTempFolder temp;
  WriteFileBytes(temp.File("TALVSrv.ini"),
                 Win1251Encode("[Other]\r\nAddr=wrong\r\n[RDService]\r\nAddr=svc.example\r\nPort=8080\r\nTimeOut=2000\r\n"
                               "Proxy=gate\r\nProxyPort=3128\r\nProxyUser=Иванов\r\nProxyPassword=пароль\r\n"));
  LoadServiceSettings(temp.File("TALVSrv.ini"));
  EXPECT_EQ(ServiceSettings(), TServiceSettings({"svc.example", 8080, 2000, "gate", 3128, "Иванов", "пароль"}));
}

TEST(ServiceSettingsFile, IntegersThatAreNotIntegersReadAsDefaults) {
  TServiceSettingsScope scope;
  TTempFolder temp;
  const struct {
    const char* text;
    int port;
  } cases[] = {{"abc", 80}, {"", 80}, {"12x", 80}, {"1.5", 80}, {"443", 443}, {"-1", -1}};
  for (const auto& c : cases) {
    WriteFileBytes(temp.File("TALVSrv.ini"), QByteArray("[RDService]\nPort=") + c.text + "\nTimeOut=" + c.text + "\n");
    LoadServiceSettings(temp.File("TALVSrv.ini"));
    EXPECT_EQ(ServiceSettings().ServicePort, c.port) << c.text;
    EXPECT_EQ(ServiceSettings().ServiceTimeOut, c.port == 80 ? 500 : c.port) << c.text;
  }
}

TEST(ServiceSettingsFile, SavesInTableOrderAndKeepsTheRest) {
  TServiceSettingsScope scope({"svc.example", 8080, 1500, "", 3128, "Петров", "секрет"});
  TTempFolder temp;
  const QString file = temp.File("TALVSrv.ini");
  WriteFileBytes(file, "[First]\nKeep=1\n[RDService]\nProxyPassword=old\nComment=mine\nAddr=old\n[Last]\nAlso=2\n");
  SaveServiceSettings(file);
  const QString text = Win1251Decode(ReadFileBytes(file));
  EXPECT_TRUE(text.contains("[First]\nKeep=1")) << text.toStdString();
  EXPECT_TRUE(text.contains("[Last]\nAlso=2")) << text.toStdString();
  EXPECT_TRUE(text.contains("Comment=mine")) << text.toStdString();
  EXPECT_TRUE(text.contains("Addr=svc.example\nPort=8080\nTimeOut=1500\nProxy=\nProxyPort=3128\nProxyUser=Петров\n"
                            "ProxyPassword=секрет\n"))
      << text.toStdString();
  EXPECT_FALSE(text.contains("=old"));

  const TServiceSettings saved = ServiceSettings();
  ServiceSettings() = TServiceSettings();
  LoadServiceSettings(file);
  EXPECT_EQ(ServiceSettings(), saved);

  // A file that does not exist yet is created.
  SaveServiceSettings(temp.File("new.ini"));
  EXPECT_TRUE(Win1251Decode(ReadFileBytes(temp.File("new.ini"))).startsWith("[RDService]\nAddr=svc.example\n"));
}
