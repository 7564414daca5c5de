#include "ui/asspage.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "ui/gridutil.h"
#include "ui/qtext.h"

namespace ui {

AssPage::AssPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabAss"));
  m_grid = new QTableWidget(1, 3, this);
  m_grid->setObjectName(QStringLiteral("SGAss"));
  m_grid->verticalHeader()->hide();
  SetRowHeight(m_grid, 16);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setCursor(Qt::PointingHandCursor);
  m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_grid);
  ClearGrid(m_grid);
  m_grid->installEventFilter(this);  // the columns follow the grid's width

  m_menu = new QMenu(this);
  m_menu->setObjectName(QStringLiteral("MenuASS"));
  m_change = m_menu->addAction(tr8("Изменить сопоставление"));
  m_change->setObjectName(QStringLiteral("NChange"));
  m_change->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});  // shown as "Enter"
  m_delete = m_menu->addAction(tr8("Удалить сопоставление"));
  m_delete->setObjectName(QStringLiteral("N2"));
  m_delete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
  for (QAction* action : {m_change, m_delete}) {
    action->setShortcutContext(Qt::WidgetShortcut);
    m_grid->addAction(action);
  }
  connect(m_change, &QAction::triggered, this, &AssPage::changeRequested);
  connect(m_delete, &QAction::triggered, this, &AssPage::deleteRequested);
  connect(m_grid, &QTableWidget::cellDoubleClicked, this, &AssPage::changeRequested);
  connect(m_grid, &QTableWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { m_menu->popup(m_grid->viewport()->mapToGlobal(pos)); });
}

void AssPage::show(const std::vector<assoc::AssociationRow>& rows) {
  const int selected = m_grid->currentRow();
  m_grid->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    m_grid->setItem(r, 0, new QTableWidgetItem(toQ(row.artist)));
    m_grid->setItem(r, 1, new QTableWidgetItem(toQ(row.name)));
    m_grid->setItem(r, 2, new QTableWidgetItem(toQ(row.path)));
  }
  if (m_grid->rowCount() > 0) SelectGridRow(m_grid, std::max(0, selected));
}

std::optional<assoc::AssociationRow> AssPage::selectedRow() const {
  const int row = m_grid->currentRow();
  if (row < 0 || row >= m_grid->rowCount()) return std::nullopt;
  const auto text = [this, row](int column) {
    const QTableWidgetItem* item = m_grid->item(row, column);
    return item ? fromQ(item->text()) : std::string();
  };
  return assoc::AssociationRow{text(0), text(1), text(2)};
}

bool AssPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_grid && event->type() == QEvent::Resize) {
    const int w = m_grid->width();
    m_grid->setColumnWidth(0, w / 4 - 2);
    m_grid->setColumnWidth(1, w / 4 - 2);
    m_grid->setColumnWidth(2, w / 2 - 2);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ui
