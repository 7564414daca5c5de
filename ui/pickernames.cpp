#include "ui/pickernames.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>

#include "ui/errorbox.h"
#include "ui/qtext.h"

namespace ui {

void SelectListRow(QListWidget* list, int row) {
  const QSignalBlocker quiet(list);
  list->setCurrentRow(row);
}

PickerNames::PickerNames(QListWidget* list, QLineEdit* edit, QToolButton* save)
    : m_widget(list), m_edit(edit), m_save(save) {
  // The handler follows the selection however it moves: mouse, keys, or the
  // search below (which runs it itself, with the list's signals blocked).
  QObject::connect(m_widget, &QListWidget::itemSelectionChanged, m_widget,
                   [this] { ShowErrors(m_widget, [this] { LBNameClick(); }); });
  QObject::connect(m_edit, &QLineEdit::textChanged, m_edit, [this] { ShowErrors(m_edit, [this] { ENameChange(); }); });
}

void PickerNames::fill(matching::PickerList names) {
  m_list = std::move(names);
  const QSignalBlocker quiet(m_widget);
  m_widget->clear();
  for (const auto& name : m_list.names) m_widget->addItem(toQ(name));
}

void PickerNames::LBNameClick() {
  m_resPath.clear();
  const int row = m_widget->currentRow();
  if (row < 0 || !m_widget->currentItem()->isSelected()) {
    m_save->setEnabled(false);
    return;
  }
  if (!m_nameLock) {
    m_nameLock = true;
    m_edit->setText(toQ(m_list.names[static_cast<std::size_t>(row)]));
    m_nameLock = false;
  }
  m_save->setEnabled(true);
  m_resPath = m_list.Paths[static_cast<std::size_t>(row)];
}

void PickerNames::ENameChange() {
  if (m_nameLock) return;
  const int found = matching::IncrementalSearch(m_list.names, fromQ(m_edit->text()));
  if (found < 0) return;
  m_nameLock = true;
  SelectListRow(m_widget, found);
  LBNameClick();
  m_nameLock = false;
}

}  // namespace ui
