#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "assoc/suggestions.h"
#include "core/codec.h"
#include "db/query.h"
#include "db/table.h"
#include "ui/jinglepicker.h"
#include "ui/qtext.h"
#include "ui/songpicker.h"

namespace ui {

class PickersTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

  std::string table(const char* name, const std::vector<std::array<const char*, 3>>& rows) {
    const std::string path = fromQ(m_dir.path()) + "/" + name;
    db::Query create;
    create.Add("Create TABLE " + db::Quoted(path) + " (FArtist Char(64), FName Char(64), FPath Char(160))");
    create.ExecSQL();
    db::Table t(path);
    t.Open();
    for (const auto& row : rows) {
      t.Append();
      t.SetFieldAsString("FArtist", core::cp1251(row[0]));
      t.SetFieldAsString("FName", core::cp1251(row[1]));
      t.SetFieldAsString("FPath", core::cp1251(row[2]));
      t.Post();
    }
    t.Close();
    return path;
  }

  static QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }

  std::string m_songs;

 private slots:
  void initTestCase() {
    m_songs = table("songs.db", {{"Кино", "Звезда", "C:\\Кино\\Звезда.mp3"},
                                 {"ABBA", "Waterloo", "C:\\ABBA\\Waterloo.mp3"},
                                 {"Кино", "Группа крови", "C:\\Кино\\Группа крови.mp3"},
                                 {"ABBA", "SOS", "c:\\abba\\sos.mp3"},
                                 {"Сплин", "Романс", "C:\\Сплин\\Романс.mp3"}});
  }

  void presetPositionsBothListsAndCaption() {
    TFr_GetPath picker(m_songs);
    QCOMPARE(items(picker.LBArtist()), (QStringList{"ABBA", tr8("Кино"), tr8("Сплин")}));
    picker.preset(core::cp1251("Сопоставить на день "), "abba", "s");
    QCOMPARE(picker.LBArtist()->currentItem()->text(), QStringLiteral("ABBA"));
    QCOMPARE(items(picker.LBName()), (QStringList{"SOS", "Waterloo"}));
    QCOMPARE(picker.LBName()->currentItem()->text(), QStringLiteral("SOS"));
    QCOMPARE(picker.ResPath(), std::string("c:\\abba\\sos.mp3"));  // letter case as stored
    QVERIFY(picker.SBSave()->isEnabled());
    QCOMPARE(picker.windowTitle(), tr8("Сопоставить на день  для abba - s"));
  }

  // A line whose artist the base lacks: the lists open on its suggestion,
  // the caption still names the line.
  void presetOpensOnASuggestion() {
    TFr_GetPath picker(m_songs);
    const assoc::SuggestedFile start{core::cp1251("Кино"), core::cp1251("Группа крови"),
                                     core::cp1251("C:\\Кино\\Группа крови.mp3"), 90};
    picker.preset("P", "Kino", "Gruppa krovi", &start);
    QCOMPARE(picker.LBArtist()->currentItem()->text(), tr8("Кино"));
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Группа крови"));
    QCOMPARE(picker.ResPath(), core::cp1251("C:\\Кино\\Группа крови.mp3"));
    QCOMPARE(picker.windowTitle(), tr8("P для Kino - Gruppa krovi"));
  }

  void typingSearchesAndReloadsTitles() {
    TFr_GetPath picker(m_songs);
    picker.EArt()->setText(tr8("ки"));
    QCOMPARE(picker.LBArtist()->currentItem()->text(), tr8("Кино"));
    QCOMPARE(picker.EArt()->text(), tr8("ки"));  // what the operator types stays
    QCOMPARE(picker.EName()->text(), tr8("Группа крови"));
    picker.EName()->setText(tr8("з"));
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Звезда"));
    QCOMPARE(picker.LBArtist()->currentItem()->text(), tr8("Кино"));  // titles never change the artist
    picker.EName()->setText(tr8("я"));  // beyond every title: the selection stays
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Звезда"));
    picker.EName()->clear();  // clearing selects the first title
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Группа крови"));
  }

  void oneArtistTableListsEveryRowFirst() {
    const std::string path = table("one.db", {{"Queen", "Bohemian", "1"}, {"Queen", "Another", "2"}});
    TFr_GetPath picker(path);
    QCOMPARE(picker.LBArtist()->currentRow(), -1);
    QCOMPARE(items(picker.LBName()), (QStringList{"Another", "Bohemian"}));
    picker.preset("P", "A", "Bo");
    QCOMPARE(picker.LBArtist()->currentItem()->text(), QStringLiteral("Queen"));
    QCOMPARE(picker.ResPath(), std::string("1"));
  }

  void emptyTableOffersNothing() {
    const std::string path = table("empty.db", {});
    TFr_GetPath picker(path);
    QCOMPARE(picker.LBArtist()->count(), 0);
    QCOMPARE(picker.LBName()->count(), 0);
    QVERIFY(!picker.SBSave()->isEnabled());
    QCOMPARE(picker.ResPath(), std::string());
  }

  void cancelAfterSelectionReturnsNothing() {
    TFr_GetPath picker(m_songs);
    picker.preset("P", "ABBA", "W");
    QVERIFY(!picker.ResPath().empty());
    QTimer::singleShot(0, &picker, [&picker] { QTest::mouseClick(picker.SBCancel(), Qt::LeftButton); });
    QCOMPARE(picker.exec(), static_cast<int>(QDialog::Rejected));
    QCOMPARE(picker.ResPath(), std::string());
  }

  // However the selection moves, the titles and the accepted path follow it.
  void keysMoveTheSelectionAndThePathFollows() {
    TFr_GetPath picker(m_songs);
    picker.preset("P", "ABBA", "SOS");
    picker.show();
    QTest::keyClick(picker.LBArtist(), Qt::Key_Down);
    QCOMPARE(picker.EArt()->text(), tr8("Кино"));
    QCOMPARE(items(picker.LBName()), (QStringList{tr8("Группа крови"), tr8("Звезда")}));
    QCOMPARE(picker.ResPath(), core::cp1251("C:\\Кино\\Группа крови.mp3"));
    QTest::keyClick(picker.LBName(), Qt::Key_End);
    QCOMPARE(picker.EName()->text(), tr8("Звезда"));
    QCOMPARE(picker.ResPath(), core::cp1251("C:\\Кино\\Звезда.mp3"));
    QTest::keyClick(picker.LBArtist(), Qt::Key_Home);
    QCOMPARE(items(picker.LBName()), (QStringList{"SOS", "Waterloo"}));
    QCOMPARE(picker.ResPath(), std::string("c:\\abba\\sos.mp3"));
    QTest::keyClick(picker.LBName(), Qt::Key_PageDown);
    QCOMPARE(picker.ResPath(), std::string("C:\\ABBA\\Waterloo.mp3"));
    QTest::keyClick(picker.LBName(), Qt::Key_Up);
    QCOMPARE(picker.EName()->text(), QStringLiteral("SOS"));
    QCOMPARE(picker.ResPath(), std::string("c:\\abba\\sos.mp3"));
  }

  // A table error inside a list handler is shown in an error box; the
  // dialog stays usable.
  void tableErrorInAListHandlerIsShown() {
    const std::string path = table("vanishing.db", {{"A", "a", "1"}, {"B", "b", "2"}});
    TFr_GetPath picker(path);
    picker.show();
    QVERIFY(QFile::remove(toQ(path)));
    QString shown;
    QTimer::singleShot(0, this, [&shown] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      shown = box->text();
      box->accept();
    });
    QTest::keyClick(picker.LBArtist(), Qt::Key_Down);
    QVERIFY(shown.contains(QStringLiteral("vanishing.db")));
    QCOMPARE(picker.LBArtist()->currentItem()->text(), QStringLiteral("B"));
    QTest::mouseClick(picker.SBCancel(), Qt::LeftButton);
    QVERIFY(picker.isHidden());
  }

  void jinglePickerSearchesOneList() {
    const std::string path = fromQ(m_dir.path()) + "/jingles.db";
    db::Query create;
    create.Add("Create TABLE " + db::Quoted(path) + " (FName Char(64), FPath Char(160))");
    create.ExecSQL();
    db::Table t(path);
    t.Open();
    for (const char* name : {"Погода", "Новости", "Station ID"}) {
      t.Append();
      t.SetFieldAsString("FName", core::cp1251(name));
      t.SetFieldAsString("FPath", core::cp1251(std::string("J:\\") + name));
      t.Post();
    }
    t.Close();

    TFr_GetJinglePath empty(path);
    empty.preset(core::cp1251("Назначение соспоставления"), "");
    QCOMPARE(empty.LBName()->currentRow(), -1);
    QVERIFY(!empty.SBSave()->isEnabled());

    TFr_GetJinglePath picker(path);
    picker.preset(core::cp1251("Изменить "), core::cp1251("нов"));
    QCOMPARE(items(picker.LBName()), (QStringList{"Station ID", tr8("Новости"), tr8("Погода")}));
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Новости"));
    QCOMPARE(picker.ResPath(), core::cp1251("J:\\Новости"));
    QCOMPARE(picker.windowTitle(), tr8("Изменить  для джингла нов"));
    picker.EName()->setText(QStringLiteral("zzz"));  // past the Latin names: the first Cyrillic one
    QCOMPARE(picker.LBName()->currentItem()->text(), tr8("Новости"));
    picker.show();
    QTest::keyClick(picker.LBName(), Qt::Key_Down);  // the keys move the path too
    QCOMPARE(picker.EName()->text(), tr8("Погода"));
    QCOMPARE(picker.ResPath(), core::cp1251("J:\\Погода"));
  }
};

}  // namespace ui

QTEST_MAIN(ui::PickersTest)
#include "pickers_test.moc"
