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
  // panelName and buttonName become the object names (as the controls are named).
  ButtonBar(const QString& panelName, const QString& buttonName, const QString& caption, QWidget* parent,
            QColor bandStart = QColor(192, 192, 192));
  QToolButton* button() const { return m_button; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class TGradientLabel* m_band;
  QToolButton* m_button;
};

}  // namespace ui
