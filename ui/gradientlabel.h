// The band gradient behind every button bar of the program: a label that
// paints a colour gradient in bands, an optional caption with a right-aligned
// sub-caption, bound lines and a glyph, and can drag its window.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <vector>

namespace ui {

enum class TGradientStyle { gsNone, gsBottom, gsLeft, gsRight, gsTop, dsBound };
enum class TGlyphMode { gmNormal, gmOverlayed };
enum class TTextAlignmt { taCenter, taLeft, taRight };
enum TBoundLine { blLeft = 1, blTop = 2, blRight = 4, blBottom = 8 };

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

struct TSubCaption {
  QString Caption;
  QColor Color = QColor(0, 0, 0);
  bool Ellipsis = false;
  int Size = 8;
  int Margin = 8;
  QFont::Weight Weight = QFont::Normal;
};

class TGradientLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TGradientLabel(QWidget* parent = nullptr);

  // The look of every button bar: gsBottom, white to `start` (silver), 64 bands.
  static TGradientLabel* makeBand(QWidget* panel, QColor start = QColor(192, 192, 192));

  const TGradient& gradient() const { return m_gradient; }
  void setGradient(const TGradient& gradient);
  int roundBit() const { return m_roundBit; }
  void setRoundBit(int bits);  // clamped to 0..7

  QString caption() const { return m_caption; }
  void setCaption(const QString& caption);
  TTextAlignmt alignment() const { return m_alignment; }
  // Refused (except taLeft) while a sub-caption is set.
  void setAlignment(TTextAlignmt alignment);
  const TSubCaption& subCaption() const { return m_subCaption; }
  void setSubCaption(const TSubCaption& sub);  // a caption forces taLeft

  void setBoundLines(int lines, QColor color = QColor(128, 128, 128));
  void setGlyph(const QPixmap& glyph, TGlyphMode mode = TGlyphMode::gmNormal);
  int numGlyphs() const { return m_numGlyphs; }
  void setMargin(int margin);
  void setSpacing(int spacing);
  void setFormMove(bool on) { m_formMove = on; }
  bool formMove() const { return m_formMove; }

  // The colour painted in each band, top to bottom or left to right.
  std::vector<QColor> bandColors() const;

 signals:
  void clicked();
  void doubleClicked();
  void glyphClicked();
  void glyphDoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool onGlyph(int x) const;
  void paintBands(class QPainter& painter) const;

  TGradient m_gradient;
  int m_roundBit = 0;
  QString m_caption;
  TTextAlignmt m_alignment = TTextAlignmt::taLeft;
  TSubCaption m_subCaption;
  int m_boundLines = 0;
  QColor m_boundColor = QColor(128, 128, 128);
  QPixmap m_glyph;
  int m_numGlyphs = 1;
  TGlyphMode m_glyphMode = TGlyphMode::gmNormal;
  int m_margin = 5;
  int m_spacing = 5;
  bool m_formMove = false;
};

}  // namespace ui
