#include "ui/songpicker.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "assoc/suggestions.h"
#include "matching/pickerlists.h"
#include "ui/buttonbar.h"
#include "ui/errorbox.h"
#include "ui/pickernames.h"
#include "ui/qtext.h"

namespace ui {
namespace {

QStringList toItems(const std::vector<std::string>& texts) {
  QStringList items;
  for (const auto& t : texts) items << toQ(t);
  return items;
}

}  // namespace

TFr_GetPath::TFr_GetPath(const std::string& baseFile, QWidget* parent) : QDialog(parent), m_baseFile(baseFile) {
  setObjectName(QStringLiteral("Fr_GetPath"));
  setWindowTitle(tr8("Обучение сопоставлений"));
  m_nameLabel = new QLabel(tr8("Название композиции"), this);
  m_nameLabel->setObjectName(QStringLiteral("Label1"));
  m_artistLabel = new QLabel(tr8("Исполнитель"), this);
  m_artistLabel->setObjectName(QStringLiteral("Label2"));
  m_names = new QListWidget(this);
  m_names->setObjectName(QStringLiteral("LBName"));
  m_artists = new QListWidget(this);
  m_artists->setObjectName(QStringLiteral("LBArtist"));
  m_nameEdit = new QLineEdit(this);
  m_nameEdit->setObjectName(QStringLiteral("EName"));
  m_artistEdit = new QLineEdit(this);
  m_artistEdit->setObjectName(QStringLiteral("EArt"));
  m_save = new ButtonBar(QStringLiteral("Panel1"), QStringLiteral("SBSave"), tr8("Принять"), this, QColor(128, 128, 128));
  m_cancel = new ButtonBar(QStringLiteral("PanelCancel"), QStringLiteral("SBCancel"), tr8("Отменить"), this,
                           QColor(128, 128, 128));
  // Titles on the left half, artists on the right, each list over its edit;
  // the two buttons share the bottom row.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 4, 1, 2);
  layout->setSpacing(1);
  layout->addWidget(m_nameLabel, 0, 0);
  layout->addWidget(m_artistLabel, 0, 1);
  layout->addWidget(m_names, 1, 0);
  layout->addWidget(m_artists, 1, 1);
  layout->addWidget(m_nameEdit, 2, 0);
  layout->addWidget(m_artistEdit, 2, 1);
  layout->addWidget(m_save, 3, 0);
  layout->addWidget(m_cancel, 3, 1);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(1, 1);
  for (QLabel* label : {m_nameLabel, m_artistLabel}) label->setContentsMargins(8, 0, 0, 2);
  for (ButtonBar* bar : {m_save, m_cancel}) bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  resize(513, 609);

  // A table error in a list handler ends that handler, not the dialog.
  connect(m_artists, &QListWidget::itemSelectionChanged, this, [this] { ShowErrors(this, [this] { LBArtistClick(); }); });
  connect(m_artistEdit, &QLineEdit::textChanged, this, [this] { ShowErrors(this, [this] { EArtChange(); }); });
  m_titles = std::make_unique<PickerNames>(m_names, m_nameEdit, SBSave());
  connect(SBSave(), &QToolButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(SBCancel(), &QToolButton::clicked, this, [this] {
    m_titles->clearResPath();
    done(QDialog::Rejected);
  });

  m_artistTexts = matching::LoadArtists(m_baseFile);
  m_artists->addItems(toItems(m_artistTexts));
  // With a single artist nothing is selected, so every title is listed.
  if (m_artists->count() >= 2) SelectListRow(m_artists, 0);
  LBArtistClick();
}

TFr_GetPath::~TFr_GetPath() = default;

const std::string& TFr_GetPath::ResPath() const { return m_titles->ResPath(); }

QToolButton* TFr_GetPath::SBSave() const { return m_save->button(); }
QToolButton* TFr_GetPath::SBCancel() const { return m_cancel->button(); }

void TFr_GetPath::preset(const std::string& prefix, const std::string& artist, const std::string& name,
                         const assoc::SuggestedFile* start) {
  m_artistEdit->setText(toQ(start ? start->artist : artist));
  m_nameEdit->setText(toQ(start ? start->name : name));
  setWindowTitle(toQ(prefix) + tr8(" для ") + toQ(artist) + QStringLiteral(" - ") + toQ(name));
}

void TFr_GetPath::LBArtistClick() {
  const int row = m_artists->currentRow();
  const bool selected = row >= 0 && m_artists->currentItem() && m_artists->currentItem()->isSelected();
  const std::string* artist = selected ? &m_artistTexts[static_cast<std::size_t>(row)] : nullptr;
  if (artist && !m_artistLock) {
    m_artistLock = true;
    m_artistEdit->setText(toQ(*artist));
    m_artistLock = false;
  }
  m_titles->fill(matching::LoadTitles(m_baseFile, artist));
  if (m_names->count() > 0) SelectListRow(m_names, 0);
  m_titles->LBNameClick();
}

void TFr_GetPath::EArtChange() {
  if (m_artistLock) return;
  const int found = matching::IncrementalSearch(m_artistTexts, fromQ(m_artistEdit->text()));
  if (found < 0) return;
  m_artistLock = true;
  SelectListRow(m_artists, found);
  LBArtistClick();
  m_artistLock = false;
}

std::string GetSongPath(QWidget* parent, const std::string& tablePath, const std::string& prefix,
                        const std::string& artist, const std::string& name, const assoc::SuggestedFile* start) {
  TFr_GetPath dialog(tablePath, parent);
  dialog.preset(prefix, artist, name, start);
  return dialog.exec() == QDialog::Accepted ? dialog.ResPath() : std::string();
}

}  // namespace ui
