#include "catalogue/uProcessManager.h"

#include "platform/uClock.h"
#include "platform/uXml.h"

namespace {
// The month of the process, or the default for the half of the year today is in.
int ProcessMonth(const QString& text) {
  bool ok = false;
  const int month = text.toInt(&ok, 10);
  if (ok && month >= 1 && month <= 12) return month;
  return Clock().Today().month() <= 6 ? 4 : 9;
}

QString MonthPeriodId(int year, int month) { return QStringLiteral("month_%1_%2").arg(year).arg(month); }
}  // namespace

void TProcessItem::LoadFromNode(const TXmlElement& process) {
  Id = process.Attribute("id");
  Caption = process.Attribute("caption");
  Classes = process.Attribute("classes");
  ClassCode = process.Attribute("classcode");
  Period = MonthPeriodId(Clock().Today().year(), ProcessMonth(process.Attribute("month")));
  const TXmlElement forms = process.FirstChild("forms");
  if (!forms) return;
  for (const TXmlElement& item : forms.Children("item")) {
    auto form = std::make_unique<TFormItem>();
    form->Name = item.Attribute("name");
    form->Caption = item.Attribute("caption");
    form->Kind = item.Attribute("kind");
    form->FileName = item.Attribute("file");
    form->InputForm = item.Attribute("inputform");
    Forms.push_back(std::move(form));
  }
}

TFormItem* TProcessItem::FindForm(const QString& name) const {
  for (const auto& form : Forms)
    if (form->Name == name) return form.get();
  return nullptr;
}

void TProcessItem::SetSchoolYear(int schoolYear) {
  // A school year starts in September: September..December lie in its first
  // calendar year, January..August (the April diagnostics) in the second.
  bool ok = false;
  const int m = Period.section('_', -1).toInt(&ok);
  if (!ok) return;
  const int year = m >= 9 ? schoolYear : schoolYear + 1;
  Period = MonthPeriodId(year, m);
}

void TProcessManager::LoadFromXml(const QByteArray& text) {
  const auto document = TXmlDocument::Parse(text);
  TXmlElement processes = document->Root();
  while (processes && processes.Name() != QLatin1String("processes")) processes = processes.NextSibling();
  if (!processes) return;
  for (const TXmlElement& element : processes.Children("process")) {
    auto process = std::make_unique<TProcessItem>();
    process->LoadFromNode(element);
    if (!process->Id.isEmpty()) Items.push_back(std::move(process));
  }
}

TProcessItem* TProcessManager::FindById(const QString& id) const {
  for (const auto& item : Items)
    if (item->Id == id) return item.get();
  return nullptr;
}
