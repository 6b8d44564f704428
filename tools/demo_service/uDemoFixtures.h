#pragma once
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The demo service's data: schools with their classes and pupils, read from
// the fixture folder ("service.xml").
struct TDemoObject {
  QString Name;
  std::vector<std::pair<QString, QString>> Attributes;  // name, value
};

struct TDemoClass : TDemoObject {
  std::vector<TDemoObject> Pupils;
};

struct TDemoSchool : TDemoObject {
  QString ClassName;  // "objects.EduObject"
  QString Password;
  std::vector<TDemoClass> Classes;
};

struct TDemoFixtures {
  QStringList AcceptedVersions;
  std::vector<TDemoSchool> Schools;

  const TDemoSchool* FindSchool(const QString& name) const;
  const TDemoClass* FindClass(const QString& name) const;
};

// Throws std::runtime_error when the folder has no readable "service.xml".
TDemoFixtures LoadDemoFixtures(const QString& folder);
