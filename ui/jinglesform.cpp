#include "ui/jinglesform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/buttonbar.h"
#include "ui/errorbox.h"
#include "ui/qtext.h"

namespace ui {

TJinglesForm::TJinglesForm(matching::OperatorUi& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
  setObjectName(QStringLiteral("JinglesForm"));
  setWindowTitle(tr8("Расставить джинглы "));
  resize(277, 656);
  auto* layout = new QVBoxLayout(this);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("RxJingles"));
  layout->addWidget(m_list);

  auto* ticks = new QHBoxLayout();
  m_all = new QToolButton(this);
  m_all->setObjectName(QStringLiteral("SpeedButton2"));
  m_all->setText(tr8("Все"));
  m_clearAll = new QToolButton(this);
  m_clearAll->setObjectName(QStringLiteral("SpeedButton1"));
  m_clearAll->setText(tr8("Снять все"));
  ticks->addWidget(m_all);
  ticks->addWidget(m_clearAll);
  layout->addLayout(ticks);

  auto* interval = new QHBoxLayout();
  m_step = new QSpinBox(this);
  m_step->setObjectName(QStringLiteral("RxStep"));
  m_step->setRange(1, 20);
  m_step->setValue(2);
  QFont bold = m_step->font();
  bold.setBold(true);
  m_step->setFont(bold);
  interval->addWidget(new QLabel(tr8("Расставить через"), this));
  interval->addWidget(m_step);
  interval->addWidget(new QLabel(tr8("песен"), this));
  layout->addLayout(interval);

  m_save = new ButtonBar(QStringLiteral("Panel1"), QStringLiteral("SBSave"), tr8("Принять"), this);
  m_save->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  layout->addWidget(m_save);

  connect(m_all, &QToolButton::clicked, this, [this] { HaveCheckAll(true); });
  connect(m_clearAll, &QToolButton::clicked, this, [this] { HaveCheckAll(false); });
  connect(SBSave(), &QToolButton::clicked, this, [this] { ShowErrors(this, [this] { SBSaveClick(); }); });
}

QToolButton* TJinglesForm::SBSave() const { return m_save->button(); }

void TJinglesForm::Load(const std::string& TablePath) {
  m_list->clear();
  m_jingleList = importing::LoadJingles(TablePath);
  for (const auto& jingle : m_jingleList) {
    auto* item = new QListWidgetItem(toQ(jingle.Name), m_list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
}

void TJinglesForm::HaveCheckAll(bool state) {
  for (int i = 0; i < m_list->count(); ++i) m_list->item(i)->setCheckState(state ? Qt::Checked : Qt::Unchecked);
}

void TJinglesForm::SBSaveClick() {
  std::vector<bool> ticked;
  for (int i = 0; i < m_list->count(); ++i) ticked.push_back(m_list->item(i)->checkState() == Qt::Checked);
  m_choice = importing::SBSaveClick(m_jingleList, ticked, fromQ(m_step->cleanText()), m_ui);
  if (m_choice) accept();
}

std::optional<importing::JingleChoice> ShowJinglesForm(const std::string& folder, matching::OperatorUi& ui,
                                                       QWidget* parent) {
  TJinglesForm form(ui, parent);
  form.Load(importing::JinglesTablePath(folder));
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.choice();
}

}  // namespace ui
