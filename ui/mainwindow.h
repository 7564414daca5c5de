// TFrmTxt, the program's one window: the six pages that lead the operator
// from a text playlist to rows in the automation system's playlist table.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "assoc/suggestions.h"
#include "core/daymodel.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "db/station.h"
#include "matching/operatorui.h"
#include "readers/readcontext.h"

class QPlainTextEdit;
class QTabWidget;
class QTableWidget;

namespace ui {

class AssPage;
class DatePage;
class FilePage;
class MessageBoxUi;
class ReviewPage;
class SettingsPage;
enum class ReviewCommand;

class TFrmTxt : public QMainWindow {
  Q_OBJECT

 public:
  // settingsFile: the settings beside the program; programFolder: the default
  // folder of the association table.
  TFrmTxt(const std::string& settingsFile, const std::string& programFolder, QWidget* parent = nullptr);
  ~TFrmTxt() override;

  QTabWidget* PC1() const { return m_pages; }
  FilePage* filePage() const { return m_filePage; }
  DatePage* datePage() const { return m_datePage; }
  ReviewPage* reviewPage() const { return m_reviewPage; }
  SettingsPage* settingsPage() const { return m_settingsPage; }
  AssPage* assPage() const { return m_assPage; }
  QPlainTextEdit* MemError() const { return m_errors; }
  core::DayPlaylist& day() { return m_day; }
  const core::TSetts& setts() const { return m_setts; }
  const db::StationPaths& paths() const { return m_station.paths(); }

  // Questions, messages and pickers go to message boxes and dialogs; tests
  // put a scripted operator in their place.
  void setOperatorUi(matching::OperatorUi* ui);
  // The name of the layout that a Method value reads; an open that finds no
  // playlist line names it.
  static std::string LayoutName(int method);

  const assoc::DaySuggestions& suggestions() const { return m_suggestions; }

  // The jingle placement's random draw (tests fix it).
  void setRandom(std::function<int(int)> random) { m_random = std::move(random); }

  void SBOpenClick();
  void SBCheckClick();
  void SpeedButton1Click();
  void runReviewCommand(ReviewCommand command);
  void SBEditAssClick();
  void SBJinglesClick();
  void SBImportClick();
  void SBUndoClick();
  void SBAcceptAllClick();
  void SBSaveParmsClick();
  void PC1Change();
  void ShowAssociate();

  // Runs an operator action; an exception that ends it is shown once in an
  // error box and the window goes on. While one action runs (its pauses let
  // clicks through), another one does not start.
  void runAction(const std::function<void()>& action);

 private:
  // Why a listed name cannot be opened, or nothing.
  static std::optional<std::string> unreadableName(const std::string& folder, const std::string& name);
  void FormCreate();
  void showPage(QWidget* page);
  // "Отменить последний импорт" is enabled while this station has an import to undo.
  void updateUndo();

  core::IniFile m_settingsFile;
  std::string m_programFolder;
  core::TSetts m_setts;
  core::DayPlaylist m_day;
  readers::ReadingState m_reading;
  db::Station m_station;  // the tables, at the paths of the last check
  assoc::DaySuggestions m_suggestions;  // of the last check
  std::unique_ptr<MessageBoxUi> m_boxes;
  matching::OperatorUi* m_ui;
  std::function<int(int)> m_random;  // the shuffle of the jingle placement
  bool m_busy = false;               // an operator action runs
  bool m_listingMissed = false;      // the folder tree moved while an action ran
  bool m_pageChangeMissed = false;   // the page changed while an action ran

  QTabWidget* m_pages;
  FilePage* m_filePage;
  DatePage* m_datePage;
  ReviewPage* m_reviewPage;
  AssPage* m_assPage;
  QPlainTextEdit* m_errors;
  SettingsPage* m_settingsPage;
};

}  // namespace ui
