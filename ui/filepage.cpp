#include "ui/filepage.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTreeView>

#include "readers/filelist.h"
#include "ui/buttonbar.h"
#include "ui/gridutil.h"
#include "ui/qtext.h"

namespace ui {

FilePage::FilePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabSelFile"));
  m_model = new QFileSystemModel(this);
  m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives | QDir::Hidden);
  m_model->setRootPath(QString());

  m_tree = new QTreeView(this);
  m_tree->setObjectName(QStringLiteral("DLB"));
  m_tree->setModel(m_model);
  for (int c = 1; c < m_model->columnCount(); ++c) m_tree->hideColumn(c);
  m_tree->setHeaderHidden(true);

  m_labDir = new QLabel(this);
  m_labDir->setObjectName(QStringLiteral("LabDir"));
  m_labDir->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a long folder is cut, not widening the page

  m_files = new QTableWidget(1, 2, this);
  m_files->setObjectName(QStringLiteral("SGFiles"));
  m_files->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_files->setSelectionMode(QAbstractItemView::SingleSelection);
  m_files->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_files->verticalHeader()->hide();
  SetRowHeight(m_files, 16);
  m_files->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_files->setHorizontalHeaderLabels({QString(), QString()});
  // Wide enough for "dd.mm.yy hh:mm:ss" in the window's font.
  m_files->setColumnWidth(1, m_files->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00 00:00:00")) + 12);
  // The name column takes what the date column leaves.
  m_files->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

  m_open = new ButtonBar(QStringLiteral("Panel1"), QStringLiteral("SBOpen"), tr8("Открыть файл"), this);
  m_open->button()->setEnabled(false);

  // The tree along the left edge; the label, the grid and the open button
  // centred under it on the right.
  auto* page = new QHBoxLayout(this);
  page->setContentsMargins(0, 0, 2, 4);
  page->setSpacing(4);
  page->addWidget(m_tree);
  auto* right = new QVBoxLayout();
  right->setSpacing(4);
  right->addWidget(m_labDir);
  right->addWidget(m_files, 1);
  right->addWidget(m_open, 0, Qt::AlignHCenter);
  page->addLayout(right, 1);

  connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &FilePage::folderChanged);
  connect(m_files, &QTableWidget::itemSelectionChanged, this, [this] { SGFilesClick(); });
  connect(m_open->button(), &QToolButton::clicked, this, &FilePage::openRequested);
}

void FilePage::setFolder(const std::string& folder) {
  const QString path = QDir::fromNativeSeparators(toQ(folder));
  const QModelIndex index = m_model->index(path);
  if (index.isValid()) {
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
  }
  ShowFiles();
}

std::string FilePage::selectedFolder() const {
  const QModelIndex index = m_tree->currentIndex();
  // The model names folders with '/'; the program shows and stores them as
  // the platform writes them (backslashes on Windows).
  return index.isValid() ? fromQ(QDir::toNativeSeparators(m_model->filePath(index))) : std::string();
}

void FilePage::ShowFiles() {
  const auto listing = readers::ListFolder(selectedFolder());
  if (!listing) return;
  // The grid's header row stays empty; with no file it shows one empty row.
  const int rows = std::max(1, static_cast<int>(listing->Rows.size()));
  m_files->clearSelection();
  m_files->setRowCount(0);
  m_files->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const bool file = r < static_cast<int>(listing->Rows.size());
    const auto& row = file ? listing->Rows[static_cast<std::size_t>(r)] : readers::FileListRow{};
    m_files->setItem(r, 0, new QTableWidgetItem(toQ(row.Name)));
    m_files->setItem(r, 1, new QTableWidgetItem(toQ(row.DateText)));
  }
  m_labDir->setText(toQ(listing->Folder));
  m_files->setCurrentCell(0, 0);
  m_files->selectRow(0);
  SGFilesClick();
}

void FilePage::SGFilesClick() {
  const auto selected = m_files->selectionModel()->selectedRows();
  const int row = selected.isEmpty() ? m_files->currentRow() : selected.front().row();
  const QTableWidgetItem* item = row >= 0 ? m_files->item(row, 0) : nullptr;
  m_selFileName = item ? fromQ(item->text()) : std::string();
  m_open->button()->setEnabled(!m_selFileName.empty());
}

void FilePage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_tree->setFixedWidth(static_cast<int>(width() * 0.32));  // the tree takes 32 % of the page
}

}  // namespace ui
