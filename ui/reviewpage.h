// The review page: the hour tabs over the grid of the current hour's lines,
// both coloured by match state, the two counts, and the action bars.
#pragma once

#include <QTableView>
#include <QTableWidget>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "core/daymodel.h"

class QAction;
class QMenu;
class QToolButton;

namespace assoc {
class DaySuggestions;
}

namespace ui {

// The commands of the hour grid's context menu.
enum class ReviewCommand { SetAss, SetDayChange, SetChange, DelAss, DelOnList, AcceptSuggestion };

class ButtonBar;
class HourLinesModel;
class HourTabs;

class ReviewPage : public QWidget {
  Q_OBJECT

 public:
  ReviewPage(core::DayPlaylist& day, QWidget* parent);

  HourTabs* TCHour() const { return m_tabs; }
  QTableView* SGPList() const { return m_lines; }
  QTableWidget* SGLists() const { return m_counts; }
  QToolButton* SpeedButton1() const;
  QToolButton* SBEditAss() const;
  QToolButton* SBJingles() const;
  QToolButton* SBImport() const;
  // "Отменить последний импорт"
  QToolButton* SBUndo() const;
  // "Принять все предложения": enabled while a chosen hour has a suggestion.
  QToolButton* SBAcceptAll() const;
  // The suggestions the grid shows; "Принять предложение" is enabled on a
  // line that has one.
  void setSuggestions(const assoc::DaySuggestions* suggestions);
  QMenu* PopupMenu1() const { return m_menu; }
  QAction* action(ReviewCommand command) const;

  // The refresh every change of the day ends with. The selection stays on
  // the entry it was on in this hour when that entry is still there, else it
  // goes to the first row.
  void TCHourChange();
  // The line the selected grid row stands for, or -1 (also while the grid is
  // disabled).
  int selectedLine() const;
  // Where the review opens after a check when the current hour is not chosen:
  // the first chosen hour with an unmatched line, else the first chosen hour;
  // -1 when none is chosen.
  static int FirstHourToReview(const core::DayPlaylist& day);

 signals:
  void commandRequested(ui::ReviewCommand command);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The entry a selection stood on: its place and what identifies it when
  // lines before it come or go.
  struct SelectedEntry {
    int index = 0;
    std::string artist;
    std::string name;
    int kind = 0;
  };

  void rememberSelection();
  void restoreSelection();
  void CalcLists();
  void fitCounts();
  void makeMenu();
  void updateSuggestionActions();

  core::DayPlaylist& m_day;
  HourTabs* m_tabs;
  QTableView* m_lines;
  HourLinesModel* m_linesModel;
  QTableWidget* m_counts;
  ButtonBar* m_errors;
  ButtonBar* m_editAss;
  ButtonBar* m_jingles;
  ButtonBar* m_import;
  ButtonBar* m_undo;
  ButtonBar* m_acceptAll;
  QMenu* m_menu;
  QAction* m_actions[6];
  const assoc::DaySuggestions* m_suggestions = nullptr;
  std::array<std::optional<SelectedEntry>, core::kHours> m_selected;
  bool m_refreshing = false;  // the grid is being refilled; its selection changes are the program's
};

}  // namespace ui
