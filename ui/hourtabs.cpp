#include "ui/hourtabs.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "matching/review.h"
#include "ui/colors.h"

namespace ui {

HourTabs::HourTabs(const core::DayPlaylist& day, QWidget* parent) : QWidget(parent), m_day(day) {
  setObjectName(QStringLiteral("TCHour"));
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
}

void HourTabs::setTabIndex(int index) {
  if (index < 0 || index >= core::kHours || index == m_index) return;
  m_index = index;
  update();
  emit currentChanged(index);
}

void HourTabs::setPage(QWidget* page) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, tabsHeight() + 2, 2, 2);
  layout->addWidget(page);
}

int HourTabs::tabWidth() const { return width() / 12 - 10; }

// 20 pixels at the design size; taller when the bold numbers need it.
int HourTabs::tabHeight() const { return std::max(20, fontMetrics().height() + 4); }

QRect HourTabs::tabRect(int index) const {
  const int row = index / 12;
  const int column = index % 12;
  // The tabs share the row's width; the drawn width is the tab width the
  // control was given, the remainder spreads between them.
  const int step = width() / 12;
  return QRect(column * step + 2, row * (tabHeight() + 1), std::max(1, tabWidth() + 8), tabHeight());
}

QRect HourTabs::pageRect() const { return QRect(0, tabsHeight(), width(), height() - tabsHeight()); }

void HourTabs::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int h = 0; h < core::kHours; ++h) {
    const QRect r = tabRect(h);
    // Black on the fixed colours, the palette's pair on the button face.
    QColor background;
    QColor text = Qt::black;
    switch (matching::TabState(m_day, h)) {
      case matching::HourTabState::NotChosen: background = kSilver; break;
      case matching::HourTabState::Matched:
        background = palette().color(QPalette::Button);
        text = palette().color(QPalette::ButtonText);
        break;
      case matching::HourTabState::Unmatched: background = kLightRed; break;
    }
    painter.fillRect(r, background);
    if (h == m_index) {
      painter.setPen(Qt::black);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter.setPen(text);
    painter.drawText(r, Qt::AlignCenter, QString::number(h));
  }
}

void HourTabs::mousePressEvent(QMouseEvent* event) {
  for (int h = 0; h < core::kHours; ++h) {
    if (tabRect(h).contains(event->position().toPoint())) {
      setTabIndex(h);
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

}  // namespace ui
