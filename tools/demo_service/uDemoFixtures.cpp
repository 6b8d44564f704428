#include "uDemoFixtures.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "exchange/uExchangeXml.h"

namespace {
void ReadAttributes(xmlNodePtr node, TDemoObject& object) {
  object.Name = ExAttr(node, "name");
  for (xmlNodePtr a : ExElements(node, "attribute")) object.Attributes.emplace_back(ExAttr(a, "name"), ExAttr(a, "value"));
}

TDemoClass ReadClass(xmlNodePtr node) {
  TDemoClass cls;
  ReadAttributes(node, cls);
  for (xmlNodePtr p : ExElements(node, "pupil")) {
    TDemoObject pupil;
    ReadAttributes(p, pupil);
    cls.Pupils.push_back(pupil);
  }
  return cls;
}
}  // namespace

const TDemoSchool* TDemoFixtures::FindSchool(const QString& name) const {
  for (const TDemoSchool& s : Schools)
    if (s.Name == name) return &s;
  return nullptr;
}

const TDemoClass* TDemoFixtures::FindClass(const QString& name) const {
  for (const TDemoSchool& s : Schools)
    for (const TDemoClass& c : s.Classes)
      if (c.Name == name) return &c;
  return nullptr;
}

TDemoFixtures LoadDemoFixtures(const QString& folder) {
  QFile file(QDir(folder).filePath(QStringLiteral("service.xml")));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(("cannot read " + file.fileName()).toStdString());
  const TExchangeXml doc = TExchangeXml::Parse(file.readAll());
  xmlNodePtr root = doc.Root();
  if (!ExIsNamed(root, "service")) throw std::runtime_error("service.xml: the document element must be \"service\"");
  TDemoFixtures fixtures;
  for (xmlNodePtr v : ExElements(root, "version")) fixtures.AcceptedVersions << ExAttr(v, "accepted");
  for (xmlNodePtr s : ExElements(root, "school")) {
    TDemoSchool school;
    ReadAttributes(s, school);
    school.ClassName = ExAttr(s, "class");
    school.Password = ExAttr(s, "password");
    for (xmlNodePtr c : ExElements(s, "class")) school.Classes.push_back(ReadClass(c));
    fixtures.Schools.push_back(school);
  }
  return fixtures;
}
