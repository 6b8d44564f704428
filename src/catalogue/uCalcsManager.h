#pragma once
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class TXmlElement;

// Scores of the answers of one test variant.
class TScoreValues {
 public:
  QString Default;
  std::map<QString, QString> Scores;  // answer text -> score text

  QString ScoreTextOf(const QString& answer) const;
  int ScoreOf(const QString& answer) const;  // 0 when the text is not a whole number
};

// The score tables of one scored indicator, by test variant.
class TScoreItem {
 public:
  QString VariantIndicator;
  std::map<int, std::unique_ptr<TScoreValues>> Tables;

  TScoreValues* TableOf(int variant) const;
  TScoreValues* GetOrCreateTable(int variant);
};

// Rules for derived values: formulas, score tables and summary indicators.
class TCalcsManager {
 public:
  std::map<QString, QString> Formulas;
  std::map<QString, std::unique_ptr<TScoreItem>> ScoreItems;
  std::map<QString, QStringList> Depends;  // ascending summary names

  // Reads "calcs", "scorevalues" and "depends" (the first of each) of the
  // document element, which must be "root".
  void LoadFromXml(const TXmlElement& root);
  QString FormulaOf(const QString& indicator) const;
  TScoreItem* ScoreItemOf(const QString& indicator) const;
  const QStringList* DependsOf(const QString& summary) const;
  QString DependentOf(const QString& indicator) const;
};

// An allowed range for the values of one indicator.  The base allows all.
class TCondition {
 public:
  virtual ~TCondition() = default;
  virtual bool Test(double x) const { return true; }
  virtual double Fit(double x) const { return x; }
  virtual QString Text() const { return {}; }
};

class TConditionMinMax : public TCondition {
 public:
  double Min = 0;
  double Max = 0;
  bool OpenMin = false;
  bool OpenMax = false;

  bool Test(double x) const override;
  double Fit(double x) const override;
  QString Text() const override;  // "(10 ; 100)", "[0 ; 366]"
};

class TConditionManager {
 public:
  std::map<QString, std::unique_ptr<TCondition>> Conditions;

  void LoadFromXml(const TXmlElement& root);  // the first "conditions" section
  TCondition* ConditionOf(const QString& indicator) const;
};

// The message shown when an entered value leaves its range.
QString OutOfRangeMessage(const TCondition& condition);
// A number in the shortest general form with a decimal comma ("2,5", "10").
QString ShortNumberText(double value);
