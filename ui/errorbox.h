// The one way an error that ends an operator's action reaches the operator:
// an error box with the error's text, after which the window goes on with the
// state the action had reached.
#pragma once

#include <functional>

class QWidget;

namespace ui {

// Runs what a click or a key of the operator started. An exception that ends
// it is shown once, in an error box over owner; returns false then.
bool ShowErrors(QWidget* owner, const std::function<void()>& action);

}  // namespace ui
