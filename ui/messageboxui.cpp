#include "ui/messageboxui.h"

#include <QMessageBox>

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
  const auto answer = QMessageBox::question(
      m_owner, m_owner->windowTitle(), toQ(question),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::NoToAll | QMessageBox::YesToAll, QMessageBox::Yes);
  switch (answer) {
    case QMessageBox::Yes: return matching::Answer::Yes;
    case QMessageBox::No: return matching::Answer::No;
    case QMessageBox::NoToAll: return matching::Answer::NoToAll;
    case QMessageBox::YesToAll: return matching::Answer::YesToAll;
    default: return matching::Answer::Cancel;
  }
}

void MessageBoxUi::ShowIndicator(const std::string& text, int current, int overall) {
  m_progress->ShowIndicator(text, current, overall);
}

std::string MessageBoxUi::GetSongPath(const std::string& tablePath, const std::string& prefix, const std::string& artist,
                                      const std::string& name) {
  return ui::GetSongPath(m_owner, tablePath, prefix, artist, name);
}

std::string MessageBoxUi::GetJinglePath(const std::string& tablePath, const std::string& prefix,
                                        const std::string& name) {
  return ui::GetJinglePath(m_owner, tablePath, prefix, name);
}

}  // namespace ui
