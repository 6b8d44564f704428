#pragma once
#include <QString>
#include <memory>
#include <vector>

class TXmlElement;

// One form of a process: a tab on the results page.
class TFormItem {
 public:
  QString Name;       // "talv_01"
  QString Caption;    // tab caption
  QString Kind;       // "objlist" or "multiobjs"
  QString InputForm;  // key of the input card, empty when none
  QString FileName;   // catalogue path of the form definition
};

// One diagnostic procedure of the catalogue.
class TProcessItem {
 public:
  QString Id;
  QString Caption;
  QString Classes;    // catalogue path of the class-definition document
  QString ClassCode;  // grade code of the classes that take part ("01")
  QString Period;     // "month_" + year + "_" + month
  std::vector<std::unique_ptr<TFormItem>> Forms;

  void LoadFromNode(const TXmlElement& process);
  TFormItem* FindForm(const QString& name) const;
  // Rebuilds Period for the chosen school year (2017 for 2017/2018).
  void SetSchoolYear(int schoolYear);
};

// The process catalogue, read once at start-up from the resource "RC_PROCESS".
class TProcessManager {
 public:
  std::vector<std::unique_ptr<TProcessItem>> Items;
  TProcessItem* CurrentProcess = nullptr;

  // Parses the catalogue and appends its processes; a text that is not
  // well-formed XML raises the parser's error.
  void LoadFromXml(const QByteArray& text);
  int Count() const { return static_cast<int>(Items.size()); }
  TProcessItem* Item(int index) const { return Items.at(index).get(); }
  TProcessItem* FindById(const QString& id) const;
};
