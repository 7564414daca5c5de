#include "ui/errorbox.h"

#include <QMessageBox>
#include <exception>

#include "ui/qtext.h"

namespace ui {

bool ShowErrors(QWidget* owner, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    QMessageBox::critical(owner, owner->window()->windowTitle(), toQ(e.what()));
    return false;
  }
}

}  // namespace ui
