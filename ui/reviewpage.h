// The review page: the hour tabs over the grid of the current hour's lines,
// both coloured by match state, the two counts, and the action bars.
#pragma once

#include <QTableWidget>
#include <QWidget>

#include "core/daymodel.h"

class QAction;
class QMenu;
class QToolButton;

namespace ui {

// The commands of the hour grid's context menu.
enum class ReviewCommand { SetAss, SetDayChange, SetChange, DelAss, DelOnList };

class ButtonBar;
class HourTabs;

class ReviewPage : public QWidget {
  Q_OBJECT

 public:
  ReviewPage(core::DayPlaylist& day, QWidget* parent);

  HourTabs* TCHour() const { return m_tabs; }
  QTableWidget* SGPList() const { return m_lines; }
  QTableWidget* SGLists() const { return m_counts; }
  QToolButton* SpeedButton1() const;
  QToolButton* SBEditAss() const;
  QToolButton* SBJingles() const;
  QToolButton* SBImport() const;
  // "Отменить последний импорт"
  QToolButton* SBUndo() const;
  QMenu* PopupMenu1() const { return m_menu; }
  QAction* action(ReviewCommand command) const;

  // The refresh every change of the day ends with.
  void TCHourChange();
  // The line the selected grid row stands for, or -1.
  int selectedLine() const;

 signals:
  void commandRequested(ui::ReviewCommand command);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CalcLists();
  void layoutGrid();
  void makeMenu();

  core::DayPlaylist& m_day;
  HourTabs* m_tabs;
  QTableWidget* m_lines;
  QTableWidget* m_counts;
  ButtonBar* m_errors;
  ButtonBar* m_editAss;
  ButtonBar* m_jingles;
  ButtonBar* m_import;
  ButtonBar* m_undo;
  QMenu* m_menu;
  QAction* m_actions[5];
};

}  // namespace ui
