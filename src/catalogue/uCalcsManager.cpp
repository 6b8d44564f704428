#include "catalogue/uCalcsManager.h"

#include "platform/uXml.h"

namespace {
bool IsRoot(const TXmlElement& root) { return root && root.Name() == QLatin1String("root"); }

double Number(const QString& text) { return text.trimmed().replace(',', '.').toDouble(); }
}  // namespace

QString ShortNumberText(double value) { return QString::number(value, 'g', 15).replace('.', ','); }

QString TScoreValues::ScoreTextOf(const QString& answer) const {
  const auto it = Scores.find(answer);
  return it == Scores.end() ? Default : it->second;
}

int TScoreValues::ScoreOf(const QString& answer) const {
  bool ok = false;
  const int score = ScoreTextOf(answer).toInt(&ok, 10);
  return ok ? score : 0;
}

TScoreValues* TScoreItem::TableOf(int variant) const {
  const auto it = Tables.find(variant);
  return it == Tables.end() ? nullptr : it->second.get();
}

TScoreValues* TScoreItem::GetOrCreateTable(int variant) {
  auto& slot = Tables[variant];
  if (!slot) slot = std::make_unique<TScoreValues>();
  return slot.get();
}

void TCalcsManager::LoadFromXml(const TXmlElement& root) {
  if (!IsRoot(root)) return;
  for (const TXmlElement& item : root.FirstChild("calcs").Children("item"))
    Formulas[item.Attribute("indicator")] = item.Attribute("value");

  for (const TXmlElement& indicator : root.FirstChild("scorevalues").Children("indicator")) {
    auto& slot = ScoreItems[indicator.Attribute("name")];
    if (!slot) {
      slot = std::make_unique<TScoreItem>();
      slot->VariantIndicator = indicator.Attribute("variant");
    }
    for (const TXmlElement& variant : indicator.Children("variant")) {
      TScoreValues* table = slot->GetOrCreateTable(variant.Attribute("value").toInt());
      table->Default = variant.Attribute("default");
      for (const TXmlElement& it : variant.Children("it")) table->Scores[it.Attribute("value")] = it.Attribute("score");
    }
  }

  for (const TXmlElement& item : root.FirstChild("depends").Children("item")) {
    QStringList& members = Depends[item.Attribute("name")];
    members.clear();
    for (const TXmlElement& member : item.Children("item")) members << member.Attribute("name");
  }
}

QString TCalcsManager::FormulaOf(const QString& indicator) const {
  const auto it = Formulas.find(indicator);
  return it == Formulas.end() ? QString() : it->second;
}

TScoreItem* TCalcsManager::ScoreItemOf(const QString& indicator) const {
  const auto it = ScoreItems.find(indicator);
  return it == ScoreItems.end() ? nullptr : it->second.get();
}

const QStringList* TCalcsManager::DependsOf(const QString& summary) const {
  const auto it = Depends.find(summary);
  return it == Depends.end() ? nullptr : &it->second;
}

QString TCalcsManager::DependentOf(const QString& indicator) const {
  for (const auto& [summary, members] : Depends)
    if (members.contains(indicator)) return summary;
  return {};
}

bool TConditionMinMax::Test(double x) const {
  const bool aboveMin = OpenMin ? x > Min : x >= Min;
  const bool belowMax = OpenMax ? x < Max : x <= Max;
  return aboveMin && belowMax;
}

double TConditionMinMax::Fit(double x) const {
  if (Test(x)) return x;
  if (x <= Min) return OpenMin ? Min + 1 : Min;
  if (x < Max) return x;
  if (!OpenMax) return Max;
  // Values above an open maximum are pulled eleven below it; in a range too
  // narrow for that, to one below it, so the result is always allowed.
  return Test(Max - 11) ? Max - 11 : Max - 1;
}

QString TConditionMinMax::Text() const {
  return QString(OpenMin ? "(" : "[") + ShortNumberText(Min) + " ; " + ShortNumberText(Max) + (OpenMax ? ")" : "]");
}

void TConditionManager::LoadFromXml(const TXmlElement& root) {
  if (!IsRoot(root)) return;
  for (const TXmlElement& item : root.FirstChild("conditions").Children("item")) {
    auto condition = std::make_unique<TConditionMinMax>();
    condition->Min = Number(item.Attribute("min"));
    condition->Max = Number(item.Attribute("max"));
    condition->OpenMin = item.Attribute("open_min") == QLatin1String("1");
    condition->OpenMax = item.Attribute("open_max") == QLatin1String("1");
    Conditions[item.Attribute("indicator")] = std::move(condition);
  }
}

TCondition* TConditionManager::ConditionOf(const QString& indicator) const {
  const auto it = Conditions.find(indicator);
  return it == Conditions.end() ? nullptr : it->second.get();
}

QString OutOfRangeMessage(const TCondition& condition) {
  return QStringLiteral("Значение выходит за пределы допустимого диапазона.\n\r") + condition.Text();
}
