#include "ui/settingspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "ui/buttonbar.h"
#include "ui/qtext.h"

namespace ui {

FolderEdit::FolderEdit(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(name + QStringLiteral("Edit"));
  auto* browse = new QToolButton(this);
  browse->setText(QStringLiteral("..."));
  layout->addWidget(m_edit);
  layout->addWidget(browse);
  connect(browse, &QToolButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), m_edit->text());
    if (!folder.isEmpty()) m_edit->setText(QDir::toNativeSeparators(folder));
  });
}

QSpinBox* SettingsPage::spin(const QString& name, int low, int high) {
  auto* box = new QSpinBox(this);
  box->setObjectName(name);
  box->setRange(low, high);
  return box;
}

SettingsPage::SettingsPage(core::TSetts& setts, core::IniFile& settingsFile, QWidget* parent)
    : QWidget(parent), m_setts(setts), m_settingsFile(settingsFile) {
  setObjectName(QStringLiteral("TabSheet3"));
  auto* layout = new QVBoxLayout(this);

  auto* folders = new QFormLayout();
  m_mvPath = new FolderEdit(QStringLiteral("DEMVPath"), this);
  m_txtPath = new FolderEdit(QStringLiteral("DETxtPath"), this);
  m_basePath = new FolderEdit(QStringLiteral("DEBasePath"), this);
  folders->addRow(tr8("Путь к базам Mirvane"), m_mvPath);
  folders->addRow(tr8("Путь к текстовым файлам"), m_txtPath);
  folders->addRow(tr8("Путь к базе соответствий"), m_basePath);
  m_method = new QComboBox(this);
  m_method->setObjectName(QStringLiteral("CBMethod"));
  m_method->setEditable(true);
  m_method->setInsertPolicy(QComboBox::NoInsert);
  for (int i = 0; i < static_cast<int>(core::Presets().size()); ++i) m_method->addItem(toQ(core::PresetCaption(i)));
  folders->addRow(tr8("Предустановки"), m_method);
  layout->addLayout(folders);

  auto* songs = new QGroupBox(tr8("Музыкальные произведения"), this);
  auto* songGrid = new QGridLayout(songs);
  m_artStart = spin(QStringLiteral("EArtStart"), 1, 360);
  m_artEnd = spin(QStringLiteral("EArtEnd"), 1, 360);
  m_nameStart = spin(QStringLiteral("ENameStart"), 1, 360);
  m_nameEnd = spin(QStringLiteral("ENameEnd"), 1, 360);
  songGrid->addWidget(new QLabel(tr8("Колонки исполнителя от-до"), songs), 0, 0);
  songGrid->addWidget(m_artStart, 0, 1);
  songGrid->addWidget(m_artEnd, 0, 2);
  songGrid->addWidget(new QLabel(tr8("Колонки названия песни от-до"), songs), 1, 0);
  songGrid->addWidget(m_nameStart, 1, 1);
  songGrid->addWidget(m_nameEnd, 1, 2);
  layout->addWidget(songs);

  m_jingles = new QGroupBox(tr8("Джинглы"), this);
  m_jingles->setObjectName(QStringLiteral("GBJingles"));
  auto* jingleGrid = new QGridLayout(m_jingles);
  m_useJingle = new QCheckBox(tr8("Использовать распознавание джинглов"), m_jingles);
  m_useJingle->setObjectName(QStringLiteral("CBUseJingle"));
  m_jArtStart = spin(QStringLiteral("JArtStart"), 1, 360);
  m_jArtEnd = spin(QStringLiteral("JArtEnd"), 1, 360);
  m_jNameStart = spin(QStringLiteral("JNameStart"), 1, 360);
  m_jNameEnd = spin(QStringLiteral("JNameEnd"), 1, 360);
  m_jArtist = new QLineEdit(m_jingles);
  m_jArtist->setObjectName(QStringLiteral("JArtist"));
  m_jArtist->setToolTip(tr8("Если в плейлисте джинглы обозначены особо (например Jingle или Джингл)- укажите.\n"
                            "Если в плейлисте пустая строка - оставьте поле пустым."));
  jingleGrid->addWidget(m_useJingle, 0, 0, 1, 3);
  jingleGrid->addWidget(new QLabel(tr8("Колонки исполнителя от-до"), m_jingles), 1, 0);
  jingleGrid->addWidget(m_jArtStart, 1, 1);
  jingleGrid->addWidget(m_jArtEnd, 1, 2);
  jingleGrid->addWidget(new QLabel(tr8("Колонки названия джингла от-до"), m_jingles), 2, 0);
  jingleGrid->addWidget(m_jNameStart, 2, 1);
  jingleGrid->addWidget(m_jNameEnd, 2, 2);
  jingleGrid->addWidget(new QLabel(tr8("Метка джингла в исполнителе"), m_jingles), 3, 0);
  jingleGrid->addWidget(m_jArtist, 3, 1, 1, 2);
  layout->addWidget(m_jingles);

  auto* shift = new QGroupBox(tr8("Сдвиг часов"), this);
  auto* shiftLayout = new QHBoxLayout(shift);
  m_shiftHour = spin(QStringLiteral("RxShiftHour"), -24, 24);
  shiftLayout->addWidget(new QLabel(tr8("Запись плейлиста со сдвигом (часы)"), shift));
  shiftLayout->addWidget(m_shiftHour);
  layout->addWidget(shift);

  m_save = new ButtonBar(QStringLiteral("PanSave"), QStringLiteral("SBSaveParms"), tr8("Сохранить настройки"), this);
  layout->addWidget(m_save, 0, Qt::AlignHCenter);
  m_savedNote = new QLabel(tr8("Настройки сохранены"), this);
  m_savedNote->setObjectName(QStringLiteral("LabSaved"));
  QFont bold = m_savedNote->font();
  bold.setBold(true);
  m_savedNote->setFont(bold);
  // Kept in the layout while hidden, so the page does not jump.
  QSizePolicy keep = m_savedNote->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  m_savedNote->setSizePolicy(keep);
  m_savedNote->hide();
  layout->addWidget(m_savedNote, 0, Qt::AlignHCenter);
  m_savedNoteTimer = new QTimer(this);
  m_savedNoteTimer->setSingleShot(true);
  m_savedNoteTimer->setInterval(3000);
  connect(m_savedNoteTimer, &QTimer::timeout, m_savedNote, &QLabel::hide);
  layout->addStretch();

  connect(m_method, &QComboBox::activated, this, &SettingsPage::CBMethodChange);
  connect(m_method, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (m_method->findText(text) < 0) CBMethodChange(-1);  // typed text chooses no preset
  });
  connect(m_save->button(), &QToolButton::clicked, this, &SettingsPage::saveRequested);
}

core::SettingsPage SettingsPage::values() const {
  core::SettingsPage p;
  p.MVPath = fromQ(m_mvPath->edit()->text());
  p.TxtPath = fromQ(m_txtPath->edit()->text());
  p.BasePath = fromQ(m_basePath->edit()->text());
  p.MethodIndex = m_method->currentIndex();
  p.ArtStart = m_artStart->value();
  p.ArtEnd = m_artEnd->value();
  p.NameStart = m_nameStart->value();
  p.NameEnd = m_nameEnd->value();
  p.UseJingle = m_useJingle->isChecked();
  p.JArtStart = m_jArtStart->value();
  p.JArtEnd = m_jArtEnd->value();
  p.JNameStart = m_jNameStart->value();
  p.JNameEnd = m_jNameEnd->value();
  p.JArtist = fromQ(m_jArtist->text());
  p.ShiftHour = m_shiftHour->value();
  p.JinglesVisible = !m_jingles->isHidden();
  return p;
}

void SettingsPage::show(const core::SettingsPage& p) {
  m_mvPath->edit()->setText(toQ(p.MVPath));
  m_txtPath->edit()->setText(toQ(p.TxtPath));
  m_basePath->edit()->setText(toQ(p.BasePath));
  m_artStart->setValue(p.ArtStart);
  m_artEnd->setValue(p.ArtEnd);
  m_nameStart->setValue(p.NameStart);
  m_nameEnd->setValue(p.NameEnd);
  m_useJingle->setChecked(p.UseJingle);
  m_jArtStart->setValue(p.JArtStart);
  m_jArtEnd->setValue(p.JArtEnd);
  m_jNameStart->setValue(p.JNameStart);
  m_jNameEnd->setValue(p.JNameEnd);
  m_jArtist->setText(toQ(p.JArtist));
  m_shiftHour->setValue(p.ShiftHour);
  m_jingles->setHidden(!p.JinglesVisible);
}

void SettingsPage::ShowSetts() {
  const core::SettingsPage page = core::ShowSetts(m_setts);
  const QSignalBlocker block(m_method);  // showing the preset does not apply it
  m_method->setCurrentIndex(page.MethodIndex);
  m_method->setEditText(toQ(core::PresetCaption(page.MethodIndex)));
  show(page);
}

std::optional<std::string> SettingsPage::SBSaveParmsClick() {
  return core::SaveParms(m_setts, values(), m_settingsFile);
}

void SettingsPage::confirmSaved() {
  m_savedNote->show();
  m_savedNoteTimer->start();
}

void SettingsPage::CBMethodChange(int index) {
  core::SettingsPage page = values();
  core::CBMethodChange(m_setts, page, index);
  show(page);
}

}  // namespace ui
