#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "core/codec.h"
#include "demostation/demostation.h"
#include "ui/buttonbar.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/hourtabs.h"
#include "ui/jinglepicker.h"
#include "ui/jinglesform.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "ui/songpicker.h"
#include "scriptedui.h"

namespace ui {

// Every page and dialog at the font sizes of Windows' 100 %, 125 % and 150 %
// display scaling: no visible control overlaps another, every caption fits
// its control.
class LayoutTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  demo::DemoStation m_station;
  QFont m_font;

  // Controls drawn as one piece: their own children are the toolkit's.
  static bool isLeaf(const QWidget* w) {
    return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const QProgressBar*>(w) || qobject_cast<const ButtonBar*>(w);
  }

  static QString name(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className()) + '/' + w->objectName() +
           (qobject_cast<const QLabel*>(w) ? ' ' + static_cast<const QLabel*>(w)->text() : QString());
  }

  static void captionFits(const QWidget* w, QStringList& faults) {
    QSize needed;
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
      if (!label->wordWrap() && !label->text().isEmpty()) needed = label->minimumSizeHint();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      if (!button->text().isEmpty()) needed = button->minimumSizeHint();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
      needed = QSize(group->fontMetrics().horizontalAdvance(group->title()), group->fontMetrics().height());
    }
    // A grid that shows no scroll bars must show all its cells.
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(w)) {
      if (area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff && area->verticalScrollBar()->maximum() > 0) {
        faults << name(w) + QStringLiteral(" hides cells");
      }
    }
    if (needed.isValid() && (w->width() < needed.width() || w->height() < needed.height())) {
      faults << QStringLiteral("%1: %2x%3 < %4x%5")
                    .arg(name(w))
                    .arg(w->width())
                    .arg(w->height())
                    .arg(needed.width())
                    .arg(needed.height());
    }
  }

  static void check(const QWidget* parent, QStringList& faults) {
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children()) {
      const auto* w = qobject_cast<const QWidget*>(o);
      if (w == nullptr || w->isWindow() || !w->isVisible()) continue;
      shown << w;
      captionFits(w, faults);
      if (!isLeaf(w)) check(w, faults);
    }
    for (int i = 0; i < shown.size(); ++i) {
      if (!parent->rect().contains(shown[i]->geometry()) && !shown[i]->objectName().startsWith("qt_")) {
        faults << name(shown[i]) + QStringLiteral(" leaves ") + name(parent);
      }
      for (int j = i + 1; j < shown.size(); ++j) {
        if (shown[i]->geometry().intersects(shown[j]->geometry())) {
          faults << name(shown[i]) + QStringLiteral(" overlaps ") + name(shown[j]);
        }
      }
    }
  }

  static QStringList faultsOf(QWidget* window) {
    QStringList faults;
    check(window, faults);
    return faults;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_station = demo::MakeDemoStation(fromQ(m_dir.path()) + "/station");
    m_font = QApplication::font();
  }

  void cleanup() { QApplication::setFont(m_font); }

  void everyPage_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("125 %") << 1.25;
    QTest::newRow("150 %") << 1.5;
  }

  void everyPage() {
    QFETCH(double, scale);
    QFont font = m_font;
    font.setPointSizeF(m_font.pointSizeF() * scale);
    QApplication::setFont(font);
    TFrmTxt window(m_station.settingsFile, fromQ(m_dir.path()));
    ScriptedUi script;
    script.answers = {matching::Answer::NoToAll};
    window.setOperatorUi(&script);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTableWidget* files = window.filePage()->SGFiles();
    QTRY_COMPARE(files->rowCount(), 5);
    files->selectRow(1);
    window.SBOpenClick();
    window.datePage()->setImportDate(m_station.day);
    window.datePage()->ShowIndicator(core::cp1251("Проверка"), 50, 50);  // the progress panel, shown
    QStringList faults = faultsOf(&window);
    window.SBCheckClick();
    window.SBEditAssClick();
    window.SpeedButton1Click();
    for (int i = 0; i < window.PC1()->count(); ++i) {
      window.PC1()->setCurrentIndex(i);
      faults << faultsOf(&window);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
  }

  // The largest difference in lightness between a pixel of the area and its
  // background: text that stands out reaches well over 128.
  static int contrast(const QImage& image, const QRect& area) {
    const int background = image.pixelColor(area.topLeft() + QPoint(2, 2)).lightness();
    int most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        most = std::max(most, std::abs(image.pixelColor(x, y).lightness() - background));
      }
    }
    return most;
  }

  static QImage shot(QWidget* w) {
    QImage image(w->size(), QImage::Format_RGB32);
    w->render(&image);
    return image;
  }

  // The count grid is display only (disabled), but its captions read like
  // enabled text.
  void countCaptionsAreNotGreyedOut() {
    core::DayPlaylist day;
    ReviewPage page(day, nullptr);
    page.show();
    QTableWidget* counts = page.SGLists();
    const QImage image = shot(counts->viewport());
    for (int c = 0; c < 2; ++c) {
      QVERIFY(contrast(image, counts->visualRect(counts->model()->index(0, c)).adjusted(1, 1, -1, -1)) >= 128);
    }
  }

  // A dark palette: every fixed background still carries readable text.
  void darkPaletteStaysReadable() {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
      dark.setColor(group, QPalette::Window, QColor(45, 45, 45));
      dark.setColor(group, QPalette::Button, QColor(53, 53, 53));
      dark.setColor(group, QPalette::Base, QColor(30, 30, 30));
      for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        dark.setColor(group, role, QColor(230, 230, 230));
      }
    }
    // Disabled text stays grey: the display-only count grid must not use it.
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(90, 90, 90));
    QApplication::setPalette(dark);
    TFrmTxt window(m_station.settingsFile, fromQ(m_dir.path()));
    ScriptedUi script;
    script.answers = {matching::Answer::NoToAll};
    window.setOperatorUi(&script);
    window.show();
    QTableWidget* files = window.filePage()->SGFiles();
    QTRY_COMPARE(files->rowCount(), 5);
    files->selectRow(1);
    window.SBOpenClick();
    window.datePage()->setImportDate(m_station.day);
    window.day().HourSetts[5] = false;
    QTableWidget* hours = window.datePage()->SGHour();
    const QImage hourCells = shot(hours->viewport());
    QStringList dim;
    const auto expect = [&dim](const QString& what, int value) {
      if (value < 128) dim << QStringLiteral("%1: %2").arg(what).arg(value);
    };
    expect("hour number", contrast(hourCells, hours->visualRect(hours->model()->index(0, 9))));
    expect("chosen hour's count", contrast(hourCells, hours->visualRect(hours->model()->index(1, 9))));
    expect("hour not chosen", contrast(hourCells, hours->visualRect(hours->model()->index(1, 5))));
    window.SBCheckClick();
    HourTabs* tabs = window.reviewPage()->TCHour();
    const QImage tabImage = shot(tabs);
    expect("matched hour tab", contrast(tabImage, tabs->tabRect(7)));
    expect("unmatched hour tab", contrast(tabImage, tabs->tabRect(8)));
    expect("hour tab not chosen", contrast(tabImage, tabs->tabRect(5)));
    QTableWidget* counts = window.reviewPage()->SGLists();
    const QImage countImage = shot(counts->viewport());
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 2; ++c) {
        const QRect cell = counts->visualRect(counts->model()->index(r, c)).adjusted(1, 1, -1, -1);
        expect(QStringLiteral("count %1,%2").arg(r).arg(c), contrast(countImage, cell));
      }
    }
    QToolButton* import = window.reviewPage()->SBImport();
    expect("button bar caption", contrast(shot(import->parentWidget()), import->geometry().adjusted(4, 4, -4, -4)));
    QApplication::setPalette(light);
    QVERIFY2(dim.isEmpty(), qPrintable(dim.join('\n')));
  }

  void everyDialog_data() { everyPage_data(); }

  void everyDialog() {
    QFETCH(double, scale);
    QFont font = m_font;
    font.setPointSizeF(m_font.pointSizeF() * scale);
    QApplication::setFont(font);
    TFr_GetPath songs(m_station.folder + "Mirvane/BaseSong.db");
    songs.preset("P", "A", "B");
    TFr_GetJinglePath jingles(m_station.folder + "Mirvane/Jingles.db");
    ScriptedUi script;
    TJinglesForm placement(script);
    placement.Load(m_station.folder + "Mirvane/Jingles.db");
    QStringList faults;
    for (QWidget* dialog : std::initializer_list<QWidget*>{&songs, &jingles, &placement}) {
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      faults << faultsOf(dialog);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
  }
};

}  // namespace ui

QTEST_MAIN(ui::LayoutTest)
#include "layout_test.moc"
