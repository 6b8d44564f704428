#include "uDemoFixtures.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "exchange/uXmlDocument.h"

namespace {
void ReadAttributes(xmlNodePtr node, TDemoObject& object) {
  object.Name = XmlAttr(node, "name");
  for (xmlNodePtr a : XmlElements(node, "attribute")) object.Attributes.emplace_back(XmlAttr(a, "name"), XmlAttr(a, "value"));
}

TDemoClass ReadClass(xmlNodePtr node) {
  TDemoClass cls;
  ReadAttributes(node, cls);
  for (xmlNodePtr p : XmlElements(node, "pupil")) {
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
  const TXmlDocument doc = TXmlDocument::Parse(file.readAll());
  xmlNodePtr root = doc.Root();
  if (!XmlIsNamed(root, "service")) throw std::runtime_error("service.xml: the document element must be \"service\"");
  TDemoFixtures fixtures;
  for (xmlNodePtr v : XmlElements(root, "version")) fixtures.AcceptedVersions << XmlAttr(v, "accepted");
  for (xmlNodePtr s : XmlElements(root, "school")) {
    TDemoSchool school;
    ReadAttributes(s, school);
    school.ClassName = XmlAttr(s, "class");
    school.Password = XmlAttr(s, "password");
    for (xmlNodePtr c : XmlElements(s, "class")) school.Classes.push_back(ReadClass(c));
    fixtures.Schools.push_back(school);
  }
  return fixtures;
}
