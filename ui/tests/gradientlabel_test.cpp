#include "ui/gradientlabel.h"

#include <QImage>
#include <QtTest>

#include "ui/qtext.h"

namespace ui {

class GradientLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void bandLookOfTheButtonBars() {
    QWidget panel;
    panel.resize(200, 43);
    auto* label = TGradientLabel::makeBand(&panel);
    label->resize(panel.size());  // a button bar's layout gives it the panel's inside
    QImage image(label->size(), QImage::Format_RGB32);
    label->render(&image);
    QCOMPARE(image.pixelColor(100, 0), QColor(Qt::white));
    const QColor bottom = image.pixelColor(100, 42);
    QCOMPARE(bottom.red(), 192);  // trunc(255 - 63/64 * 63): a step short of silver, truncated
    // Colours only darken downwards.
    for (int y = 1; y < 43; ++y) QVERIFY(image.pixelColor(100, y).red() <= image.pixelColor(100, y - 1).red());
  }

  void colourTable_data() {
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("roundBit");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("red");
    QTest::newRow("first is the start") << 64 << 0 << 0 << 255;
    QTest::newRow("last stops a step short") << 64 << 0 << 63 << 192;
    QTest::newRow("one step is the start colour") << 1 << 0 << 0 << 255;
    QTest::newRow("round bit 7 leaves 0 or 128") << 64 << 7 << 10 << 128;
  }
  void colourTable() {
    QFETCH(int, steps);
    QFETCH(int, roundBit);
    QFETCH(int, index);
    QFETCH(int, red);
    const auto colors = GradientColors(Qt::white, QColor(192, 192, 192), steps, roundBit);
    QCOMPARE(static_cast<int>(colors.size()), steps);
    QCOMPARE(colors[static_cast<std::size_t>(index)].red(), red);
  }

  void bandsCoverTheLengthWithoutGaps() {
    int covered = 0;
    for (int i = 0; i < 64; ++i) {
      const auto [first, last] = GradientBand(i, 43, 64);
      QCOMPARE(first, covered);
      QVERIFY(last >= first);
      covered = last;
    }
    QCOMPARE(covered, 43);
  }

  void textCrossesThroughTheCodePage() {
    const QString ru = QString::fromUtf8("Джингл ё");
    QCOMPARE(toQ(fromQ(ru)), ru);
    QCOMPARE(fromQ(QString::fromUtf8("a中")), std::string("a?"));
  }
};

}  // namespace ui

QTEST_MAIN(ui::GradientLabelTest)
#include "gradientlabel_test.moc"
