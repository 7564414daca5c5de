#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "core/codec.h"
#include "db/query.h"
#include "demostation/demostation.h"
#include "ui/asspage.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/hourtabs.h"
#include "ui/jinglesform.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "scriptedui.h"

namespace ui {

// What a grid shows in a cell.
QString cell(const QTableView* grid, int row, int column) {
  return grid->model()->index(row, column).data().toString();
}

// The review grid's commands, the association base page, the jingle dialog
// and the import, driven through the window's widgets on the demo station.
class CommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  demo::DemoStation m_station;
  std::unique_ptr<TFrmTxt> m_window;
  ScriptedUi m_script;

  ReviewPage* review() const { return m_window->reviewPage(); }
  QTableView* grid() const { return review()->SGPList(); }

  // Shows an hour and selects one of its lines with a click, as the operator does.
  void selectLine(int hour, int line) {
    review()->TCHour()->setTabIndex(hour);
    const QRect area = grid()->visualRect(grid()->model()->index(line, 0));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, area.center());
    grid()->setFocus();
    QCOMPARE(review()->selectedLine(), line);
  }

  int associationRows(const std::string& artist) {
    db::Query q;
    q.Add("SELECT * FROM " + db::Quoted(m_station.folder + "Association.db") + " WHERE FArtist=" + db::Quoted(artist));
    q.Open();
    return q.RecordCount();
  }

  QByteArray playlistBytes() const {
    QFile file(toQ(m_station.folder + "Mirvane/PlayList.db"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // A field of the rows PlayList.db holds for an hour of the demo's day.
  std::vector<int> hourRows(int hour, const char* field) const {
    db::Query q;
    q.Add("SELECT * FROM " + db::Quoted(m_station.folder + "Mirvane/PlayList.db"));
    q.Add("WHERE FDate=" + db::Quoted(core::DateToStr(m_station.day)) + " AND FHour=" + std::to_string(hour));
    q.Open();
    std::vector<int> values;
    for (; !q.Eof(); q.Next()) values.push_back(q.FieldAsInteger(field));
    return values;
  }

  const core::TSongRec& line(int hour, int index) { return m_window->day().Songs[hour][static_cast<std::size_t>(index)]; }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_station = demo::MakeDemoStation(fromQ(m_dir.path()) + "/station");
    m_window = std::make_unique<TFrmTxt>(m_station.settingsFile, fromQ(m_dir.path()));
    m_window->setOperatorUi(&m_script);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTableWidget* files = m_window->filePage()->SGFiles();
    QTRY_COMPARE(files->model()->rowCount(), 5);
    files->selectRow(1);  // mirvane.txt
    m_window->SBOpenClick();
    m_window->datePage()->setImportDate(m_station.day);
    m_script.answers = {matching::Answer::NoToAll};  // keep the demo's stale row
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);
    QCOMPARE(m_window->PC1()->currentWidget(), static_cast<QWidget*>(review()));
  }

  // Right after the check the grid has the focus and a selected row: the
  // keys act without a click, the keypad's Enter like the main one.
  void keysActWithoutAPriorClick() {
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
    QCOMPARE(review()->selectedLine(), 0);
    QVERIFY(!line(0, 0).Path.empty());
    m_script.said.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_script.said, std::vector<std::string>{"Файл уже имеет сопоставление. Заменить ?"});
    review()->TCHour()->setTabIndex(1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(m_script.said.back(), std::string("Вы действительно хотите удалить файл из плейлиста ?"));
    QCOMPARE(m_script.said.size(), std::size_t{2});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_script.said.size(), std::size_t{3});
  }

  void menusNameTheKeys() {
    QStringList shown;
    for (QAction* a : review()->PopupMenu1()->actions()) {
      if (!a->isSeparator()) shown << a->shortcut().toString(QKeySequence::PortableText);
    }
    QCOMPARE(shown, (QStringList{"Enter", "Shift+Enter", "Ctrl+Enter", "Ctrl+Del", "Del", "Ins"}));
    QCOMPARE(m_window->assPage()->NChange()->shortcut().toString(QKeySequence::PortableText), QStringLiteral("Enter"));
  }

  // The selection belongs to an entry: it comes back with its hour, follows
  // the entry when lines are placed before it, and survives a check.
  void selectionStaysOnItsEntry() {
    selectLine(8, 3);
    review()->TCHour()->setTabIndex(10);
    QCOMPARE(review()->selectedLine(), 0);
    review()->TCHour()->setTabIndex(8);
    QCOMPARE(review()->selectedLine(), 3);
    auto& hour8 = m_window->day().Songs[8];
    core::TSongRec jingle;
    jingle.Kind = core::kKindJingle;
    jingle.Name = "Placed";
    hour8.insert(hour8.begin(), jingle);
    review()->TCHourChange();
    QCOMPARE(review()->selectedLine(), 4);
    m_script.answers = {matching::Answer::NoToAll};
    m_window->datePage()->SBCheck()->click();
    QCOMPARE(review()->TCHour()->TabIndex(), 8);
    QCOMPARE(review()->selectedLine(), 4);
    const core::TSongRec entry = hour8[4];
    hour8.erase(hour8.begin() + 4);  // the entry itself goes: the first row
    review()->TCHourChange();
    QCOMPARE(review()->selectedLine(), 0);
    hour8.insert(hour8.begin() + 4, entry);
    hour8.erase(hour8.begin());
    review()->TCHourChange();
  }

  void enterTeachesAMatchToEveryEqualLine() {
    // Hour 8, line 6 is the demo's unknown song; the same song is added to hour 10.
    core::AppendSong(m_window->day(), 10, line(8, 5).Artist, line(8, 5).Name, core::kKindSong);
    selectLine(8, 5);
    m_script.paths = {"C:\\Music\\New.mp3"};
    QTest::keyClick(grid(), Qt::Key_Return);
    QCOMPARE(line(8, 5).Path, std::string("C:\\Music\\New.mp3"));
    QCOMPARE(m_window->day().Songs[10].back().Path, std::string("C:\\Music\\New.mp3"));
    QCOMPARE(associationRows(core::cp1251("Неизвестный артист")), 1);
    QCOMPARE(review()->SGLists()->item(1, 1)->text(), QStringLiteral("1"));
  }

  void doubleClickAsksBeforeReplacingAMatch() {
    selectLine(8, 5);
    m_script.answers = {matching::Answer::No};
    const QPoint line5 = grid()->visualRect(grid()->model()->index(5, 0)).center();
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, line5);
    QCOMPARE(m_script.said.back(), std::string("Файл уже имеет сопоставление. Заменить ?"));
    QCOMPARE(associationRows(core::cp1251("Неизвестный артист")), 1);
  }

  void shortcutsAssignForTheDayAndForOneLine() {
    selectLine(12, 0);  // Unknown Band - Lost Song
    m_script.paths = {"C:\\Music\\Lost.mp3"};
    QTest::keyClick(grid(), Qt::Key_Return, Qt::ControlModifier);  // this time only
    QCOMPARE(line(12, 0).Path, std::string("C:\\Music\\Lost.mp3"));
    QCOMPARE(m_script.said.back(), std::string("Заменить файл в плейлисте"));
    QCOMPARE(associationRows("Unknown Band"), 0);

    selectLine(12, 1);
    m_script.paths = {"C:\\Music\\Other.mp3"};
    QTest::keyClick(grid(), Qt::Key_Return, Qt::ShiftModifier);  // for the day: matched lines keep theirs
    QCOMPARE(m_script.said.back(), std::string("Сопоставить на день "));
    QVERIFY(line(12, 1).Path != "C:\\Music\\Other.mp3");
  }

  void ctrlDeleteRemovesTheMatchAndItsRow() {
    selectLine(8, 5);
    m_script.answers = {matching::Answer::Yes};
    QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(line(8, 5).Path.empty());
    QVERIFY(m_window->day().Songs[10].back().Path.empty());
    QCOMPARE(associationRows(core::cp1251("Неизвестный артист")), 0);
  }

  void deleteDropsTheLineFromTheDay() {
    const auto before = m_window->day().Songs[8].size();
    const std::string next = line(8, 6).Name;
    selectLine(8, 5);
    m_script.answers = {matching::Answer::Yes};
    QTest::keyClick(grid(), Qt::Key_Delete);
    QCOMPARE(m_window->day().Songs[8].size(), before - 1);
    QCOMPARE(line(8, 5).Name, next);
    QCOMPARE(grid()->model()->rowCount(), static_cast<int>(before - 1));
  }

  void associationPageEditsRowsAndTheDayFollows() {
    QTest::mouseClick(review()->SBEditAss(), Qt::LeftButton);
    AssPage* page = m_window->assPage();
    QCOMPARE(m_window->PC1()->currentWidget(), static_cast<QWidget*>(page));
    QTableView* rows = page->SGAss();
    QCOMPARE(rows->model()->rowCount(), 3);  // the demo's taught rows, in artist order
    QCOMPARE(cell(rows, 0, 0), QStringLiteral("Old Artist"));

    // "Кино - Ночной город" is taught to another recording; the check stored
    // the path upper-cased in the day, so only exact holders follow.
    int taught = -1;
    for (int r = 0; r < rows->model()->rowCount(); ++r) {
      if (cell(rows, r, 1) == tr8("Ночной город")) taught = r;
    }
    QVERIFY(taught >= 0);
    const std::string oldPath = fromQ(cell(rows, taught, 2));
    core::SetPath(m_window->day().Songs[3].emplace_back(), oldPath);
    SelectGridRowForTest(rows, taught);
    m_script.paths = {"C:\\Music\\Changed.mp3"};
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(cell(rows, taught, 2), QStringLiteral("C:\\Music\\Changed.mp3"));
    QCOMPARE(m_window->day().Songs[3].back().Path, std::string("C:\\Music\\Changed.mp3"));

    SelectGridRowForTest(rows, taught);
    m_script.answers = {matching::Answer::Yes};
    QTest::keyClick(rows, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(rows->model()->rowCount(), 2);
    QVERIFY(m_window->day().Songs[3].back().Path.empty());
    m_window->day().Songs[3].pop_back();
  }

  void jingleDialogRefusesThenPlaces() {
    m_window->setRandom([](int) { return 0; });
    bool refusedEmpty = false;
    QTimer::singleShot(0, this, [&] {
      auto* form = qobject_cast<TJinglesForm*>(QApplication::activeModalWidget());
      QVERIFY(form);
      QCOMPARE(form->RxJingles()->count(), m_station.jingles);
      QTest::mouseClick(form->SpeedButton1(), Qt::LeftButton);  // "Снять все"
      QTest::mouseClick(form->SBSave(), Qt::LeftButton);
      refusedEmpty = m_script.said.back() == "Не выбрано ни одного джингла!";
      QTest::mouseClick(form->SpeedButton2(), Qt::LeftButton);  // "Все"
      for (int i = 1; i < form->RxJingles()->count(); ++i) form->RxJingles()->item(i)->setCheckState(Qt::Unchecked);
      form->RxStep()->setValue(5);
      QTest::mouseClick(form->SBSave(), Qt::LeftButton);
    });
    const auto before = m_window->day().Songs[0].size();
    QTest::mouseClick(review()->SBJingles(), Qt::LeftButton);
    QVERIFY(refusedEmpty);
    // Interval 5: a jingle after every five entries, counting across hours:
    // one in the middle of hour 0, and hour 1 begins with the next one.
    const auto& hour0 = m_window->day().Songs[0];
    QCOMPARE(hour0.size(), before + 1);
    QCOMPARE(hour0[5].Kind, core::kKindJingle);
    QCOMPARE(hour0[5].Artist, core::cp1251("Джингл"));
    QVERIFY(!hour0[5].Path.empty());
    QCOMPARE(m_window->day().Songs[1][0].Kind, core::kKindJingle);
  }

  // The import asks first with its plan summed up; No changes nothing.
  void importAsksWithThePlanAndNoChangesNothing() {
    const QByteArray before = playlistBytes();
    QVERIFY(!review()->SBUndo()->isEnabled());
    m_script.said.clear();
    m_script.answers = {matching::Answer::No};
    QTest::mouseClick(review()->SBImport(), Qt::LeftButton);
    QCOMPARE(m_script.said.size(), std::size_t{1});
    const QString question = QString::fromStdString(m_script.said.back());
    QVERIFY2(question.startsWith(QStringLiteral("Будет удалено ")), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("за ") + toQ(core::DateToStr(m_station.day))), qPrintable(question));
    QVERIFY2(question.endsWith(QStringLiteral("Импортировать?")), qPrintable(question));
    QCOMPARE(playlistBytes(), before);
    QVERIFY(!review()->SBUndo()->isEnabled());
  }

  void importWritesTheMatchedLines() {
    m_script.said.clear();
    m_script.answers = {matching::Answer::Yes};
    QTest::mouseClick(review()->SBImport(), Qt::LeftButton);
    QCOMPARE(m_script.said.back(), std::string("Импорт выполнен!"));
    const auto& hour0 = m_window->day().Songs[0];
    const std::vector<int> numbers = hourRows(0, "FNumber");
    const std::vector<int> types = hourRows(0, "FType");
    QCOMPARE(numbers.size(), hour0.size());
    for (std::size_t n = 0; n < numbers.size(); ++n) {
      QCOMPARE(numbers[n], static_cast<int>(n));
      QCOMPARE(types[n], hour0[n].Kind);
    }
    QVERIFY(review()->SBUndo()->isEnabled());
  }

  // Undo through the button, after its question: the playlist holds the rows
  // it held before the import, and nothing is left to undo.
  void undoPutsThePlaylistBack() {
    m_script.said.clear();
    m_script.answers = {matching::Answer::Yes};
    QTest::mouseClick(review()->SBUndo(), Qt::LeftButton);
    QCOMPARE(m_script.said.back(), std::string("Импорт отменён."));
    QVERIFY(QString::fromStdString(m_script.said.front()).startsWith(QStringLiteral("Отменить импорт от ")));
    QVERIFY(hourRows(0, "FNumber").empty());
    QVERIFY(!review()->SBUndo()->isEnabled());
  }

 private:
  static void SelectGridRowForTest(QTableView* rows, int row) {
    const QPoint area = rows->visualRect(rows->model()->index(row, 0)).center();
    QTest::mouseClick(rows->viewport(), Qt::RightButton, {}, area);
    rows->setFocus();
    QCOMPARE(rows->currentIndex().row(), row);
  }
};

}  // namespace ui

QTEST_MAIN(ui::CommandsTest)
#include "commands_test.moc"
