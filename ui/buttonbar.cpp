#include "ui/buttonbar.h"

#include <QGridLayout>
#include <algorithm>

#include "ui/gradientlabel.h"

namespace ui {
namespace {

constexpr int kDesignHeight = 33;

}  // namespace

ButtonBar::ButtonBar(const QString& panelName, const QString& buttonName, const QString& caption, QWidget* parent,
                     QColor bandStart, int designWidth)
    : QFrame(parent), m_designWidth(designWidth) {
  setObjectName(panelName);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  m_band = TGradientLabel::makeBand(this, bandStart);
  m_button = new QToolButton(this);
  m_button->setObjectName(buttonName);
  m_button->setText(caption);
  m_button->setAutoRaise(true);  // flat: no frame until the pointer is over it
  m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  m_button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  QFont bold = m_button->font();
  bold.setBold(true);
  m_button->setFont(bold);
  // The band is white to silver whatever the palette: the caption is black.
  QPalette captionColours = m_button->palette();
  captionColours.setColor(QPalette::ButtonText, Qt::black);
  captionColours.setColor(QPalette::WindowText, Qt::black);
  m_button->setPalette(captionColours);
  // The band and the button share the panel's inside: the band shows through
  // the flat button.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_band, 0, 0);
  layout->addWidget(m_button, 0, 0);
  m_band->lower();
}

QSize ButtonBar::sizeHint() const {
  const int frame = 2 * frameWidth();
  const QSize caption = m_button->sizeHint();
  return QSize(std::max(m_designWidth, caption.width() + 16 + frame), std::max(kDesignHeight, caption.height() + frame));
}

}  // namespace ui
