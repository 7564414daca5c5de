#include "ui/pagecontrol.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>

namespace ui {
namespace {

constexpr int kLeastPadding = 6;

// The application's style, with the tab padding the bar asks for.
class PageTabStyle : public QProxyStyle {
 public:
  PageTabStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    const int standard = QProxyStyle::pixelMetric(metric, option, widget);
    const auto* bar = qobject_cast<const PageTabBar*>(widget);
    return metric == PM_TabBarTabHSpace && bar != nullptr ? bar->padding(standard) : standard;
  }
};

}  // namespace

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
  auto* style = new PageTabStyle();
  style->setParent(this);
  setStyle(style);
}

int PageTabBar::padding(int standard) const {
  const QWidget* control = parentWidget();
  if (control == nullptr) return standard;
  int captions = 0;
  int shown = 0;
  for (int i = 0; i < count(); ++i) {
    if (!isTabVisible(i)) continue;
    captions += fontMetrics().horizontalAdvance(tabText(i)) + 1;
    ++shown;
  }
  if (shown == 0) return standard;
  // A pixel per tab for the style's frame between tabs.
  const int fitting = (control->width() - captions) / shown - 2;
  return std::clamp(fitting, std::min(kLeastPadding, standard), standard);
}

void PageTabBar::tabLayoutChange() {
  QTabBar::tabLayoutChange();
  updateGeometry();
}

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) { setTabBar(new PageTabBar(this)); }

void PageControl::resizeEvent(QResizeEvent* event) {
  QTabWidget::resizeEvent(event);
  // The padding depends on the width: the bar measures its tabs again.
  QEvent changed(QEvent::StyleChange);
  QApplication::sendEvent(tabBar(), &changed);
}

}  // namespace ui
