#include "ui/gradientlabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
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

void TGradientLabel::setRoundBit(int bits) {
  m_roundBit = std::clamp(bits, 0, 7);
  update();
}

void TGradientLabel::setCaption(const QString& caption) {
  m_caption = caption;
  update();
}

void TGradientLabel::setAlignment(TTextAlignmt alignment) {
  if (!m_subCaption.Caption.isEmpty() && alignment != TTextAlignmt::taLeft) return;
  m_alignment = alignment;
  update();
}

void TGradientLabel::setSubCaption(const TSubCaption& sub) {
  m_subCaption = sub;
  if (m_subCaption.Caption.isEmpty()) m_subCaption.Ellipsis = false;
  if (!m_subCaption.Caption.isEmpty()) m_alignment = TTextAlignmt::taLeft;
  update();
}

void TGradientLabel::setBoundLines(int lines, QColor color) {
  m_boundLines = lines;
  m_boundColor = color;
  update();
}

void TGradientLabel::setGlyph(const QPixmap& glyph, TGlyphMode mode) {
  m_glyph = glyph;
  m_glyphMode = mode;
  m_numGlyphs = 1;
  if (!glyph.isNull() && glyph.height() > 0 && glyph.width() % glyph.height() == 0) {
    m_numGlyphs = std::clamp(glyph.width() / glyph.height(), 1, 4);
  }
  update();
}

void TGradientLabel::setMargin(int margin) {
  m_margin = std::clamp(margin, 0, 255);
  update();
}

void TGradientLabel::setSpacing(int spacing) {
  m_spacing = std::clamp(spacing, 0, 255);
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
      return GradientColors(start, end, n, m_roundBit);
    case TGradientStyle::gsBottom:
    case TGradientStyle::gsRight:
      return GradientColors(end, start, n, m_roundBit);
    case TGradientStyle::dsBound: {
      // Colour i fills band i and band 2n-i-2 (from 0), so the colours meet in
      // the middle; the bands left over at the far edge take EndColor, so that
      // both edges show it.
      const int half = std::max(1, n / 2);
      const auto colors = GradientColors(end, start, half, m_roundBit);
      std::vector<QColor> bands(static_cast<std::size_t>(n), colors.front());
      for (int i = 0; i < half; ++i) {
        bands[static_cast<std::size_t>(i)] = colors[static_cast<std::size_t>(i)];
        const int mirror = 2 * half - i - 2;
        if (mirror >= 0 && mirror < n) bands[static_cast<std::size_t>(mirror)] = colors[static_cast<std::size_t>(i)];
      }
      return bands;
    }
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

  painter.setPen(m_boundColor);
  if (m_boundLines & blLeft) painter.drawLine(0, 0, 0, height() - 2);
  if (m_boundLines & blTop) painter.drawLine(0, 0, width() - 2, 0);
  if (m_boundLines & blRight) painter.drawLine(width() - 1, 0, width() - 1, height() - 2);
  if (m_boundLines & blBottom) painter.drawLine(0, height() - 1, width() - 2, height() - 1);

  int x = m_margin;
  if (!m_glyph.isNull()) {
    const int imageWidth = m_glyph.width() / m_numGlyphs;
    int w = imageWidth;
    int h = m_glyph.height();
    if (width() < w) {
      w = width() - 2;
      h -= 4 * (imageWidth - w);
    }
    if (height() < h) {
      const int imageHeight = m_glyph.height();
      h = height() - 2;
      w -= (imageHeight - h) / 4;
    }
    painter.drawPixmap(QRect(m_margin, (height() - h) / 2, w, h), m_glyph, QRect(0, 0, imageWidth, m_glyph.height()));
    if (m_glyphMode == TGlyphMode::gmNormal) x = m_margin + w + m_spacing;
  }

  QFont subFont = font();
  subFont.setPointSize(m_subCaption.Size);
  subFont.setWeight(m_subCaption.Weight);
  const QString subText = m_subCaption.Caption + (m_subCaption.Ellipsis ? QStringLiteral("...") : QString());
  const QFontMetrics subMetrics(subFont);

  if (!m_caption.isEmpty()) {
    const QFontMetrics metrics(font());
    const int room = width() - x - subMetrics.horizontalAdvance(subText) - m_subCaption.Margin -
                     metrics.horizontalAdvance(QStringLiteral("... "));
    QString text = m_caption;
    bool shortened = false;
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > room) {
      text.chop(1);
      shortened = true;
    }
    if (shortened && !text.isEmpty()) text += QStringLiteral("...");
    const Qt::Alignment align = m_alignment == TTextAlignmt::taCenter  ? Qt::AlignHCenter
                                : m_alignment == TTextAlignmt::taRight ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(x, 0, 0, 0), align | Qt::AlignVCenter | Qt::TextSingleLine, text);
  }
  if (!m_subCaption.Caption.isEmpty() && subMetrics.horizontalAdvance(subText) + 8 < width()) {
    painter.setFont(subFont);
    painter.setPen(m_subCaption.Color);
    painter.drawText(rect().adjusted(0, 0, -m_subCaption.Margin, 0), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     subText);
  }
}

bool TGradientLabel::onGlyph(int x) const {
  return !m_glyph.isNull() && x >= m_margin && x <= m_margin + m_glyph.width();
}

void TGradientLabel::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (m_formMove && window()->windowHandle()) window()->windowHandle()->startSystemMove();
  if (onGlyph(event->position().toPoint().x())) {
    emit glyphClicked();
  } else {
    emit clicked();
  }
}

void TGradientLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (onGlyph(event->position().toPoint().x())) {
    emit glyphDoubleClicked();
  } else {
    emit doubleClicked();
  }
}

}  // namespace ui
