#include "ui/buttonbar.h"

#include "ui/gradientlabel.h"

namespace ui {

ButtonBar::ButtonBar(const QString& panelName, const QString& buttonName, const QString& caption, QWidget* parent,
                     QColor bandStart)
    : QFrame(parent) {
  setObjectName(panelName);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  m_band = TGradientLabel::makeBand(this, bandStart);
  m_button = new QToolButton(this);
  m_button->setObjectName(buttonName);
  m_button->setText(caption);
  m_button->setAutoRaise(true);  // flat: no frame until the pointer is over it
  m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QFont bold = m_button->font();
  bold.setBold(true);
  m_button->setFont(bold);
  resize(180, 33);
}

void ButtonBar::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  const QRect inner = contentsRect();
  m_band->setGeometry(inner);
  m_button->setGeometry(inner);
}

}  // namespace ui
