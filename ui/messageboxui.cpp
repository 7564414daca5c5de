#include "ui/messageboxui.h"

#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "assoc/suggestions.h"
#include "ui/datepage.h"
#include "ui/jinglepicker.h"
#include "ui/songpicker.h"
#include "ui/qtext.h"

namespace ui {

void MessageBoxUi::showError(const std::string& text) {
  QMessageBox::critical(m_owner, m_owner->windowTitle(), toQ(text));
}

bool MessageBoxUi::askYesNo(const std::string& question) {
  return QMessageBox::question(m_owner, m_owner->windowTitle(), toQ(question), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

void MessageBoxUi::showErrorDetails(const std::string& text, const std::string& informative) {
  QMessageBox box(QMessageBox::Critical, m_owner->windowTitle(), toQ(text), QMessageBox::Ok, m_owner);
  box.setInformativeText(toQ(informative));
  box.exec();
}

void MessageBoxUi::showDone(const std::string& text, const std::string& informative) {
  QMessageBox box(QMessageBox::Information, m_owner->windowTitle(), toQ(text), QMessageBox::Ok, m_owner);
  box.setInformativeText(toQ(informative));
  box.exec();
}

void MessageBoxUi::showInfo(const std::string& text) {
  QMessageBox::information(m_owner, m_owner->windowTitle(), toQ(text));
}

void MessageBoxUi::showWarning(const std::string& text) {
  QMessageBox::warning(m_owner, m_owner->windowTitle(), toQ(text));
}

matching::Answer MessageBoxUi::askBatch(const std::string& question) {
  // The buttons stand in this order on every platform, and No is the
  // default: a hurried Enter never deletes every row at once. Closing the
  // box answers No.
  QMessageBox box(QMessageBox::Question, m_owner->windowTitle(), toQ(question), QMessageBox::NoButton, m_owner);
  const struct {
    const char* caption;
    matching::Answer answer;
  } buttons[] = {{"Да", matching::Answer::Yes},
                 {"Нет", matching::Answer::No},
                 {"Нет для всех", matching::Answer::NoToAll},
                 {"Да для всех", matching::Answer::YesToAll}};
  std::vector<std::pair<QAbstractButton*, matching::Answer>> answers;
  for (const auto& b : buttons) answers.emplace_back(box.addButton(tr8(b.caption), QMessageBox::ActionRole), b.answer);
  auto* no = qobject_cast<QPushButton*>(answers[1].first);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  for (const auto& [button, answer] : answers) {
    if (box.clickedButton() == button) return answer;
  }
  return matching::Answer::Cancel;
}

void MessageBoxUi::ShowIndicator(const std::string& text, int current, int overall) {
  m_progress->ShowIndicator(text, current, overall);
}

std::string MessageBoxUi::GetSongPath(const std::string& tablePath, const std::string& prefix, const std::string& artist,
                                      const std::string& name) {
  const auto start = m_suggestions ? m_suggestions->PickerStart(artist, name) : std::nullopt;
  return ui::GetSongPath(m_owner, tablePath, prefix, artist, name, start ? &*start : nullptr);
}

std::string MessageBoxUi::GetJinglePath(const std::string& tablePath, const std::string& prefix,
                                        const std::string& name) {
  return ui::GetJinglePath(m_owner, tablePath, prefix, name);
}

}  // namespace ui
