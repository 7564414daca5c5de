#include "ui/jinglepicker.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "matching/pickerlists.h"
#include "ui/buttonbar.h"
#include "ui/pickernames.h"
#include "ui/qtext.h"

namespace ui {
TFr_GetJinglePath::TFr_GetJinglePath(const std::string& baseFile, QWidget* parent)
    : QDialog(parent), m_baseFile(baseFile) {
  setObjectName(QStringLiteral("Fr_GetJinglePath"));
  setWindowTitle(tr8("Название джингла"));
  m_names = new QListWidget(this);
  m_names->setObjectName(QStringLiteral("LBName"));
  m_nameEdit = new QLineEdit(this);
  m_nameEdit->setObjectName(QStringLiteral("EName"));
  m_save = new ButtonBar(QStringLiteral("Panel1"), QStringLiteral("SBSave"), tr8("Принять"), this);
  m_cancel = new ButtonBar(QStringLiteral("PanelCancel"), QStringLiteral("SBCancel"), tr8("Отменить"), this);
  // The list and the edit grow with the window; the buttons share the
  // bottom row.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* names = new QVBoxLayout();
  names->setContentsMargins(8, 8, 8, 0);
  names->setSpacing(4);
  names->addWidget(m_names, 1);
  names->addWidget(m_nameEdit);
  layout->addLayout(names, 1);
  auto* bar = new QHBoxLayout();
  bar->setSpacing(0);
  for (ButtonBar* button : {m_save, m_cancel}) {
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bar->addWidget(button);
  }
  layout->addLayout(bar);
  resize(362, 615);

  m_list = std::make_unique<PickerNames>(m_names, m_nameEdit, SBSave());
  connect(SBSave(), &QToolButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(SBCancel(), &QToolButton::clicked, this, [this] {
    m_list->clearResPath();
    done(QDialog::Rejected);
  });

  // A table that cannot be read is reported, and the dialog opens empty.
  try {
    m_list->fill(matching::LoadJingleNames(m_baseFile));
  } catch (const std::exception& e) {
    QMessageBox::critical(parent, windowTitle(), toQ(e.what()));
  }
  m_list->LBNameClick();
}

TFr_GetJinglePath::~TFr_GetJinglePath() = default;

const std::string& TFr_GetJinglePath::ResPath() const { return m_list->ResPath(); }

QToolButton* TFr_GetJinglePath::SBSave() const { return m_save->button(); }
QToolButton* TFr_GetJinglePath::SBCancel() const { return m_cancel->button(); }

void TFr_GetJinglePath::preset(const std::string& prefix, const std::string& name) {
  m_nameEdit->setText(toQ(name));
  setWindowTitle(toQ(prefix) + tr8(" для джингла ") + toQ(name));
}

std::string GetJinglePath(QWidget* parent, const std::string& tablePath, const std::string& prefix,
                          const std::string& name) {
  TFr_GetJinglePath dialog(tablePath, parent);
  dialog.preset(prefix, name);
  return dialog.exec() == QDialog::Accepted ? dialog.ResPath() : std::string();
}

}  // namespace ui
