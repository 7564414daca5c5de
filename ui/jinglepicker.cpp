#include "ui/jinglepicker.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QToolButton>

#include "matching/pickerlists.h"
#include "ui/buttonbar.h"
#include "ui/qtext.h"

namespace ui {
namespace {

constexpr int kBarHeight = 33;

}  // namespace

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
  resize(362, 615);

  connect(m_names, &QListWidget::itemClicked, this, [this] { LBNameClick(); });
  connect(m_nameEdit, &QLineEdit::textChanged, this, [this] { ENameChange(); });
  connect(SBSave(), &QToolButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(SBCancel(), &QToolButton::clicked, this, [this] {
    m_resPath.clear();
    done(QDialog::Rejected);
  });

  // A table that cannot be read is reported, and the dialog opens empty.
  try {
    matching::PickerList jingles = matching::LoadJingleNames(m_query, m_baseFile);
    m_nameTexts = std::move(jingles.names);
    m_paths = std::move(jingles.Paths);
  } catch (const std::exception& e) {
    QMessageBox::critical(parent, windowTitle(), toQ(e.what()));
  }
  for (const auto& name : m_nameTexts) m_names->addItem(toQ(name));
  LBNameClick();
}

QToolButton* TFr_GetJinglePath::SBSave() const { return m_save->button(); }
QToolButton* TFr_GetJinglePath::SBCancel() const { return m_cancel->button(); }

void TFr_GetJinglePath::preset(const std::string& prefix, const std::string& name) {
  m_nameEdit->setText(toQ(name));
  setWindowTitle(toQ(prefix) + tr8(" для джингла ") + toQ(name));
}

void TFr_GetJinglePath::LBNameClick() {
  m_resPath.clear();
  const int row = m_names->currentRow();
  if (row < 0 || !m_names->currentItem()->isSelected()) {
    SBSave()->setEnabled(false);
    return;
  }
  if (!m_nameLock) {
    m_nameLock = true;
    m_nameEdit->setText(toQ(m_nameTexts[static_cast<std::size_t>(row)]));
    m_nameLock = false;
  }
  SBSave()->setEnabled(true);
  m_resPath = m_paths[static_cast<std::size_t>(row)];
}

void TFr_GetJinglePath::ENameChange() {
  if (m_nameLock) return;
  const int found = matching::IncrementalSearch(m_nameTexts, fromQ(m_nameEdit->text()));
  if (found < 0) return;
  m_nameLock = true;
  m_names->setCurrentRow(found);
  LBNameClick();
  m_nameLock = false;
}

void TFr_GetJinglePath::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The list and the edit grow with the window; the bar stays at the bottom.
  const int w = width();
  const int h = height();
  const int editHeight = m_nameEdit->sizeHint().height();
  m_save->setGeometry(0, h - kBarHeight, w / 2, kBarHeight);
  m_cancel->setGeometry(w / 2, h - kBarHeight, w - w / 2, kBarHeight);
  m_nameEdit->setGeometry(8, m_save->y() - editHeight - 4, w - 16, editHeight);
  m_names->setGeometry(8, 8, w - 16, m_nameEdit->y() - 12);
}

std::string GetJinglePath(QWidget* parent, const std::string& tablePath, const std::string& prefix,
                          const std::string& name) {
  TFr_GetJinglePath dialog(tablePath, parent);
  dialog.preset(prefix, name);
  return dialog.exec() == QDialog::Accepted ? dialog.ResPath() : std::string();
}

}  // namespace ui
