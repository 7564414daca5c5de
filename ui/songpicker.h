// TFr_GetPath: the song picker. The operator narrows the artists and the
// titles of the song base by typing and accepts the file of one title.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>


class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace assoc {
struct SuggestedFile;
}

namespace ui {

class ButtonBar;

class TFr_GetPath : public QDialog {
  Q_OBJECT

 public:
  ~TFr_GetPath() override;
  // Fills the lists from the table (the dialog's FormCreate).
  TFr_GetPath(const std::string& baseFile, QWidget* parent = nullptr);

  // Presets the two edits, which positions the lists, and sets the caption
  // naming the line. With a start the edits get its artist and title instead
  // (a suggestion for a line whose artist is not in the base).
  void preset(const std::string& prefix, const std::string& artist, const std::string& name,
              const assoc::SuggestedFile* start = nullptr);
  const std::string& ResPath() const;

  QListWidget* LBArtist() const { return m_artists; }
  QListWidget* LBName() const { return m_names; }
  QLineEdit* EArt() const { return m_artistEdit; }
  QLineEdit* EName() const { return m_nameEdit; }
  QToolButton* SBSave() const;
  QToolButton* SBCancel() const;

 private:
  void LBArtistClick();
  void EArtChange();

  std::string m_baseFile;
  std::vector<std::string> m_artistTexts;
  bool m_artistLock = false;  // set while the program writes into EArt or selects an artist

  QLabel* m_nameLabel;
  QLabel* m_artistLabel;
  QListWidget* m_names;
  QListWidget* m_artists;
  QLineEdit* m_nameEdit;
  QLineEdit* m_artistEdit;
  ButtonBar* m_save;
  ButtonBar* m_cancel;
  std::unique_ptr<class PickerNames> m_titles;
};

// Shows the picker modally; the chosen path as the table holds it, or empty.
std::string GetSongPath(QWidget* parent, const std::string& tablePath, const std::string& prefix,
                        const std::string& artist, const std::string& name,
                        const assoc::SuggestedFile* start = nullptr);

}  // namespace ui
