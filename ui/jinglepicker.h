// TFr_GetJinglePath: the jingle picker, one list of the jingle base's names
// searched as the operator types.
#pragma once

#include <QDialog>
#include <memory>
#include <string>


class QLineEdit;
class QListWidget;
class QToolButton;

namespace ui {

class ButtonBar;

class TFr_GetJinglePath : public QDialog {
  Q_OBJECT

 public:
  ~TFr_GetJinglePath() override;
  // Fills the list from the table (FormCreate); a table that cannot be read
  // is reported in an error box and the list stays empty.
  TFr_GetJinglePath(const std::string& baseFile, QWidget* parent = nullptr);

  void preset(const std::string& prefix, const std::string& name);
  const std::string& ResPath() const;

  QListWidget* LBName() const { return m_names; }
  QLineEdit* EName() const { return m_nameEdit; }
  QToolButton* SBSave() const;
  QToolButton* SBCancel() const;

 private:
  std::string m_baseFile;
  QListWidget* m_names;
  QLineEdit* m_nameEdit;
  ButtonBar* m_save;
  ButtonBar* m_cancel;
  std::unique_ptr<class PickerNames> m_list;
};

std::string GetJinglePath(QWidget* parent, const std::string& tablePath, const std::string& prefix,
                          const std::string& name);

}  // namespace ui
