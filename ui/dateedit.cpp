#include "ui/dateedit.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

#include "ui/qtext.h"

namespace ui {

DateEdit::DateEdit(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  m_edit = new QLineEdit(this);
  m_edit->setInputMask(QStringLiteral("99.99.9999;_"));
  m_button = new QToolButton(this);
  m_button->setText(QStringLiteral("..."));
  layout->addWidget(m_edit);
  layout->addWidget(m_button);
  connect(m_button, &QToolButton::clicked, this, &DateEdit::openCalendar);
}

std::optional<core::TDateTime> DateEdit::date() const {
  // Only a date typed to its last digit is one: "11.12.20__" is no date,
  // not a day of the year 2020.
  if (!m_edit->hasAcceptableInput()) return std::nullopt;
  return core::StrToDate(fromQ(m_edit->text()));
}

void DateEdit::setDate(core::TDateTime date) { m_edit->setText(toQ(core::DateToStr(date))); }

void DateEdit::clear() { m_edit->clear(); }

void DateEdit::openCalendar() {
  QMenu popup(this);
  auto* calendar = new QCalendarWidget(&popup);
  calendar->setFirstDayOfWeek(Qt::Monday);
  const auto shown = date();
  if (shown) {
    const core::CivilDate d = core::DecodeDate(*shown);
    calendar->setSelectedDate(QDate(d.year, d.month, d.day));
  }
  auto* action = new QWidgetAction(&popup);
  action->setDefaultWidget(calendar);
  popup.addAction(action);
  connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](const QDate& day) {
    setDate(core::EncodeDate(day.year(), day.month(), day.day()));
    popup.close();
  });
  popup.exec(m_edit->mapToGlobal(QPoint(0, m_edit->height())));
}

}  // namespace ui
