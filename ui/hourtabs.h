// TCHour: 24 hour tabs in two rows of 12, drawn by the program in the colour
// of the hour's match state, above the area that holds the hour grid.
#pragma once

#include <QWidget>

#include "core/daymodel.h"

namespace ui {

class HourTabs : public QWidget {
  Q_OBJECT

 public:
  HourTabs(const core::DayPlaylist& day, QWidget* parent);

  int TabIndex() const { return m_index; }
  void setTabIndex(int index);
  // Holds the hour grid below the tabs.
  void setPage(QWidget* page);
  int tabWidth() const;
  int tabHeight() const;
  int tabsHeight() const { return 2 * tabHeight() + 2; }
  QRect tabRect(int index) const;
  // The area below the tabs.
  QRect pageRect() const;

 signals:
  void currentChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const core::DayPlaylist& m_day;
  int m_index = 0;
};

}  // namespace ui
