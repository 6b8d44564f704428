#pragma once
#include <QDate>
#include <QDialog>
#include <QString>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class TProcessItem;
class TProcessManager;

// The school years offered on a given day: from four (January..August) or
// three (September..December) years back up to the current calendar year,
// with the school year under way selected.
struct TSchoolYearChoice {
  QString Text;   // "2017 - 2018"
  int FirstYear;  // 2017
};
std::vector<TSchoolYearChoice> SchoolYearChoices(const QDate& today, int* selectedIndex);

// "Выбор процедуры диагностики": the process and the school year, chosen at
// every start.  The only way out is " Продолжить".
class TSelectProcessForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSelectProcessForm(QWidget* parent = nullptr);

  void Fill(const TProcessManager& processes);
  TProcessItem* SelectedProcess() const;
  int SelectedSchoolYear() const;
  void reject() override {}  // no cancel: Esc and the close box do nothing

  QComboBox* cbSTYear;
  QListWidget* ListBox1;
  QPushButton* btOk;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ListBox1DblClick();
  bool eventFilter(QObject* watched, QEvent* event) override;
};
