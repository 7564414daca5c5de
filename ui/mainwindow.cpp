#include "ui/mainwindow.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "assoc/assocbase.h"
#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"
#include "assoc/commands.h"
#include "import/jingles.h"
#include "import/playlistimport.h"
#include "import/undo.h"
#include "matching/assoccheck.h"
#include "matching/review.h"
#include "readers/openplaylist.h"
#include "ui/asspage.h"
#include "ui/datepage.h"
#include "ui/filepage.h"
#include "ui/hourtabs.h"
#include "ui/jinglesform.h"
#include "ui/messageboxui.h"
#include "ui/pagecontrol.h"
#include "ui/qtext.h"
#include "ui/reviewpage.h"
#include "ui/settingspage.h"

namespace ui {
namespace {

enum PageIndex { kTabSelFile, kTabDate, kTabList, kTabAss, kTabError, kTabSheet3 };

QWidget* fillingPage(QWidget* content, const QString& name) {
  auto* page = new QWidget();
  page->setObjectName(name);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  return page;
}

}  // namespace

TFrmTxt::TFrmTxt(const std::string& settingsFile, const std::string& programFolder, QWidget* parent)
    : QMainWindow(parent), m_settingsFile(settingsFile), m_programFolder(programFolder) {
  setObjectName(QStringLiteral("FrmTxt"));
  setWindowTitle(tr8("Импорт плейлиста из txt файла в базу плейлистов Mirvane 3"));
  m_pages = new PageControl(this);
  m_pages->setObjectName(QStringLiteral("PC1"));
  setCentralWidget(m_pages);

  m_filePage = new FilePage();
  m_datePage = new DatePage(m_day, m_settingsFile, nullptr);
  m_reviewPage = new ReviewPage(m_day, nullptr);
  m_assPage = new AssPage();
  m_errors = new QPlainTextEdit();
  m_errors->setObjectName(QStringLiteral("MemError"));
  m_settingsPage = new SettingsPage(m_setts, m_settingsFile, nullptr);

  m_pages->addTab(m_filePage, tr8("Выбор файла"));
  m_pages->addTab(m_datePage, tr8("Выбор даты и часов"));
  m_pages->addTab(m_reviewPage, tr8("Импорт плейлиста"));
  m_pages->addTab(m_assPage, tr8("База ассоциаций"));
  m_pages->addTab(fillingPage(m_errors, QStringLiteral("TabError")), tr8("Список не сопоставленных файлов"));
  m_pages->addTab(m_settingsPage, tr8("Настройки"));
  resize(792, 613);
  // A border the operator cannot drag; maximising stays possible, and then
  // the pages' layouts spread them.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  m_boxes = std::make_unique<MessageBoxUi>(this, m_datePage);
  m_boxes->setSuggestions(&m_suggestions);
  m_reviewPage->setSuggestions(&m_suggestions);
  m_ui = m_boxes.get();
  m_random = importing::SystemRandom();

  connect(m_filePage, &FilePage::openRequested, this, [this] { runAction([this] { SBOpenClick(); }); });
  connect(m_datePage, &DatePage::checkRequested, this, [this] { runAction([this] { SBCheckClick(); }); });
  connect(m_reviewPage->SpeedButton1(), &QToolButton::clicked, this,
          [this] { runAction([this] { SpeedButton1Click(); }); });
  connect(m_reviewPage, &ReviewPage::commandRequested, this,
          [this](ReviewCommand command) { runAction([this, command] { runReviewCommand(command); }); });
  connect(m_reviewPage->SBEditAss(), &QToolButton::clicked, this, [this] { runAction([this] { SBEditAssClick(); }); });
  connect(m_reviewPage->SBJingles(), &QToolButton::clicked, this, [this] { runAction([this] { SBJinglesClick(); }); });
  connect(m_reviewPage->SBImport(), &QToolButton::clicked, this, [this] { runAction([this] { SBImportClick(); }); });
  connect(m_reviewPage->SBUndo(), &QToolButton::clicked, this, [this] { runAction([this] { SBUndoClick(); }); });
  connect(m_reviewPage->SBAcceptAll(), &QToolButton::clicked, this,
          [this] { runAction([this] { SBAcceptAllClick(); }); });
  connect(m_pages, &QTabWidget::currentChanged, this, [this] {
    if (m_busy) m_pageChangeMissed = true;
    runAction([this] { PC1Change(); });
  });
  connect(m_assPage, &AssPage::changeRequested, this, [this] {
    runAction([this] {
      const auto row = m_assPage->selectedRow();
      if (row && assoc::NChangeClick(m_day, *row, m_station, *m_ui)) {
        m_reviewPage->TCHourChange();
        ShowAssociate();
      }
    });
  });
  connect(m_assPage, &AssPage::deleteRequested, this, [this] {
    runAction([this] {
      const auto row = m_assPage->selectedRow();
      if (row && assoc::N2Click(m_day, *row, m_station, *m_ui)) {
        m_reviewPage->TCHourChange();
        ShowAssociate();
      }
    });
  });
  connect(m_settingsPage, &SettingsPage::saveRequested, this, [this] { runAction([this] { SBSaveParmsClick(); }); });
  connect(m_datePage, &DatePage::saveTemplateRequested, this,
          [this] { runAction([this] { m_datePage->SBSaveHourClick(); }); });
  connect(m_datePage, &DatePage::templateChosen, this, [this] { runAction([this] { m_datePage->CBHoursChange(); }); });
  connect(m_filePage, &FilePage::folderChanged, this, [this] {
    if (m_busy) m_listingMissed = true;
    runAction([this] { m_filePage->ShowFiles(); });
  });
  FormCreate();
}

void TFrmTxt::FormCreate() {
  m_reading.SkipLines = 0;
  m_pages->setTabVisible(kTabAss, false);
  m_pages->setTabVisible(kTabError, false);
  m_pages->setCurrentIndex(kTabSelFile);
  m_pages->setTabVisible(kTabDate, false);
  m_pages->setTabVisible(kTabList, false);
  m_setts = core::ReadIni(m_settingsFile, m_programFolder);
  if (const auto problem = m_settingsFile.encodingProblem()) {
    // Said once the window is up, through whoever answers for the operator then.
    QTimer::singleShot(0, this, [this, text = *problem] { m_ui->showError(text); });
  }
  // A write that a crash left unfinished is rolled back now, so the
  // automation system meets the torn table for as short a time as possible.
  m_station.SetPaths(m_setts);
  runAction([this] { m_station.RecoverUnfinishedWrites(); });
  m_datePage->loadTemplates();
  m_settingsPage->ShowSetts();
  m_filePage->setFolder(m_setts.TxtPath);
}

TFrmTxt::~TFrmTxt() = default;

void TFrmTxt::setOperatorUi(matching::OperatorUi* ui) { m_ui = ui ? ui : m_boxes.get(); }

void TFrmTxt::SBCheckClick() {
  m_suggestions.Clear();
  if (!matching::SBCheckClick(m_day, m_setts, m_station, m_datePage->importDate(), *m_ui)) return;
  m_suggestions.Compute(m_day, m_station);
  updateUndo();
  HourTabs* tabs = m_reviewPage->TCHour();
  if (!m_day.HourSetts[static_cast<std::size_t>(tabs->TabIndex())]) {
    tabs->setTabIndex(ReviewPage::FirstHourToReview(m_day));
  }
  showPage(m_reviewPage);
  m_reviewPage->TCHourChange();
}

void TFrmTxt::runReviewCommand(ReviewCommand command) {
  const int hour = m_reviewPage->TCHour()->TabIndex();
  const int index = m_reviewPage->selectedLine();
  if (index < 0) return;
  bool changed = false;
  switch (command) {
    case ReviewCommand::SetAss: changed = assoc::SetAssClick(m_day, hour, index, m_station, *m_ui); break;
    case ReviewCommand::SetDayChange:
      changed = assoc::SetDayChangeClick(m_day, hour, index, m_station, *m_ui);
      break;
    case ReviewCommand::SetChange: changed = assoc::SetChangeClick(m_day, hour, index, m_station, *m_ui); break;
    case ReviewCommand::DelAss: changed = assoc::DelAssClick(m_day, hour, index, m_station, *m_ui); break;
    case ReviewCommand::DelOnList: changed = assoc::DelOnListClick(m_day, hour, index, m_station, *m_ui); break;
    case ReviewCommand::AcceptSuggestion:
      changed = assoc::AcceptSuggestionClick(m_day, hour, index, m_station, m_suggestions);
      break;
  }
  if (changed) m_reviewPage->TCHourChange();
}

void TFrmTxt::SBEditAssClick() {
  // Making the page current reloads it through PC1Change; an already
  // current page is reloaded here.
  const bool current = m_pages->currentWidget() == m_assPage;
  showPage(m_assPage);
  if (current) PC1Change();
}

void TFrmTxt::SBJinglesClick() {
  const auto choice = ShowJinglesForm(m_setts.MVPath, *m_ui, this);
  if (!choice) return;
  importing::InsertJingles(m_day, *choice, m_random);
  m_reviewPage->TCHourChange();
}

void TFrmTxt::SBImportClick() {
  const importing::ImportContext ctx{m_day, m_setts, m_station, m_datePage->importDate()};
  importing::ImportRun run;
  run.askFirst = true;
  importing::SBImportClick(ctx, m_datePage->clearMode(), *m_ui, run);
  updateUndo();
}

void TFrmTxt::SBUndoClick() {
  importing::UndoLastImport(m_station, *m_ui, true);
  updateUndo();
}

void TFrmTxt::SBAcceptAllClick() {
  if (assoc::AcceptAllSuggestionsClick(m_day, m_station, m_suggestions, *m_ui)) m_reviewPage->TCHourChange();
}

void TFrmTxt::updateUndo() { m_reviewPage->SBUndo()->setEnabled(importing::CanUndo(m_station)); }

void TFrmTxt::PC1Change() {
  if (m_pages->currentWidget() == m_assPage) ShowAssociate();
}

void TFrmTxt::ShowAssociate() { m_assPage->show(assoc::ShowAssociate(m_station)); }

void TFrmTxt::showPage(QWidget* page) {
  const int index = m_pages->indexOf(page);
  m_pages->setTabVisible(index, true);
  m_pages->setCurrentIndex(index);
}

void TFrmTxt::SBOpenClick() {
  const std::string folder = m_filePage->selectedFolder();
  const std::string& name = m_filePage->SelFileName();
  if (const auto refusal = unreadableName(folder, name)) {
    m_ui->showError(*refusal);
    return;
  }
  std::optional<core::TDateTime> importDate;
  const readers::ReadContext ctx{m_setts, m_day, m_reading, importDate};
  const std::string templateName = m_datePage->selectedTemplate();
  const readers::SelectedTemplate hourTemplate{m_settingsFile, templateName};
  m_suggestions.Clear();  // they were the last day's
  const bool read = readers::OpenPlaylist(folder, name, ctx, templateName.empty() ? nullptr : &hourTemplate);
  if (importDate) m_datePage->setImportDate(*importDate);
  if (!read) return;
  if (std::all_of(m_day.Songs.begin(), m_day.Songs.end(), [](const auto& hour) { return hour.empty(); })) {
    m_ui->showWarning(core::cp1251("В файле ") + name + core::cp1251(" не найдено ни одной строки плейлиста в формате ") +
                      LayoutName(m_setts.Method) + ".");
    return;
  }
  showPage(m_datePage);
  m_datePage->SGHour()->Fill_HourSetts();
  m_datePage->CBHoursChange();
}

std::string TFrmTxt::LayoutName(int method) {
  switch (method) {
    case 1: return "Selector";
    case 2: return "PowerGold";
    case 3: return "RetroFM";
    case 4: return "Dacha";
    default: return "Mirvane";
  }
}

std::optional<std::string> TFrmTxt::unreadableName(const std::string& folder, const std::string& name) {
  // The list shows a letter that Windows-1251 lacks as '?': such a name
  // names no file.
  if (name.find('?') == std::string::npos) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(core::FsPath(core::AddBackslash(folder) + name), ec)) return std::nullopt;
  return core::cp1251("Файл ") + name +
         core::cp1251(" нельзя открыть: в его имени есть знаки, которых нет в кодировке Windows-1251. "
                      "Переименуйте файл.");
}

void TFrmTxt::SpeedButton1Click() {
  const int index = m_pages->indexOf(m_errors->parentWidget());
  m_pages->setTabVisible(index, false);
  m_errors->clear();
  for (const auto& line : matching::ErrorList(m_day)) m_errors->appendPlainText(toQ(line));
  showPage(m_errors->parentWidget());
}

void TFrmTxt::SBSaveParmsClick() {
  if (const auto refusal = m_settingsPage->SBSaveParmsClick()) {
    m_ui->showError(*refusal);
  } else {
    m_settingsPage->confirmSaved();
  }
}

void TFrmTxt::runAction(const std::function<void()>& action) {
  // The check pauses for window events between its steps; a click then lands
  // here while the check still runs, and must not start a second action.
  if (m_busy) return;
  m_busy = true;
  try {
    action();
  } catch (const std::exception& e) {
    m_ui->showError(e.what());
  }
  m_busy = false;
  // What the views missed meanwhile: the folder the tree moved to, the page
  // the operator switched to.
  if (std::exchange(m_listingMissed, false)) runAction([this] { m_filePage->ShowFiles(); });
  if (std::exchange(m_pageChangeMissed, false)) runAction([this] { PC1Change(); });
}

}  // namespace ui
