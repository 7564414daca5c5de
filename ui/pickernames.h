// The list of names a picker offers, with the file path behind each name,
// and the edit under it: a click selects a name and copies it into the edit,
// typing selects the first name not less than the text; Принять is enabled
// while a name is selected.
#pragma once

#include <string>
#include <vector>

#include "matching/pickerlists.h"

class QLineEdit;
class QListWidget;
class QToolButton;

namespace ui {

// Selects a row without running the list's selection handler; the caller
// runs it.
void SelectListRow(QListWidget* list, int row);

class PickerNames {
 public:
  PickerNames(QListWidget* list, QLineEdit* edit, QToolButton* save);

  // Replaces the names; nothing is selected afterwards.
  void fill(matching::PickerList names);
  const std::vector<std::string>& names() const { return m_list.names; }
  // The path of the selected name; empty when none is selected.
  const std::string& ResPath() const { return m_resPath; }
  void clearResPath() { m_resPath.clear(); }

  void LBNameClick();
  void ENameChange();

 private:
  QListWidget* m_widget;
  QLineEdit* m_edit;
  QToolButton* m_save;
  matching::PickerList m_list;
  std::string m_resPath;
  bool m_nameLock = false;  // set while the program writes into the edit or the list
};

}  // namespace ui
