#include "ui/datepage.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/hourtemplates.h"
#include "core/text.h"
#include "ui/buttonbar.h"
#include "ui/colors.h"
#include "ui/dateedit.h"
#include "ui/qtext.h"

namespace ui {
namespace {

class HourCellDelegate : public QStyledItemDelegate {
 public:
  HourCellDelegate(const core::DayPlaylist& day, QObject* parent) : QStyledItemDelegate(parent), m_day(day) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int hour = index.column();
    // Each background with its text colour: the palette's pair for the
    // header, black on the fixed light colours, whatever the palette.
    const bool header = index.row() == 0;
    const QColor background = header ? option.palette.color(QPalette::Button)
                              : m_day.HourSetts[static_cast<std::size_t>(hour)] ? kLightGreen
                                                                                : kLightRed;
    painter->fillRect(option.rect, background);
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(header ? option.palette.color(QPalette::ButtonText) : QColor(Qt::black));
    painter->drawText(option.rect, Qt::AlignCenter, index.data().toString());
  }

 private:
  const core::DayPlaylist& m_day;
};

}  // namespace

HourGrid::HourGrid(core::DayPlaylist& day, QWidget* parent) : QTableWidget(2, core::kHours, parent), m_day(day) {
  setObjectName(QStringLiteral("SGHour"));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setItemDelegate(new HourCellDelegate(day, this));
  for (int h = 0; h < core::kHours; ++h) {
    auto* header = new QTableWidgetItem(QString::number(h));
    header->setFlags(Qt::ItemIsEnabled);
    setItem(0, h, header);
    setItem(1, h, new QTableWidgetItem());
  }
  setCurrentCell(1, 0);
  fitToFont();
}

void HourGrid::fitToFont() {
  // 30 by 17 pixels at the design size; larger when the bold numbers need it.
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int column = std::max(30, metrics.horizontalAdvance(QStringLiteral("000")) + 4);
  const int row = std::max(17, metrics.height() + 2);
  horizontalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(column);
  verticalHeader()->setDefaultSectionSize(row);
  setFixedSize(column * core::kHours + 2 * frameWidth(), row * 2 + 2 * frameWidth());
}

void HourGrid::changeEvent(QEvent* event) {
  QTableWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) fitToFont();
}

void HourGrid::Fill_HourSetts() {
  for (int h = 0; h < core::kHours; ++h) {
    const auto count = m_day.Songs[static_cast<std::size_t>(h)].size();
    item(1, h)->setText(count > 0 ? QString::number(count) : QString());
  }
  viewport()->update();
}

void HourGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && index.row() >= 1) setCurrentCell(index.row(), index.column());
  const int hour = currentColumn();
  if (currentRow() >= 1 && hour >= 0 && hour < core::kHours) {
    m_day.HourSetts[static_cast<std::size_t>(hour)] = !m_day.HourSetts[static_cast<std::size_t>(hour)];
    viewport()->update();
  }
}

DatePage::DatePage(core::DayPlaylist& day, core::IniFile& settingsFile, QWidget* parent)
    : QWidget(parent), m_day(day), m_settingsFile(settingsFile) {
  setObjectName(QStringLiteral("TabDate"));
  auto* hoursLabel = new QLabel(tr8("Выберите импортируемые часы"), this);
  auto* templatesLabel = new QLabel(tr8("Шаблоны"), this);
  m_templates = new QComboBox(this);
  m_templates->setObjectName(QStringLiteral("CBHours"));
  m_templates->setEditable(true);
  m_templates->setInsertPolicy(QComboBox::NoInsert);
  m_templates->setMinimumWidth(190);
  auto* save = new QToolButton(this);
  save->setObjectName(QStringLiteral("SBSaveHour"));
  save->setText(tr8("Сохранить"));
  m_hours = new HourGrid(day, this);

  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);

  auto* dateLabel = new QLabel(tr8("Выберите дату импортируемого плейлиста"), this);
  m_date = new DateEdit(this);
  m_date->setObjectName(QStringLiteral("DEDay"));

  auto* group = new QGroupBox(tr8("Управление плейлистом"), this);
  group->setObjectName(QStringLiteral("RGClearList"));
  auto* groupLayout = new QVBoxLayout(group);
  const char* captions[] = {"Очистить вставляемые часы", "Очистить полностью плейлист на эти сутки",
                            "Не очищать часы (добавить к существующему)"};
  for (int i = 0; i < 3; ++i) {
    m_clear[i] = new QRadioButton(tr8(captions[i]), group);
    groupLayout->addWidget(m_clear[i]);
  }
  m_clear[0]->setChecked(true);

  m_check = new ButtonBar(QStringLiteral("PanCheck"), QStringLiteral("SBCheck"), tr8("Проверка соответствий"), this);

  m_indicator = new QFrame(this);
  m_indicator->setObjectName(QStringLiteral("PanInd"));
  m_indicator->setFrameStyle(QFrame::Panel | QFrame::Raised);
  m_indicator->setMinimumWidth(500);
  auto* indicatorLayout = new QVBoxLayout(m_indicator);
  m_status = new QLabel(m_indicator);
  m_status->setObjectName(QStringLiteral("LabStatus"));
  m_status->setAlignment(Qt::AlignCenter);
  QFont bold = m_status->font();
  bold.setBold(true);
  m_status->setFont(bold);
  m_current = new QProgressBar(m_indicator);
  m_current->setObjectName(QStringLiteral("GCurr"));
  m_overall = new QProgressBar(m_indicator);
  m_overall->setObjectName(QStringLiteral("GAll"));
  indicatorLayout->addWidget(m_status);
  indicatorLayout->addWidget(m_current);
  indicatorLayout->addWidget(m_overall);
  // The panel keeps its place while hidden, so the page does not jump.
  QSizePolicy keep = m_indicator->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  m_indicator->setSizePolicy(keep);
  m_indicator->hide();

  // Top to bottom: the hours with the templates at the right of their label
  // row, a bevel, the date, the playlist handling, the check and its progress.
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 8, 8, 8);
  auto* hoursRow = new QHBoxLayout();
  hoursRow->addWidget(hoursLabel);
  hoursRow->addStretch();
  hoursRow->addWidget(templatesLabel);
  hoursRow->addWidget(m_templates);
  hoursRow->addWidget(save);
  page->addLayout(hoursRow);
  page->addWidget(m_hours, 0, Qt::AlignLeft);
  page->addSpacing(6);
  page->addWidget(bevel);
  page->addSpacing(6);
  page->addWidget(dateLabel);
  page->addWidget(m_date, 0, Qt::AlignLeft);
  page->addSpacing(6);
  page->addWidget(group, 0, Qt::AlignLeft);
  page->addSpacing(16);
  page->addWidget(m_check, 0, Qt::AlignHCenter);
  page->addSpacing(8);
  page->addWidget(m_indicator, 0, Qt::AlignHCenter);
  page->addStretch();

  connect(save, &QToolButton::clicked, this, &DatePage::saveTemplateRequested);
  connect(m_templates, &QComboBox::activated, this, &DatePage::templateChosen);
  connect(m_check->button(), &QToolButton::clicked, this, &DatePage::checkRequested);
}

QToolButton* DatePage::SBCheck() const { return m_check->button(); }

void DatePage::loadTemplates() {
  const QString text = m_templates->currentText();
  m_templates->clear();
  for (const auto& name : core::HourTemplateNames(m_settingsFile)) m_templates->addItem(toQ(name));
  if (m_templates->count() > 0) {
    m_templates->setCurrentIndex(0);
  } else {
    m_templates->setEditText(text);
  }
}

std::string DatePage::selectedTemplate() const {
  const int index = m_templates->currentIndex();
  if (index < 0 || m_templates->itemText(index) != m_templates->currentText()) return {};
  return core::Trim(fromQ(m_templates->itemText(index)));
}

void DatePage::CBHoursChange() {
  if (m_templates->currentIndex() < 0) return;
  const std::string name = selectedTemplate();
  if (name.empty()) return;  // a typed name selects nothing
  m_templates->setEditText(toQ(name));
  core::ApplyHourTemplate(m_settingsFile, name, m_day.HourSetts);
  m_hours->viewport()->update();
}

void DatePage::SBSaveHourClick() {
  const std::string shown = core::SaveHourTemplate(m_settingsFile, fromQ(m_templates->currentText()), m_day.HourSetts);
  m_templates->clear();
  for (const auto& name : core::HourTemplateNames(m_settingsFile)) m_templates->addItem(toQ(name));
  const int index = m_templates->findText(toQ(core::Trim(shown)));
  m_templates->setCurrentIndex(index);
  m_templates->setEditText(toQ(shown));
}

core::TDateTime DatePage::importDate() const { return m_date->date().value_or(0.0); }

void DatePage::setImportDate(core::TDateTime date) { m_date->setDate(date); }

int DatePage::clearMode() const {
  for (int i = 0; i < 3; ++i) {
    if (m_clear[i]->isChecked()) return i;
  }
  return 0;
}

void DatePage::ShowIndicator(const std::string& text, int current, int overall) {
  if (text.empty() && current < 0) {
    m_indicator->hide();
    return;
  }
  m_indicator->show();
  m_indicator->raise();
  if (!text.empty()) m_status->setText(toQ(text));
  m_current->setValue(current);
  if (overall > 0) m_overall->setValue(overall);
  core::Delay(10);
}

}  // namespace ui
