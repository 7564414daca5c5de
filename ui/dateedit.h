// DEDay: a date typed as dd.mm.yyyy, or chosen in a calendar; it may stay
// empty, which the program reads as no date.
#pragma once

#include <QWidget>
#include <optional>

#include "core/datetime.h"

class QLineEdit;
class QToolButton;

namespace ui {

class DateEdit : public QWidget {
  Q_OBJECT

 public:
  explicit DateEdit(QWidget* parent = nullptr);

  QLineEdit* edit() const { return m_edit; }
  // The date shown; nothing when the edit is empty, typed only in part, or
  // not a date.
  std::optional<core::TDateTime> date() const;
  void setDate(core::TDateTime date);
  void clear();

 private:
  void openCalendar();

  QLineEdit* m_edit;
  QToolButton* m_button;
};

}  // namespace ui
