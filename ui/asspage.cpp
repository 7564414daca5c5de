#include "ui/asspage.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "ui/gridmodels.h"
#include "ui/gridutil.h"
#include "ui/qtext.h"

namespace ui {

AssPage::AssPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabAss"));
  m_grid = new QTableView(this);
  m_model = new AssociationModel(this);
  m_grid->setModel(m_model);
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
  connect(m_grid, &QTableView::doubleClicked, this, &AssPage::changeRequested);
  connect(m_grid, &QTableView::customContextMenuRequested, this,
          [this](const QPoint& pos) { m_menu->popup(m_grid->viewport()->mapToGlobal(pos)); });
}

void AssPage::show(const std::vector<assoc::AssociationRow>& rows) {
  const int selected = m_grid->currentIndex().row();
  m_model->setRows(rows);
  SelectGridRow(m_grid, std::max(0, selected));
}

std::optional<assoc::AssociationRow> AssPage::selectedRow() const {
  // The row as read from the table, not as the grid shows it.
  const int row = m_grid->currentIndex().row();
  if (row < 0 || row >= m_model->rowCount()) return std::nullopt;
  return m_model->row(row);
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
