// An operator who answers from a script and records what the program said.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/codec.h"
#include "matching/operatorui.h"

namespace ui {

class ScriptedUi : public matching::OperatorUi {
 public:
  std::deque<matching::Answer> answers;  // for askYesNo and askBatch; Cancel when empty
  std::deque<std::string> paths;         // for the pickers; empty when none is left
  std::vector<std::string> said;         // every text shown or asked, as UTF-8
  int progressReports = 0;
  std::function<void()> onProgress;  // what the operator does while the window pauses

  void showError(const std::string& text) override { said.push_back(core::cp1251ToUtf8(text)); }
  bool askYesNo(const std::string& question) override { return next(question) == matching::Answer::Yes; }
  void showInfo(const std::string& text) override { said.push_back(core::cp1251ToUtf8(text)); }
  void showWarning(const std::string& text) override { said.push_back(core::cp1251ToUtf8(text)); }
  matching::Answer askBatch(const std::string& question) override { return next(question); }
  void ShowIndicator(const std::string&, int, int) override {
    ++progressReports;
    if (onProgress) onProgress();
  }
  std::string GetSongPath(const std::string&, const std::string& prefix, const std::string&,
                          const std::string&) override {
    return pick(prefix);
  }
  std::string GetJinglePath(const std::string&, const std::string& prefix, const std::string&) override {
    return pick(prefix);
  }

 private:
  matching::Answer next(const std::string& question) {
    said.push_back(core::cp1251ToUtf8(question));
    if (answers.empty()) return matching::Answer::Cancel;
    const auto a = answers.front();
    answers.pop_front();
    return a;
  }
  std::string pick(const std::string& prefix) {
    said.push_back(core::cp1251ToUtf8(prefix));
    if (paths.empty()) return {};
    std::string p = paths.front();
    paths.pop_front();
    return p;
  }
};

}  // namespace ui
