// The first page: the folder tree, the text playlists of the chosen folder and
// the button that opens one.
#pragma once

#include <QWidget>
#include <string>

class QFileSystemModel;
class QLabel;
class QTableWidget;
class QTreeView;

namespace ui {

class ButtonBar;

class FilePage : public QWidget {
  Q_OBJECT

 public:
  explicit FilePage(QWidget* parent = nullptr);

  // Points the tree at a CP1251 folder name and lists it.
  void setFolder(const std::string& folder);
  // The folder selected in the tree (CP1251, the platform's separators),
  // empty when none.
  std::string selectedFolder() const;
  const std::string& SelFileName() const { return m_selFileName; }

  QTreeView* DLB() const { return m_tree; }
  QTableWidget* SGFiles() const { return m_files; }
  ButtonBar* Panel1() const { return m_open; }

  void ShowFiles();

 signals:
  void openRequested();
  // The folder tree's selection moved; the window lists the new folder.
  void folderChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SGFilesClick();

  QFileSystemModel* m_model;
  QTreeView* m_tree;
  QLabel* m_labDir;
  QTableWidget* m_files;
  ButtonBar* m_open;
  std::string m_selFileName;
};

}  // namespace ui
