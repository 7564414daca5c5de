#include "ui/gradientlabel.h"

#include <QPainter>
#include <algorithm>

namespace ui {

std::vector<QColor> GradientColors(QColor from, QColor to, int n, int roundBit) {
  std::vector<QColor> colors;
  if (n < 1) return colors;
  colors.reserve(static_cast<std::size_t>(n));
  const auto step = [n](int f, int t, int i) { return static_cast<int>(f + (t - f) / static_cast<double>(n) * i); };
  const auto round = [roundBit](int c) { return (c >> roundBit) << roundBit; };
  for (int i = 0; i < n; ++i) {
    colors.emplace_back(round(step(from.red(), to.red(), i)), round(step(from.green(), to.green(), i)),
                        round(step(from.blue(), to.blue(), i)));
  }
  return colors;
}

std::pair<int, int> GradientBand(int i, int length, int n) {
  const auto mulDiv = [](long long a, long long b, long long c) {
    return static_cast<int>((a * b + c / 2) / c);  // rounded, as the Windows MulDiv
  };
  return {mulDiv(i, length, n), mulDiv(i + 1, length, n)};
}

TGradientLabel::TGradientLabel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TGradientLabel* TGradientLabel::makeBand(QWidget* panel, QColor start) {
  auto* label = new TGradientLabel(panel);
  TGradient g;
  g.Style = TGradientStyle::gsBottom;
  g.EndColor = Qt::white;
  g.StartColor = start;
  g.ColorSteps = 64;
  label->setGradient(g);
  return label;
}

void TGradientLabel::setGradient(const TGradient& gradient) {
  m_gradient = gradient;
  m_gradient.ColorSteps = std::clamp(m_gradient.ColorSteps, 1, 255);
  update();
}

std::vector<QColor> TGradientLabel::bandColors() const {
  const int n = m_gradient.ColorSteps;
  const QColor start = m_gradient.StartColor;
  const QColor end = m_gradient.EndColor;
  switch (m_gradient.Style) {
    case TGradientStyle::gsNone:
      return {start};
    case TGradientStyle::gsLeft:
    case TGradientStyle::gsTop:
      return GradientColors(start, end, n, 0);
    case TGradientStyle::gsBottom:
    case TGradientStyle::gsRight:
      return GradientColors(end, start, n, 0);
  }
  return {start};
}

void TGradientLabel::paintBands(QPainter& painter) const {
  const auto colors = bandColors();
  if (m_gradient.Style == TGradientStyle::gsNone) {
    painter.fillRect(rect(), colors.front());
    return;
  }
  const bool vertical = m_gradient.Style == TGradientStyle::gsLeft || m_gradient.Style == TGradientStyle::gsRight;
  const int length = vertical ? width() : height();
  const int n = static_cast<int>(colors.size());
  for (int i = 0; i < n; ++i) {
    const auto [first, last] = GradientBand(i, length, n);
    if (last <= first) continue;
    const QRect band = vertical ? QRect(first, 0, last - first, height()) : QRect(0, first, width(), last - first);
    painter.fillRect(band, colors[static_cast<std::size_t>(i)]);
  }
}

void TGradientLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintBands(painter);
}

}  // namespace ui
