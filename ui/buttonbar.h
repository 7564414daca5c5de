// A button bar of the program: a panel with a lowered bevel, the gradient band
// filling it, and one flat button with a bold caption exactly covering it.
#pragma once

#include <QFrame>
#include <QString>
#include <QToolButton>

namespace ui {

class ButtonBar : public QFrame {
  Q_OBJECT

 public:
  // panelName and buttonName become the object names (as the controls are
  // named). The bar is designWidth by 33 pixels at the design size, and
  // grows when its caption needs more.
  ButtonBar(const QString& panelName, const QString& buttonName, const QString& caption, QWidget* parent,
            QColor bandStart = QColor(192, 192, 192), int designWidth = 200);
  QToolButton* button() const { return m_button; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 private:
  class TGradientLabel* m_band;
  QToolButton* m_button;
  int m_designWidth;
};

}  // namespace ui
