// What the logic of an operator action says to, and asks of, the operator:
// messages, questions, progress and the two pickers. The window implements it
// with message boxes, the progress panel and the picker dialogs; the command
// line answers without asking; tests answer from a script. Texts are CP1251.
#pragma once

#include <string>


namespace matching {

// The answers of a batch question (Yes, No, No to All, Yes to All); closing
// the box gives Cancel, which changes nothing like No.
enum class Answer { Yes, No, NoToAll, YesToAll, Cancel };

class OperatorUi {
 public:
  virtual ~OperatorUi() = default;
  virtual void showError(const std::string& text) = 0;     // error icon, OK
  virtual bool askYesNo(const std::string& question) = 0;  // true only for Yes
  virtual void showInfo(const std::string& text) = 0;     // information icon, OK
  virtual void showWarning(const std::string& text) = 0;  // warning icon, OK
  // An error with a second line saying where or why (informative text in
  // the window, a second line on the command line).
  virtual void showErrorDetails(const std::string& text, const std::string& informative) {
    showError(text + "\n" + informative);
  }
  // The end of an action: information icon, OK, and what it did as the box's
  // informative text.
  virtual void showDone(const std::string& text, const std::string& informative) {
    (void)informative;
    showInfo(text);
  }
  // Confirmation with Yes, No, No to All and Yes to All.
  virtual Answer askBatch(const std::string& question) = 0;
  // Progress panel: an empty text with a negative current hides it; an empty
  // text keeps the caption; an overall of 0 or less keeps the overall gauge.
  // The window pauses 10 ms and processes waiting events after each report.
  virtual void ShowIndicator(const std::string& text, int current, int overall) = 0;
  // The song picker: the chosen path as the table holds it, or empty.
  virtual std::string GetSongPath(const std::string& tablePath, const std::string& prefix,
                                  const std::string& artist, const std::string& name) = 0;
  // The jingle picker: the chosen path as the table holds it, or empty.
  virtual std::string GetJinglePath(const std::string& tablePath, const std::string& prefix,
                                    const std::string& name) = 0;
};

}  // namespace matching
