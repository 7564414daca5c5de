// PC1: the window's page control. Its tab bar keeps every shown page tab
// whole in the window's width: when the captions do not fit with the style's
// padding, the padding shrinks, never the captions.
#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace ui {

class PageTabBar : public QTabBar {
  Q_OBJECT

 public:
  explicit PageTabBar(QWidget* parent = nullptr);
  // The horizontal padding of one tab that lets the shown tabs fit the page
  // control's width, at most the style's own (standard).
  int padding(int standard) const;

 protected:
  void tabLayoutChange() override;
};

class PageControl : public QTabWidget {
  Q_OBJECT

 public:
  explicit PageControl(QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace ui
