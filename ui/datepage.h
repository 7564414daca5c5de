// The second page: which hours to import (hour grid and templates), the date,
// the playlist handling, the check button and its progress panel.
#pragma once

#include <QTableWidget>
#include <QWidget>
#include <string>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/inifile.h"

class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QRadioButton;
class QToolButton;

namespace ui {

class ButtonBar;
class DateEdit;

// SGHour: row 0 the hour numbers, row 1 the entry counts; a double click
// flips the hour of the current cell (the header row never becomes current).
class HourGrid : public QTableWidget {
  Q_OBJECT

 public:
  HourGrid(core::DayPlaylist& day, QWidget* parent);
  void Fill_HourSetts();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void fitToFont();

  core::DayPlaylist& m_day;
};

class DatePage : public QWidget {
  Q_OBJECT

 public:
  DatePage(core::DayPlaylist& day, core::IniFile& settingsFile, QWidget* parent);

  HourGrid* SGHour() const { return m_hours; }
  QComboBox* CBHours() const { return m_templates; }
  DateEdit* DEDay() const { return m_date; }
  QToolButton* SBCheck() const;

  // Fills the template box from the settings file; selects the first template.
  void loadTemplates();
  // The template selected in the box, trimmed; empty when the text was typed.
  std::string selectedTemplate() const;
  void CBHoursChange();
  void SBSaveHourClick();

  // The import date; an empty edit reads as day zero.
  core::TDateTime importDate() const;
  void setImportDate(core::TDateTime date);
  int clearMode() const;  // 0 hours, 1 whole day, 2 none

  // Progress panel: an empty text with a negative current hides it.
  void ShowIndicator(const std::string& text, int current, int overall);

 signals:
  void checkRequested();
  void saveTemplateRequested();
  void templateChosen();

 private:
  core::DayPlaylist& m_day;
  core::IniFile& m_settingsFile;
  HourGrid* m_hours;
  QComboBox* m_templates;
  DateEdit* m_date;
  QRadioButton* m_clear[3];
  ButtonBar* m_check;
  QFrame* m_indicator;
  QLabel* m_status;
  QProgressBar* m_current;
  QProgressBar* m_overall;
};

}  // namespace ui
