#include "uDemoFixtures.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "platform/uXml.h"

namespace {
void ReadAttributes(const TXmlElement& node, TDemoObject& object) {
  object.Name = node.Attribute("name");
  for (const TXmlElement& a : node.Children("attribute"))
    object.Attributes.emplace_back(a.Attribute("name"), a.Attribute("value"));
}

TDemoClass ReadClass(const TXmlElement& node) {
  TDemoClass cls;
  ReadAttributes(node, cls);
  for (const TXmlElement& p : node.Children("pupil")) {
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
  const auto doc = TXmlDocument::Parse(file.readAll());
  const TXmlElement root = doc->Root();
  if (!root || root.Name() != QLatin1String("service"))
    throw std::runtime_error("service.xml: the document element must be \"service\"");
  TDemoFixtures fixtures;
  for (const TXmlElement& v : root.Children("version")) fixtures.AcceptedVersions << v.Attribute("accepted");
  for (const TXmlElement& s : root.Children("school")) {
    TDemoSchool school;
    ReadAttributes(s, school);
    school.ClassName = s.Attribute("class");
    school.Password = s.Attribute("password");
    for (const TXmlElement& c : s.Children("class")) school.Classes.push_back(ReadClass(c));
    fixtures.Schools.push_back(school);
  }
  return fixtures;
}
