// The window's side of the operator interface: message boxes, the progress
// panel of the date page and the picker dialogs.
#pragma once

#include <QWidget>

#include "matching/operatorui.h"

namespace assoc {
class DaySuggestions;
}

namespace ui {

class DatePage;

class MessageBoxUi : public matching::OperatorUi {
 public:
  MessageBoxUi(QWidget* owner, DatePage* progress) : m_owner(owner), m_progress(progress) {}
  // The song picker opens on a line's suggestion when its artist is not in the base.
  void setSuggestions(const assoc::DaySuggestions* suggestions) { m_suggestions = suggestions; }

  void showError(const std::string& text) override;
  bool askYesNo(const std::string& question) override;
  void showDone(const std::string& text, const std::string& informative) override;
  void showErrorDetails(const std::string& text, const std::string& informative) override;
  void showInfo(const std::string& text) override;
  void showWarning(const std::string& text) override;
  // Да, Нет, Нет для всех, Да для всех, in this order; Нет is the default.
  matching::Answer askBatch(const std::string& question) override;
  void ShowIndicator(const std::string& text, int current, int overall) override;
  std::string GetSongPath(const std::string& tablePath, const std::string& prefix, const std::string& artist,
                          const std::string& name) override;
  std::string GetJinglePath(const std::string& tablePath, const std::string& prefix,
                            const std::string& name) override;

 private:
  QWidget* m_owner;
  DatePage* m_progress;
  const assoc::DaySuggestions* m_suggestions = nullptr;
};

}  // namespace ui
