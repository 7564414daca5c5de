// TJinglesForm: the jingle placement dialog. Every jingle of the jingle base
// with a check mark, the interval, and Принять.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "import/jingles.h"
#include "matching/operatorui.h"

class QListWidget;
class QSpinBox;
class QToolButton;

namespace ui {

class ButtonBar;

class TJinglesForm : public QDialog {
  Q_OBJECT

 public:
  TJinglesForm(matching::OperatorUi& ui, QWidget* parent = nullptr);

  // Lists the table's jingles, every one ticked.
  void Load(const std::string& TablePath);
  void HaveCheckAll(bool state);
  // The choice of the accepted dialog.
  const std::optional<importing::JingleChoice>& choice() const { return m_choice; }

  QListWidget* RxJingles() const { return m_list; }
  QSpinBox* RxStep() const { return m_step; }
  QToolButton* SpeedButton1() const { return m_clearAll; }
  QToolButton* SpeedButton2() const { return m_all; }
  QToolButton* SBSave() const;

 private:
  void SBSaveClick();

  matching::OperatorUi& m_ui;
  std::vector<importing::TJingleRec> m_jingleList;
  std::optional<importing::JingleChoice> m_choice;
  QListWidget* m_list;
  QToolButton* m_all;
  QToolButton* m_clearAll;
  QSpinBox* m_step;
  ButtonBar* m_save;
};

// Shows the dialog for the jingle base of the folder; the choice when accepted.
std::optional<importing::JingleChoice> ShowJinglesForm(const std::string& folder, matching::OperatorUi& ui,
                                                       QWidget* parent);

}  // namespace ui
