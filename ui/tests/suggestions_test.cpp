#include <QAction>
#include <QFont>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "assoc/suggestions.h"
#include "core/codec.h"
#include "core/text.h"
#include "db/query.h"
#include "demostation/demostation.h"
#include "matching/review.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/gridmodels.h"
#include "ui/hourtabs.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "scriptedui.h"

namespace ui {

// Match suggestions in the review, driven through the window on the demo
// station: two lines spelling songs of the base with a title tail the base
// lacks are left unmatched by the check and get suggestions.
class SuggestionsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  demo::DemoStation m_station;
  std::unique_ptr<TFrmTxt> m_window;
  ScriptedUi m_script;
  int m_hour = -1;              // a chosen hour
  std::size_t m_first = 0;      // where the two variants stand in it
  core::TSongRec m_songs[2];    // the base's songs they spell

  ReviewPage* review() const { return m_window->reviewPage(); }
  QTableView* grid() const { return review()->SGPList(); }
  core::TSongRec& line(std::size_t index) { return m_window->day().Songs[static_cast<std::size_t>(m_hour)][index]; }
  QModelIndex pathCell(std::size_t index) const { return grid()->model()->index(static_cast<int>(index), 2); }

  int associationRows() {
    db::Query q;
    q.Add("SELECT * FROM " + db::Quoted(m_station.folder + "Association.db"));
    q.Open();
    return q.RecordCount();
  }

  QString unmatchedCount() const { return review()->SGLists()->item(1, 1)->text(); }

  void check() {
    m_script.answers = {matching::Answer::NoToAll};  // keep the demo's stale row
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);
    QCOMPARE(m_window->PC1()->currentWidget(), static_cast<QWidget*>(review()));
    review()->TCHour()->setTabIndex(m_hour);
  }

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
    m_script.answers = {matching::Answer::NoToAll};
    QTest::mouseClick(m_window->datePage()->SBCheck(), Qt::LeftButton);

    // Two different matched songs of one chosen hour, spelled again with a tail.
    core::DayPlaylist& day = m_window->day();
    for (int h = 0; h < core::kHours && m_hour < 0; ++h) {
      if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
      int found = 0;
      for (const core::TSongRec& song : day.Songs[static_cast<std::size_t>(h)]) {
        if (song.isJingle() || !song.matched() || song.Artist.empty()) continue;
        if (found == 1 && song.Artist == m_songs[0].Artist && song.Name == m_songs[0].Name) continue;
        m_songs[found++] = song;
        if (found == 2) break;
      }
      if (found == 2) m_hour = h;
    }
    QVERIFY(m_hour >= 0);
    m_first = day.Songs[static_cast<std::size_t>(m_hour)].size();
    for (const core::TSongRec& song : m_songs) {
      core::AppendSong(day, m_hour, song.Artist, song.Name + " (Radio Edit)", core::kKindSong);
    }
    check();
  }

  // The path cell shows the suggestion in grey italics; the line keeps its
  // unmatched look and the counts still count it as unmatched.
  void pathCellShowsTheSuggestion() {
    QCOMPARE(unmatchedCount(), QString::number(matching::CalcLists(m_window->day()).unmatched));
    for (std::size_t i = 0; i < 2; ++i) {
      const QModelIndex cell = pathCell(m_first + i);
      QVERIFY(!line(m_first + i).matched());
      QCOMPARE(cell.data(Qt::DisplayRole).toString(),
               QStringLiteral("\u2248 ") + toQ(m_songs[i].Artist) + QStringLiteral(" \u2014 ") + toQ(m_songs[i].Name));
      QVERIFY(cell.data(Qt::FontRole).value<QFont>().italic());
      QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
      QCOMPARE(cell.data(HourLinesModel::RowStateRole).toInt(), static_cast<int>(matching::ReviewRowState::SongUnmatched));
      // The line's own texts stay in their cells.
      QCOMPARE(grid()->model()->index(cell.row(), 1).data().toString(), toQ(m_songs[i].Name + " (Radio Edit)"));
    }
    // A matched line shows its path, upright.
    const QModelIndex matchedCell = pathCell(0);
    QVERIFY(line(0).matched());
    QCOMPARE(matchedCell.data().toString(), toQ(line(0).Path));
    QVERIFY(!matchedCell.data(Qt::FontRole).isValid());
  }

  void acceptSuggestionIsEnabledOnlyWithASuggestion() {
    QAction* accept = review()->action(ReviewCommand::AcceptSuggestion);
    QCOMPARE(accept->text(), tr8("Принять предложение"));
    grid()->selectRow(0);
    QVERIFY(!accept->isEnabled());
    grid()->selectRow(static_cast<int>(m_first));
    QVERIFY(accept->isEnabled());
    QVERIFY(review()->SBAcceptAll()->isEnabled());
  }

  // The menu item's key teaches the selected line's suggestion: the line
  // gets the file, Association.db the row, the other variant stays.
  void insertAcceptsTheSuggestion() {
    const int rows = associationRows();
    const std::string path = m_window->suggestions().For(line(m_first))->path;
    grid()->selectRow(static_cast<int>(m_first));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_Insert);
    QCOMPARE(line(m_first).Path, path);
    QCOMPARE(associationRows(), rows + 1);
    QVERIFY(!line(m_first + 1).matched());
    QCOMPARE(review()->selectedLine(), static_cast<int>(m_first));
    QVERIFY(!review()->action(ReviewCommand::AcceptSuggestion)->isEnabled());
  }

  // "Принять все предложения" asks once naming how many; Нет changes
  // nothing, Да teaches them all and the cells show the paths.
  void acceptAllAsksThenTeaches() {
    const int rows = associationRows();
    const QString unmatched = unmatchedCount();
    const std::size_t count = assoc::CountSuggestions(m_window->day(), m_window->suggestions());
    QVERIFY(count >= 1);
    m_script.said.clear();
    m_script.answers = {matching::Answer::No};
    QTest::mouseClick(review()->SBAcceptAll(), Qt::LeftButton);
    QCOMPARE(m_script.said.size(), std::size_t{1});
    const char* noun = core::PluralForm(static_cast<long long>(count), "предложение", "предложения", "предложений");
    QVERIFY2(m_script.said[0].rfind("Принять " + std::to_string(count) + " " + noun + "? ", 0) == 0,
             m_script.said[0].c_str());
    QVERIFY(!line(m_first + 1).matched());
    QCOMPARE(associationRows(), rows);
    QCOMPARE(unmatchedCount(), unmatched);

    std::string suggested[2];
    suggested[0] = line(m_first).Path;  // accepted before
    suggested[1] = m_window->suggestions().For(line(m_first + 1))->path;
    m_script.answers = {matching::Answer::Yes};
    QTest::mouseClick(review()->SBAcceptAll(), Qt::LeftButton);
    QCOMPARE(associationRows(), rows + static_cast<int>(count));
    for (std::size_t i = 0; i < 2; ++i) {
      // The base's file of the song the line spells.
      QCOMPARE(toQ(core::UpperStr(suggested[i])), toQ(core::UpperStr(m_songs[i].Path)));
      QCOMPARE(line(m_first + i).Path, suggested[i]);
      QCOMPARE(pathCell(m_first + i).data().toString(), toQ(suggested[i]));
      QVERIFY(!pathCell(m_first + i).data(Qt::FontRole).isValid());
    }
    QCOMPARE(unmatchedCount(), QString::number(matching::CalcLists(m_window->day()).unmatched));
    QVERIFY(!review()->SBAcceptAll()->isEnabled());
  }
};

}  // namespace ui

QTEST_MAIN(ui::SuggestionsTest)
#include "suggestions_test.moc"
