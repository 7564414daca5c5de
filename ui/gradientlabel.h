// The band gradient behind every button bar of the program: a label that
// paints a colour gradient in bands and nothing else (the bars' buttons lie
// over it).
#pragma once

#include <QColor>
#include <QWidget>
#include <utility>
#include <vector>

namespace ui {

enum class TGradientStyle { gsNone, gsBottom, gsLeft, gsRight, gsTop };

// n colours from `from` towards `to` (the last one short of `to` by one step),
// each component rounded down to a multiple of 2^roundBit.
std::vector<QColor> GradientColors(QColor from, QColor to, int n, int roundBit);
// The band i of n over a length: [first, last) along the gradient.
std::pair<int, int> GradientBand(int i, int length, int n);

struct TGradient {
  int ColorSteps = 64;                       // 1..255
  QColor EndColor = QColor(192, 192, 192);   // silver
  QColor StartColor = QColor(128, 128, 128); // grey
  TGradientStyle Style = TGradientStyle::gsLeft;
};

class TGradientLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TGradientLabel(QWidget* parent = nullptr);

  // The look of every button bar: gsBottom, white to `start` (silver), 64 bands.
  static TGradientLabel* makeBand(QWidget* panel, QColor start = QColor(192, 192, 192));

  const TGradient& gradient() const { return m_gradient; }
  void setGradient(const TGradient& gradient);

  // The colour painted in each band, top to bottom or left to right.
  std::vector<QColor> bandColors() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintBands(class QPainter& painter) const;

  TGradient m_gradient;
};

}  // namespace ui
