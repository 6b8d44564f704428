#include "shell/wSelectProcessForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/uProcessManager.h"
#include "platform/uClock.h"

std::vector<TSchoolYearChoice> SchoolYearChoices(const QDate& today, int* selectedIndex) {
  const int y = today.year();
  const bool autumn = today.month() >= 9;
  const int first = autumn ? y - 3 : y - 4;
  const int current = autumn ? y : y - 1;
  std::vector<TSchoolYearChoice> choices;
  for (int b = first; b <= y; ++b) {
    if (b == current && selectedIndex) *selectedIndex = static_cast<int>(choices.size());
    choices.push_back({QStringLiteral("%1 - %2").arg(b).arg(b + 1), b});
  }
  return choices;
}

TSelectProcessForm::TSelectProcessForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Выбор процедуры диагностики"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);  // no close box
  QFont big(QStringLiteral("Tahoma"), 12);
  big.setBold(true);
  setFont(big);
  resize(560, 360);

  cbSTYear = new QComboBox(this);  // a fixed choice: no free text to misread
  auto* yearRow = new QHBoxLayout;
  yearRow->addWidget(new QLabel(QStringLiteral("Учебный год"), this));
  yearRow->addWidget(cbSTYear, 1);
  auto* hint = new QLabel(QStringLiteral("Выберите процедуру диагностики"), this);
  hint->setAlignment(Qt::AlignCenter);

  ListBox1 = new QListWidget(this);
  ListBox1->installEventFilter(this);
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });

  btOk = new QPushButton(QStringLiteral(" Продолжить"), this);
  btOk->setAutoDefault(false);
  connect(btOk, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(yearRow);
  layout->addWidget(hint);
  layout->addWidget(ListBox1, 1);
  layout->addWidget(btOk);
}

void TSelectProcessForm::Fill(const TProcessManager& processes) {
  ListBox1->clear();
  for (const auto& process : processes.Items) {
    auto* entry = new QListWidgetItem(process->Caption, ListBox1);
    entry->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(process.get())));
  }
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  ListBox1->setFocus();

  cbSTYear->clear();
  int selected = -1;
  for (const TSchoolYearChoice& choice : SchoolYearChoices(Clock().Today(), &selected))
    cbSTYear->addItem(choice.Text, choice.FirstYear);
  cbSTYear->setCurrentIndex(selected);
}

TProcessItem* TSelectProcessForm::SelectedProcess() const {
  const QListWidgetItem* entry = ListBox1->currentItem();
  if (!entry || !entry->isSelected()) return nullptr;
  return static_cast<TProcessItem*>(entry->data(Qt::UserRole).value<void*>());
}

int TSelectProcessForm::SelectedSchoolYear() const { return cbSTYear->currentData().toInt(); }

void TSelectProcessForm::ListBox1DblClick() {
  if (SelectedProcess()) btOk->click();
}

bool TSelectProcessForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (SelectedProcess()) btOk->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TSelectProcessForm::keyPressEvent(QKeyEvent* event) {
  // Enter anywhere but the list must not end the dialog without a process.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}
