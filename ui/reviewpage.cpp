#include "ui/reviewpage.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include "assoc/suggestions.h"
#include "matching/review.h"
#include "ui/buttonbar.h"
#include "ui/colors.h"
#include "ui/gridmodels.h"
#include "ui/gridutil.h"
#include "ui/hourtabs.h"
#include "ui/qtext.h"

namespace ui {
namespace {

// Paints a line of the hour grid from the model's row state: rows are
// coloured after the hour's list, not after what the grid shows.
class LineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const auto state = static_cast<matching::ReviewRowState>(
        index.data(selected ? HourLinesModel::SelectedRowStateRole : HourLinesModel::RowStateRole).toInt());
    QColor background = Qt::white;
    QColor text = Qt::black;
    switch (state) {
      case matching::ReviewRowState::Header:
        background = option.palette.color(QPalette::Button);
        text = option.palette.color(QPalette::ButtonText);
        break;
      case matching::ReviewRowState::NoLine: background = kNavy; break;
      case matching::ReviewRowState::JingleSelected: background = kBlue; text = Qt::white; break;
      case matching::ReviewRowState::JingleMatched: background = kLightCyan; break;
      case matching::ReviewRowState::JingleUnmatched: background = kLightMagenta; break;
      case matching::ReviewRowState::SongSelected: background = kNavy; text = Qt::white; break;
      case matching::ReviewRowState::SongMatched: background = Qt::white; break;
      case matching::ReviewRowState::SongUnmatched: background = kLightRed; break;
    }
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setPen(Qt::black);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->setClipRect(option.rect);
    // A suggestion in the path cell: the model's grey italics over the row's colour.
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QColor>() && !selected) text = foreground.value<QColor>();
    const QVariant font = index.data(Qt::FontRole);
    if (font.canConvert<QFont>()) {
      QFont italic = option.font;
      italic.setItalic(font.value<QFont>().italic());
      painter->setFont(italic);
    }
    painter->setPen(text);
    painter->drawText(option.rect.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, index.data().toString());
    painter->restore();
  }
};

class CountDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // The grid is disabled (display only) but drawn as an enabled one.
    const bool header = index.row() == 0;
    const QColor background = header ? option.palette.color(QPalette::Active, QPalette::Button)
                              : index.column() == 0 ? kLightGreen
                                                    : kLightRed;
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setPen(Qt::black);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    // The palette's pair on the header, black on the fixed colours.
    painter->setPen(header ? option.palette.color(QPalette::Active, QPalette::ButtonText) : QColor(Qt::black));
    painter->drawText(option.rect, Qt::AlignCenter, index.data().toString());
    painter->restore();
  }
};

}  // namespace

ReviewPage::ReviewPage(core::DayPlaylist& day, QWidget* parent) : QWidget(parent), m_day(day) {
  setObjectName(QStringLiteral("TabList"));
  m_errors = new ButtonBar(QStringLiteral("Panel4"), QStringLiteral("SpeedButton1"), tr8("Вывести список ошибок"), this);
  m_counts = new QTableWidget(2, 2, this);
  m_counts->setObjectName(QStringLiteral("SGLists"));
  m_counts->horizontalHeader()->hide();
  m_counts->verticalHeader()->hide();
  m_counts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_counts->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_counts->setItemDelegate(new CountDelegate(this));
  m_counts->setEnabled(false);
  m_counts->setItem(0, 0, new QTableWidgetItem(tr8("Приняты")));
  m_counts->setItem(0, 1, new QTableWidgetItem(tr8("Ошибочные")));
  m_counts->setItem(1, 0, new QTableWidgetItem());
  m_counts->setItem(1, 1, new QTableWidgetItem());
  fitCounts();
  m_editAss = new ButtonBar(QStringLiteral("Panel5"), QStringLiteral("SBEditAss"), tr8("Редактировать базу ассоциаций"),
                            this, QColor(192, 192, 192), 240);

  m_tabs = new HourTabs(day, this);
  m_lines = new QTableView(m_tabs);
  m_linesModel = new HourLinesModel(day, this);
  m_lines->setModel(m_linesModel);
  m_tabs->setPage(m_lines);
  m_lines->setObjectName(QStringLiteral("SGPList"));
  QFont regular = m_lines->font();  // the tabs above are bold, the lines are not
  regular.setBold(false);
  m_lines->setFont(regular);
  m_lines->verticalHeader()->hide();
  SetRowHeight(m_lines, 16);
  m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
  m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_lines->setItemDelegate(new LineDelegate(this));
  m_lines->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

  m_jingles = new ButtonBar(QStringLiteral("PanJin"), QStringLiteral("SBJingles"), tr8("Расставить джинглы"), this);
  m_import = new ButtonBar(QStringLiteral("PanImp"), QStringLiteral("SBImport"), tr8("Импортировать плейлист"), this);
  m_undo = new ButtonBar(QStringLiteral("PanUndo"), QStringLiteral("SBUndo"), tr8("Отменить последний импорт"), this);
  m_undo->button()->setEnabled(false);
  m_acceptAll = new ButtonBar(QStringLiteral("PanSuggest"), QStringLiteral("SBAcceptAll"), tr8("Принять все предложения"), this);
  m_acceptAll->button()->setEnabled(false);

  // The count grid centred on the top row, the two buttons 8 pixels to
  // either side of it; the hour tabs filling the page; the import button
  // centred on the bottom row, the jingle button at its left end and the
  // undo button at its right end. "Принять все предложения" stands under the
  // association button.
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(4, 4, 2, 4);
  page->setSpacing(4);
  auto* top = new QGridLayout();
  top->setHorizontalSpacing(8);
  top->addWidget(m_errors, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
  top->addWidget(m_counts, 0, 1, 2, 1, Qt::AlignTop);
  top->addWidget(m_editAss, 0, 2, Qt::AlignLeft | Qt::AlignVCenter);
  // Under the association base's button: a fourth bar does not fit the row
  // at the design width.
  top->addWidget(m_acceptAll, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
  top->setColumnStretch(0, 1);
  top->setColumnStretch(2, 1);
  page->addLayout(top);
  page->addWidget(m_tabs, 1);
  auto* bottom = new QGridLayout();
  bottom->addWidget(m_jingles, 0, 0, Qt::AlignLeft);
  bottom->addWidget(m_import, 0, 1);
  bottom->addWidget(m_undo, 0, 2, Qt::AlignRight);
  bottom->setColumnStretch(0, 1);
  bottom->setColumnStretch(2, 1);
  page->addLayout(bottom);

  connect(m_tabs, &HourTabs::currentChanged, this, [this] { TCHourChange(); });
  m_lines->installEventFilter(this);
  m_lines->setEnabled(false);
  makeMenu();
}

void ReviewPage::makeMenu() {
  m_menu = new QMenu(this);
  m_menu->setObjectName(QStringLiteral("PopupMenu1"));
  struct Item {
    ReviewCommand command;
    const char* name;
    const char* caption;
    QList<QKeySequence> shortcuts;
  };
  // The menu shows the first shortcut: "Enter" as the operator calls the key.
  // The main Enter key is Key_Return, the keypad's is Key_Enter; both act.
  const auto enter = [](Qt::KeyboardModifiers modifiers) {
    return QList<QKeySequence>{QKeySequence(modifiers | Qt::Key_Enter), QKeySequence(modifiers | Qt::Key_Return)};
  };
  const Item items[] = {
      {ReviewCommand::SetAss, "SetAss", "Назначить сопоставление", enter(Qt::NoModifier)},
      {ReviewCommand::SetDayChange, "SetDayChange", "Назначить в этот день", enter(Qt::ShiftModifier)},
      {ReviewCommand::SetChange, "SetChange", "Назначить в этот раз", enter(Qt::ControlModifier)},
      {ReviewCommand::DelAss, "DelAss", "Снять сопоставление", {QKeySequence(Qt::CTRL | Qt::Key_Delete)}},
      {ReviewCommand::DelOnList, "DelOnList", "Удалить из плейлиста", {QKeySequence(Qt::Key_Delete)}},
      {ReviewCommand::AcceptSuggestion, "AcceptSuggestion", "Принять предложение", {QKeySequence(Qt::Key_Insert)}},
  };
  for (const Item& item : items) {
    if (item.command == ReviewCommand::DelAss) m_menu->addSeparator()->setObjectName(QStringLiteral("N3"));
    if (item.command == ReviewCommand::AcceptSuggestion) m_menu->addSeparator()->setObjectName(QStringLiteral("N4"));
    QAction* action = m_menu->addAction(tr8(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    action->setShortcuts(item.shortcuts);
    action->setShortcutContext(Qt::WidgetShortcut);  // only while the grid has the focus
    m_lines->addAction(action);
    m_actions[static_cast<int>(item.command)] = action;
    connect(action, &QAction::triggered, this, [this, command = item.command] { emit commandRequested(command); });
  }
  m_lines->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_lines, &QTableView::customContextMenuRequested, this,
          [this](const QPoint& pos) { m_menu->popup(m_lines->viewport()->mapToGlobal(pos)); });
  connect(m_lines, &QTableView::doubleClicked, this, [this] { emit commandRequested(ReviewCommand::SetAss); });
  connect(m_lines->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    rememberSelection();
    updateSuggestionActions();
  });
}

QAction* ReviewPage::action(ReviewCommand command) const { return m_actions[static_cast<int>(command)]; }

QToolButton* ReviewPage::SpeedButton1() const { return m_errors->button(); }
QToolButton* ReviewPage::SBEditAss() const { return m_editAss->button(); }
QToolButton* ReviewPage::SBJingles() const { return m_jingles->button(); }
QToolButton* ReviewPage::SBImport() const { return m_import->button(); }
QToolButton* ReviewPage::SBUndo() const { return m_undo->button(); }
QToolButton* ReviewPage::SBAcceptAll() const { return m_acceptAll->button(); }

void ReviewPage::setSuggestions(const assoc::DaySuggestions* suggestions) {
  m_suggestions = suggestions;
  m_linesModel->setSuggestions(suggestions);
}

void ReviewPage::updateSuggestionActions() {
  const int line = selectedLine();
  const auto& list = m_day.Songs[static_cast<std::size_t>(m_tabs->TabIndex())];
  action(ReviewCommand::AcceptSuggestion)
      ->setEnabled(m_suggestions != nullptr && line >= 0 && m_suggestions->For(list[static_cast<std::size_t>(line)]) != nullptr);
  m_acceptAll->button()->setEnabled(m_suggestions != nullptr && assoc::CountSuggestions(m_day, *m_suggestions) > 0);
}

void ReviewPage::CalcLists() {
  const matching::MatchCounts counts = matching::CalcLists(m_day);
  m_counts->item(1, 0)->setText(QString::number(counts.matched));
  m_counts->item(1, 1)->setText(QString::number(counts.unmatched));
}

void ReviewPage::TCHourChange() {
  CalcLists();
  m_refreshing = true;
  // An hour that is not chosen is never listed, whatever it holds.
  m_linesModel->showHour(m_tabs->TabIndex());
  m_lines->setEnabled(m_linesModel->listed());
  if (m_linesModel->listed()) restoreSelection();
  m_refreshing = false;
  rememberSelection();
  updateSuggestionActions();
  FitGridColumns(m_lines, {25, 25, 50});
  // The commands' keys act on the grid: it has the focus whenever it can.
  if (m_lines->isEnabled() && isVisible()) m_lines->setFocus();
  m_tabs->update();
  m_lines->viewport()->update();
}

int ReviewPage::selectedLine() const {
  if (!m_lines->isEnabled()) return -1;
  const auto rows = m_lines->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const int line = rows.front().row();
  const auto& list = m_day.Songs[static_cast<std::size_t>(m_tabs->TabIndex())];
  return line < static_cast<int>(list.size()) ? line : -1;
}

void ReviewPage::rememberSelection() {
  if (m_refreshing) return;
  const int line = selectedLine();
  if (line < 0) return;
  const int hour = m_tabs->TabIndex();
  const core::TSongRec& song = m_day.Songs[static_cast<std::size_t>(hour)][static_cast<std::size_t>(line)];
  m_selected[static_cast<std::size_t>(hour)] = SelectedEntry{line, song.Artist, song.Name, song.Kind};
}

void ReviewPage::restoreSelection() {
  const int hour = m_tabs->TabIndex();
  const auto& list = m_day.Songs[static_cast<std::size_t>(hour)];
  const auto& entry = m_selected[static_cast<std::size_t>(hour)];
  const int size = static_cast<int>(list.size());
  const auto same = [&](int i) {
    if (i < 0 || i >= size) return false;
    const core::TSongRec& song = list[static_cast<std::size_t>(i)];
    return song.Artist == entry->artist && song.Name == entry->name && song.Kind == entry->kind;
  };
  int row = 0;
  // Lines placed or removed before it move the entry: the nearest equal line
  // is the one it was.
  for (int distance = 0; entry && distance < size + entry->index; ++distance) {
    if (same(entry->index - distance)) {
      row = entry->index - distance;
      break;
    }
    if (same(entry->index + distance)) {
      row = entry->index + distance;
      break;
    }
  }
  SelectGridRow(m_lines, row);
}

int ReviewPage::FirstHourToReview(const core::DayPlaylist& day) {
  int first = -1;
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    if (!core::IsHourMatched(day, h)) return h;
    if (first < 0) first = h;
  }
  return first;
}

void ReviewPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_lines->isEnabled()) m_lines->setFocus();
}

bool ReviewPage::eventFilter(QObject* watched, QEvent* event) {
  // The columns share the grid's width 25 : 25 : 50 whenever it changes.
  if (watched == m_lines && event->type() == QEvent::Resize) FitGridColumns(m_lines, {25, 25, 50});
  return QWidget::eventFilter(watched, event);
}

void ReviewPage::fitCounts() {
  // 90 by 18 pixels a cell at the design size; larger when the bold captions need it.
  QFont bold = m_counts->font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int column = std::max(90, metrics.horizontalAdvance(m_counts->item(0, 1)->text()) + 8);
  const int row = std::max(18, metrics.height() + 2);
  m_counts->horizontalHeader()->setMinimumSectionSize(1);
  m_counts->verticalHeader()->setMinimumSectionSize(1);
  m_counts->horizontalHeader()->setDefaultSectionSize(column);
  m_counts->verticalHeader()->setDefaultSectionSize(row);
  m_counts->setFixedSize(2 * column + 2 * m_counts->frameWidth(), 2 * row + 2 * m_counts->frameWidth());
}

}  // namespace ui
