// mvimport-screens: the README's pictures of the window. Builds the demo
// station in a temporary folder, walks the main window along the operator's
// road with the real message boxes and dialogs, and saves each page and
// dialog as a PNG into the folder given.
//
//   mvimport-screens [--scale F] FOLDER
//
// Without --scale it makes every picture and then runs itself once more with
// --scale 1.5 for review-page-150.png; with --scale it makes only that one.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>

#include "core/text.h"
#include "demostation/demostation.h"
#include "ui/asspage.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/hourtabs.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "ui/settingspage.h"

namespace {

QString g_folder;       // where the pictures go
bool g_scaled = false;  // only the review page, as review-page-150.png

[[noreturn]] void fail(const QString& what) {
  std::fprintf(stderr, "mvimport-screens: %s\n", qPrintable(what));
  std::exit(1);
}

void settle() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
}

void save(QWidget* widget, const QString& name) {
  if (g_scaled && name != QStringLiteral("review-page")) return;
  settle();
  const QString file = g_folder + '/' + name + (g_scaled ? QStringLiteral("-150") : QString()) + ".png";
  if (!widget->grab().save(file)) fail("cannot write " + file);
  std::printf("%s\n", qPrintable(file));
  std::fflush(stdout);
}

// The boxes and dialogs open inside the window's actions and wait there:
// what to do with each of them is queued before the action starts.
std::deque<std::function<void(QWidget*)>> g_expected;

void watchModals() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (g_expected.empty()) fail("unexpected window: " + (box ? box->text() : modal->windowTitle()));
    const auto act = g_expected.front();
    g_expected.pop_front();
    act(modal);
  });
  timer->start(50);
}

// Grabs the next message box (unless name is empty) and presses the button
// with that caption; a box that does not start with `text` ends the program.
void answerBox(const QString& text, const QString& name, const QString& button) {
  g_expected.push_back([=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box || !box->text().startsWith(text)) fail("unexpected window: " + (box ? box->text() : modal->windowTitle()));
    if (!name.isEmpty()) save(box, name);
    for (QAbstractButton* b : box->buttons()) {
      if (b->text().remove('&') == button) return b->click();
    }
    fail("no button " + button + " in: " + box->text());
  });
}

// Grabs the next dialog and closes it unchanged.
void shootDialog(const QString& name) {
  g_expected.push_back([=](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) fail("unexpected box: " + box->text());
    save(modal, name);
    qobject_cast<QDialog*>(modal)->reject();
  });
}

void walk(ui::TFrmTxt& window, const demo::DemoStation& station) {
  using ui::tr8;
  QTableWidget* files = window.filePage()->SGFiles();
  for (int i = 0; i < 100 && files->rowCount() < 5; ++i) settle();
  if (files->rowCount() < 5) fail("the demo's playlists are not listed");
  files->selectRow(1);  // mirvane.txt
  save(&window, "file-page");

  window.runAction([&] { window.SBOpenClick(); });
  window.datePage()->setImportDate(station.day);
  save(&window, "date-page");

  answerBox(tr8("Соответствие для"), QString(), tr8("Нет для всех"));  // the demo's stale row stays
  window.datePage()->SBCheck()->click();
  ui::ReviewPage* review = window.reviewPage();
  if (window.PC1()->currentWidget() != review) fail("the check did not reach the review page");

  review->TCHour()->setTabIndex(8);
  review->SGPList()->selectRow(5);  // the demo's unknown song
  shootDialog("song-picker");
  window.runAction([&] { window.runReviewCommand(ui::ReviewCommand::SetAss); });
  shootDialog("jingles-dialog");
  review->SBJingles()->click();

  answerBox(tr8("Будет удалено"), "import-question", tr8("Да"));
  answerBox(tr8("Импорт выполнен!"), "import-done", "OK");
  review->SBImport()->click();
  review->SGPList()->selectRow(5);
  save(&window, "review-page");
  if (g_scaled) return;

  review->SBEditAss()->click();
  QTableView* rows = window.assPage()->SGAss();
  for (int r = 0; r < rows->model()->rowCount(); ++r) {
    if (rows->model()->index(r, 0).data().toString() == "_JINGLES_") rows->selectRow(r);
  }
  save(&window, "association-page");
  shootDialog("jingle-picker");
  window.assPage()->NChange()->trigger();

  window.PC1()->setCurrentWidget(window.settingsPage());
  save(&window, "settings-page");
}

}  // namespace

int main(int argc, char** argv) {
  const QStringList args = [&] {
    QStringList list;
    for (int i = 1; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
  }();
  QString scale;
  if (args.size() == 3 && args[0] == QStringLiteral("--scale")) {
    scale = args[1];
  } else if (args.size() != 1) {
    std::fprintf(stderr, "usage: mvimport-screens [--scale F] FOLDER\n");
    return 2;
  }
  g_scaled = !scale.isEmpty();
  if (g_scaled) qputenv("QT_SCALE_FACTOR", scale.toLatin1());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }
  core::SetDelayHandler([](int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    QCoreApplication::processEvents();
  });
  // A step that never ends would otherwise hang the build of the pictures.
  QTimer::singleShot(120000, [] { fail("timed out"); });

  g_folder = QDir(args.back()).absolutePath();
  if (!QDir().mkpath(g_folder)) fail("cannot create " + g_folder);
  QTemporaryDir dir;
  if (!dir.isValid()) fail("no temporary folder");
  const demo::DemoStation station = demo::MakeDemoStation(ui::fromQ(dir.path()) + "/station");
  ui::TFrmTxt window(station.settingsFile, ui::fromQ(dir.path()));
  window.show();
  watchModals();
  walk(window, station);

  if (!g_expected.empty()) fail("a box or dialog did not open");
  if (g_scaled) return 0;
  return QProcess::execute(QCoreApplication::applicationFilePath(), {"--scale", "1.5", g_folder});
}
