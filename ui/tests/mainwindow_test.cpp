#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <fstream>
#include <QToolButton>
#include <QTabBar>
#include <QtTest>
#include <algorithm>
#include <utility>

#include "core/codec.h"
#include "core/fspath.h"
#include "demostation/demostation.h"
#include "ui/dateedit.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/messageboxui.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "ui/settingspage.h"
#include "scriptedui.h"

namespace ui {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  demo::DemoStation m_station;

  std::string folder() const { return fromQ(m_dir.path()); }

  static QStringList visibleTabs(QTabWidget* pages) {
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->isTabVisible(i)) tabs << pages->widget(i)->objectName();
    }
    return tabs;
  }

  // Opens a file of the demo station's list folder through the file page.
  static void openFile(TFrmTxt& window, const QString& name) {
    QTableWidget* files = window.filePage()->SGFiles();
    QTRY_VERIFY(!files->findItems(name, Qt::MatchExactly).isEmpty());
    const auto found = files->findItems(name, Qt::MatchExactly);
    files->selectRow(found.front()->row());
    QToolButton* open = window.filePage()->findChild<QToolButton*>(QStringLiteral("SBOpen"));
    QVERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_station = demo::MakeDemoStation(folder() + "/station");
  }

  void startsOnTheFilePageWithAnEmptyDay() {
    TFrmTxt window(m_station.settingsFile, folder());
    QCOMPARE(visibleTabs(window.PC1()), (QStringList{"TabSelFile", "TabSheet3"}));
    QCOMPARE(window.PC1()->currentWidget()->objectName(), QStringLiteral("TabSelFile"));
    for (const auto& hour : window.day().Songs) QVERIFY(hour.empty());
    QCOMPARE(window.windowTitle(), tr8("Импорт плейлиста из txt файла в базу плейлистов Mirvane 3"));
  }

  void missingTextFolderListsNothing() {
    const std::string ini = folder() + "/missing.ini";
    core::IniFile file(ini);
    file.writeString("Setting", "TxtPath", folder() + "/no/such/folder");
    TFrmTxt window(ini, folder());
    QTableWidget* files = window.filePage()->SGFiles();
    QCOMPARE(files->rowCount(), 1);
    QVERIFY(!window.filePage()->findChild<QToolButton*>(QStringLiteral("SBOpen"))->isEnabled());
  }

  // A settings file saved as UTF-16 is said to be so once the window is up,
  // instead of the window silently showing every default.
  void settingsFileInAnotherEncodingIsReported() {
    const std::string ini = folder() + "/utf16.ini";
    {
      std::ofstream out(core::FsPath(ini), std::ios::binary);
      out << std::string("\xFF\xFE[\0S\0e\0", 8);
    }
    TFrmTxt window(ini, folder());
    ScriptedUi script;
    window.setOperatorUi(&script);
    QTRY_COMPARE(script.said.size(), std::size_t{1});
    QVERIFY2(script.said[0].find("файл настроек сохранён в кодировке UTF-16") != std::string::npos,
             script.said[0].c_str());
  }

  // Saving to a settings file that cannot be written ends the save with the
  // file's name, and the window goes on.
  void unwritableSettingsFileIsReported() {
    const std::string ini = folder() + "/no/such/folder/mvimport.ini";
    TFrmTxt window(ini, folder());
    ScriptedUi script;
    window.setOperatorUi(&script);
    const std::string message = "Unable to write to " + ini;
    QTest::mouseClick(window.settingsPage()->findChild<QToolButton*>(QStringLiteral("SBSaveParms")), Qt::LeftButton);
    QCOMPARE(script.said, std::vector<std::string>{message});
    QTest::mouseClick(window.datePage()->findChild<QToolButton*>(QStringLiteral("SBSaveHour")), Qt::LeftButton);
    QCOMPARE(script.said, (std::vector<std::string>{message, message}));
  }

  // The check pauses for window events; what the operator clicks meanwhile
  // starts nothing, and the check ends on the day it began with.
  void clicksDuringTheCheckStartNothing() {
    const demo::DemoStation station = demo::MakeDemoStation(folder() + "/busy");
    TFrmTxt window(station.settingsFile, folder());
    ScriptedUi script;
    window.setOperatorUi(&script);
    openFile(window, QStringLiteral("mirvane.txt"));
    window.datePage()->setImportDate(station.day);
    core::AppendSong(window.day(), 10, "Marker", "Line", core::kKindSong);  // gone if the file is read again
    script.answers = {matching::Answer::NoToAll};
    bool clicked = false;
    script.onProgress = [&] {
      if (std::exchange(clicked, true)) return;
      window.datePage()->SBCheck()->click();
      window.filePage()->findChild<QToolButton*>(QStringLiteral("SBOpen"))->click();
      window.reviewPage()->SBImport()->click();
      window.reviewPage()->action(ReviewCommand::DelOnList)->trigger();
      window.settingsPage()->findChild<QToolButton*>(QStringLiteral("SBSaveParms"))->click();
    };
    QTest::mouseClick(window.datePage()->SBCheck(), Qt::LeftButton);
    QVERIFY(clicked);
    QCOMPARE(window.PC1()->currentWidget(), static_cast<QWidget*>(window.reviewPage()));
    QCOMPARE(script.said.size(), std::size_t{1});  // the one stale question of the check
    QCOMPARE(window.day().Songs[10].back().Artist, std::string("Marker"));
    // Afterwards the window takes clicks again.
    window.reviewPage()->SpeedButton1()->click();
    QCOMPARE(window.PC1()->currentWidget(), window.MemError()->parentWidget());
  }

  // With every page shown, every tab stands whole inside the window at its
  // design size: none scrolls out of view, none is cut short.
  void everyPageTabFitsAtTheDesignSize() {
    TFrmTxt window(m_station.settingsFile, folder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTabWidget* pages = window.PC1();
    for (int i = 0; i < pages->count(); ++i) pages->setTabVisible(i, true);
    pages->setCurrentIndex(pages->count() - 1);  // a scrolling bar scrolls to it
    pages->setCurrentIndex(0);
    QTabBar* bar = pages->tabBar();
    QCOMPARE(window.size(), QSize(792, 613));
    for (int i = 0; i < pages->count(); ++i) {
      const QRect tab = bar->tabRect(i);
      QVERIFY2(tab.left() >= 0 && tab.right() < bar->width(), qPrintable(bar->tabText(i)));
      QVERIFY2(tab.width() > bar->fontMetrics().horizontalAdvance(bar->tabText(i)), qPrintable(bar->tabText(i)));
    }
  }

  // An open that cannot work, or finds nothing, says why; the file page stays.
  void openingSaysWhyNothingCameOfIt() {
    const QString lists = m_dir.path() + QStringLiteral("/lists");
    QVERIFY(QDir().mkpath(lists));
    QFile odd(lists + QString::fromUtf8("/Эфир \u2605.txt"));  // a star: no Windows-1251 letter
    QVERIFY(odd.open(QIODevice::WriteOnly));
    odd.close();
    QFile empty(lists + QStringLiteral("/notes.txt"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.write("nothing a reader understands\n");
    empty.close();
    const std::string ini = folder() + "/lists.ini";
    core::IniFile(ini).writeString("Setting", "TxtPath", fromQ(lists));
    TFrmTxt window(ini, folder());
    ScriptedUi script;
    window.setOperatorUi(&script);
    core::AppendSong(window.day(), 3, "Kept", "Line", core::kKindSong);

    openFile(window, tr8("Эфир ?.txt"));
    QCOMPARE(script.said, std::vector<std::string>{"Файл Эфир ?.txt нельзя открыть: в его имени есть знаки, которых "
                                                   "нет в кодировке Windows-1251. Переименуйте файл."});
    QCOMPARE(window.day().Songs[3].size(), std::size_t{1});  // the day stays

    openFile(window, QStringLiteral("notes.txt"));
    QCOMPARE(script.said.size(), std::size_t{2});
    QCOMPARE(script.said.back(), std::string("В файле notes.txt не найдено ни одной строки плейлиста в формате Mirvane."));
    QCOMPARE(window.PC1()->currentWidget(), static_cast<QWidget*>(window.filePage()));
    QVERIFY(!window.PC1()->isTabVisible(window.PC1()->indexOf(window.datePage())));
  }

  // A save that worked says so under the button, for a few seconds.
  void savingTheSettingsIsConfirmed() {
    const std::string ini = folder() + "/confirmed.ini";
    TFrmTxt window(ini, folder());
    ScriptedUi script;
    window.setOperatorUi(&script);
    window.show();
    QVERIFY(!window.settingsPage()->LabSaved()->isVisible());
    window.PC1()->setCurrentWidget(window.settingsPage());
    QTest::mouseClick(window.settingsPage()->findChild<QToolButton*>(QStringLiteral("SBSaveParms")), Qt::LeftButton);
    QVERIFY(script.said.empty());
    QVERIFY(window.settingsPage()->LabSaved()->isVisible());
    QCOMPARE(window.settingsPage()->LabSaved()->text(), tr8("Настройки сохранены"));
    QVERIFY(QFileInfo::exists(toQ(ini)));
    QTRY_VERIFY_WITH_TIMEOUT(!window.settingsPage()->LabSaved()->isVisible(), 5000);
  }

  // Folders from the tree and from the browse dialogs are written as the
  // platform writes them (backslashes on Windows).
  void foldersUseThePlatformsSeparators() {
    TFrmTxt window(m_station.settingsFile, folder());
    const QString lists = QDir::toNativeSeparators(toQ(m_station.folder + "Lists"));
    QCOMPARE(toQ(window.filePage()->selectedFolder()), lists);
    auto* edit = window.settingsPage()->findChild<QWidget*>(QStringLiteral("DEMVPath"));
    QTimer::singleShot(0, this, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->setDirectory(m_dir.path());
      dialog->selectFile(m_dir.path());
      QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(edit->findChild<QToolButton*>(), Qt::LeftButton);
    QCOMPARE(edit->findChild<QLineEdit*>()->text(), QDir::toNativeSeparators(m_dir.path()));
  }

  void listsTheDemoFilesInByteOrder() {
    TFrmTxt window(m_station.settingsFile, folder());
    QTableWidget* files = window.filePage()->SGFiles();
    QTRY_COMPARE(files->rowCount(), 5);
    QStringList names;
    for (int r = 0; r < files->rowCount(); ++r) names << files->item(r, 0)->text();
    QCOMPARE(names, (QStringList{"dacha.txt", "mirvane.txt", "powergold.txt", "retrofm.log", "selector.txt"}));
    QVERIFY(files->item(0, 1)->text().contains(QRegularExpression(R"(^\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d$)")));
  }

  void openingShowsTheDatePageWithTheHours() {
    TFrmTxt window(m_station.settingsFile, folder());
    openFile(window, QStringLiteral("mirvane.txt"));
    QCOMPARE(visibleTabs(window.PC1()), (QStringList{"TabSelFile", "TabDate", "TabSheet3"}));
    QCOMPARE(window.PC1()->currentWidget()->objectName(), QStringLiteral("TabDate"));
    HourGrid* hours = window.datePage()->SGHour();
    QCOMPARE(hours->item(0, 9)->text(), QStringLiteral("9"));
    QCOMPARE(hours->item(1, 9)->text(), QString::number(window.day().Songs[9].size()));
    QVERIFY(window.day().Songs[9].size() > 0);
    // The first template of the file ("Весь день", empty) chooses all hours.
    QCOMPARE(window.datePage()->CBHours()->currentText(), tr8("Весь день"));
    for (bool chosen : window.day().HourSetts) QVERIFY(chosen);
  }

  void readersSetTheImportDate() {
    TFrmTxt window(m_station.settingsFile, folder());
    QCOMPARE(window.datePage()->importDate(), 0.0);
    QVERIFY(!window.datePage()->DEDay()->date().has_value());
    window.settingsPage()->CBMethodChange(2);  // PowerGold, read with the columns last saved
    openFile(window, QStringLiteral("powergold.txt"));
    QCOMPARE(window.datePage()->importDate(), m_station.day);
  }

  // The stale question: Да, Нет, Нет для всех, Да для всех from left to
  // right, and Enter answers Нет.
  void staleQuestionButtonsAndDefault() {
    QWidget owner;
    MessageBoxUi boxes(&owner, nullptr);
    QStringList order;
    QTimer::singleShot(0, this, [&order] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      auto buttons = box->buttons();
      std::sort(buttons.begin(), buttons.end(),
                [](QAbstractButton* a, QAbstractButton* b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
      for (QAbstractButton* b : buttons) order << b->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(boxes.askBatch("?"), matching::Answer::No);
    QCOMPARE(order, (QStringList{tr8("Да"), tr8("Нет"), tr8("Нет для всех"), tr8("Да для всех")}));
    QTimer::singleShot(0, this, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == tr8("Да для всех")) b->click();
      }
    });
    QCOMPARE(boxes.askBatch("?"), matching::Answer::YesToAll);
  }

  void typedDate_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("date");  // dd.mm.yyyy, or empty for no date
    QTest::newRow("whole") << "11122020" << "11.12.2020";
    QTest::newRow("two-digit year") << "111220" << "";
    QTest::newRow("no year") << "1112" << "";
    QTest::newRow("no such day") << "31022020" << "";
    QTest::newRow("nothing") << "" << "";
  }

  // Only a date typed to its last digit is a date; the check refuses the rest.
  void typedDate() {
    QFETCH(QString, keys);
    QFETCH(QString, date);
    TFrmTxt window(m_station.settingsFile, folder());
    ScriptedUi script;
    script.answers = {matching::Answer::NoToAll};
    window.setOperatorUi(&script);
    openFile(window, QStringLiteral("mirvane.txt"));
    QLineEdit* edit = window.datePage()->DEDay()->edit();
    edit->setFocus();
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, keys);
    const auto read = window.datePage()->DEDay()->date();
    QCOMPARE(read ? toQ(core::DateToStr(*read)) : QString(), date);
    if (!date.isEmpty()) return;
    QTest::mouseClick(window.datePage()->SBCheck(), Qt::LeftButton);
    QCOMPARE(script.said.back(), std::string("Укажите дату плейлиста!"));
  }

  void doubleClickFlipsAnHourAndTemplatesStoreTheChoice() {
    TFrmTxt window(m_station.settingsFile, folder());
    openFile(window, QStringLiteral("mirvane.txt"));
    HourGrid* hours = window.datePage()->SGHour();
    const QPoint cell = hours->visualItemRect(hours->item(1, 3)).center();
    QTest::mouseDClick(hours->viewport(), Qt::LeftButton, {}, cell);
    QVERIFY(!window.day().HourSetts[3]);
    // The header row never becomes current: a double click there flips the
    // hour of the current cell again.
    QTest::mouseDClick(hours->viewport(), Qt::LeftButton, {}, hours->visualItemRect(hours->item(0, 7)).center());
    QVERIFY(window.day().HourSetts[3]);
    QVERIFY(window.day().HourSetts[7]);

    window.day().HourSetts.fill(false);
    window.day().HourSetts[6] = window.day().HourSetts[8] = true;
    QComboBox* box = window.datePage()->CBHours();
    box->setEditText(QStringLiteral("  Night "));
    window.datePage()->SBSaveHourClick();
    QCOMPARE(box->currentText(), QStringLiteral("  Night "));
    QVERIFY(box->findText(QStringLiteral("Night")) >= 0);

    window.day().HourSetts.fill(true);
    box->setCurrentIndex(box->findText(QStringLiteral("Night")));
    window.datePage()->CBHoursChange();
    for (int h = 0; h < core::kHours; ++h) QCOMPARE(window.day().HourSetts[h], h == 6 || h == 8);
  }
};

}  // namespace ui

QTEST_MAIN(ui::MainWindowTest)
#include "mainwindow_test.moc"
