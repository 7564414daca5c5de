#include <QImage>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "demostation/demostation.h"
#include "ui/colors.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/hourtabs.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "scriptedui.h"

namespace ui {

// What a grid shows in a cell.
QString cell(const QTableView* grid, int row, int column) {
  return grid->model()->index(row, column).data().toString();
}

class ReviewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  demo::DemoStation m_station;
  std::unique_ptr<TFrmTxt> m_window;
  ScriptedUi m_script;

  static QColor tabColour(HourTabs* tabs, int hour) {
    QImage image(tabs->size(), QImage::Format_RGB32);
    tabs->render(&image);
    return image.pixelColor(tabs->tabRect(hour).topLeft() + QPoint(3, 3));
  }

  static QColor rowColour(QTableView* grid, int row) {
    QImage image(grid->viewport()->size(), QImage::Format_RGB32);
    grid->viewport()->render(&image);
    return image.pixelColor(grid->visualRect(grid->model()->index(row, 0)).topLeft() + QPoint(1, 1));
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_station = demo::MakeDemoStation(fromQ(m_dir.path()) + "/station");
    // Start without an association base: the check offers to create it.
    QVERIFY(QFile::remove(toQ(m_station.folder + "Association.db")));
    m_window = std::make_unique<TFrmTxt>(m_station.settingsFile, fromQ(m_dir.path()));
    m_window->setOperatorUi(&m_script);
    QTableWidget* files = m_window->filePage()->SGFiles();
    QTRY_COMPARE(files->model()->rowCount(), 5);
    files->selectRow(1);  // mirvane.txt
    QTest::mouseClick(m_window->filePage()->findChild<QToolButton*>(QStringLiteral("SBOpen")), Qt::LeftButton);
    QCOMPARE(m_window->PC1()->currentWidget(), static_cast<QWidget*>(m_window->datePage()));
  }

  void checkRefusesAnEmptyDateAfterOfferingTheAssociationBase() {
    m_script.answers = {matching::Answer::No};
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);
    QCOMPARE(m_script.said.back(), std::string("Не найдена база ассоциаций. Создать базу?"));
    m_script.answers = {matching::Answer::Yes};
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);
    QCOMPARE(m_script.said.back(), std::string("Укажите дату плейлиста!"));
    QVERIFY(!m_window->PC1()->isTabVisible(m_window->PC1()->indexOf(m_window->reviewPage())));
  }

  void checkFillsTheReview() {
    m_window->datePage()->setImportDate(m_station.day);
    m_window->day().HourSetts[5] = false;
    ReviewPage* review = m_window->reviewPage();
    review->TCHour()->setTabIndex(5);
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);
    // Hour 5 is not chosen: the review opens on the first hour with a miss.
    QCOMPARE(review->TCHour()->TabIndex(), 8);
    QCOMPARE(m_window->PC1()->currentWidget(), static_cast<QWidget*>(review));
    QVERIFY(m_script.progressReports > 0);

    // The day misses two songs (hours 8 and 12); hour 5 is not chosen.
    int lines = 0;
    for (int h = 0; h < core::kHours; ++h) lines += h == 5 ? 0 : static_cast<int>(m_window->day().Songs[h].size());
    QCOMPARE(review->SGLists()->item(1, 1)->text(), QStringLiteral("2"));
    QCOMPARE(review->SGLists()->item(1, 0)->text(), QString::number(lines - 2));

    HourTabs* tabs = review->TCHour();
    QCOMPARE(tabColour(tabs, 8), kLightRed);
    QCOMPARE(tabColour(tabs, 5), kSilver);
    QCOMPARE(tabColour(tabs, 7), tabs->palette().color(QPalette::Button));

    tabs->setTabIndex(8);
    QTableView* grid = review->SGPList();
    QVERIFY(grid->isEnabled());
    QCOMPARE(grid->model()->rowCount(), static_cast<int>(m_window->day().Songs[8].size()));
    QCOMPARE(cell(grid, 5, 0), tr8("Неизвестный артист"));
    grid->clearSelection();
    QCOMPARE(rowColour(grid, 5), kLightRed);
    QCOMPARE(rowColour(grid, 0), QColor(Qt::white));
    QVERIFY(cell(grid, 0, 2).startsWith(QStringLiteral("C:\\MUSIC\\")));  // stored upper-cased

    tabs->setTabIndex(9);  // the jingle line of the day, matched through the jingle base
    int jingle = -1;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
      if (cell(grid, r, 0).isEmpty()) jingle = r;
    }
    QVERIFY(jingle >= 0);
    QCOMPARE(rowColour(grid, jingle), kLightCyan);

    tabs->setTabIndex(5);
    QVERIFY(!grid->isEnabled());
    QCOMPARE(grid->model()->rowCount(), 1);
  }

  // The grid shows the day itself, not copies taken at the last refresh.
  void gridShowsTheDayAsItIs() {
    ReviewPage* review = m_window->reviewPage();
    review->TCHour()->setTabIndex(8);
    QTableView* grid = review->SGPList();
    core::TSongRec& missing = m_window->day().Songs[8][5];
    core::SetPath(missing, "C:\\Music\\Found.mp3");
    grid->clearSelection();
    QCOMPARE(cell(grid, 5, 2), QStringLiteral("C:\\Music\\Found.mp3"));
    QCOMPARE(rowColour(grid, 5), QColor(Qt::white));
    core::SetPath(missing, "");
    QCOMPARE(cell(grid, 5, 2), QString());
    QCOMPARE(rowColour(grid, 5), kLightRed);
  }

  void errorListNamesEveryUnmatchedLine() {
    QTest::mouseClick(m_window->reviewPage()->SpeedButton1(), Qt::LeftButton);
    QPlainTextEdit* memo = m_window->MemError();
    QCOMPARE(m_window->PC1()->currentWidget(), memo->parentWidget());
    const QStringList lines = memo->toPlainText().split('\n');
    // Hour 5 was not chosen, so the check left its lines unmatched: they are
    // listed too, before the two misses of the chosen hours.
    const auto hour5 = static_cast<int>(m_window->day().Songs[5].size());
    QCOMPARE(lines.size(), hour5 + 2);
    QVERIFY(lines.front().startsWith(QStringLiteral("5 1 ")));
    QCOMPARE(lines.mid(hour5), (QStringList{tr8("8 6 Неизвестный артист - Новая песня"),
                                            QStringLiteral("12 1 Unknown Band - Lost Song")}));
  }
};

}  // namespace ui

QTEST_MAIN(ui::ReviewTest)
#include "review_test.moc"
