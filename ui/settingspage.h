// The settings page: folders, preset, song and jingle columns, jingle
// markers, hour shift and the save button.
#pragma once

#include <QWidget>

#include "core/inifile.h"
#include "core/settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTimer;
class QLineEdit;
class QSpinBox;

namespace ui {

class ButtonBar;

// A folder edit with a browse button; a browsed folder is written with the
// platform's separators.
class FolderEdit : public QWidget {
  Q_OBJECT

 public:
  FolderEdit(const QString& name, QWidget* parent);
  QLineEdit* edit() const { return m_edit; }

 private:
  QLineEdit* m_edit;
};

class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  SettingsPage(core::TSetts& setts, core::IniFile& settingsFile, QWidget* parent);

  void ShowSetts();
  // Returns the refusal text, or nothing when the settings were written.
  std::optional<std::string> SBSaveParmsClick();
  void CBMethodChange(int index);

  // Says for a few seconds, under the save button, that the settings were written.
  void confirmSaved();
  QLabel* LabSaved() const { return m_savedNote; }

  core::SettingsPage values() const;
  void show(const core::SettingsPage& page);

 signals:
  void saveRequested();

 private:
  QSpinBox* spin(const QString& name, int low, int high);

  core::TSetts& m_setts;
  core::IniFile& m_settingsFile;
  FolderEdit* m_mvPath;
  FolderEdit* m_txtPath;
  FolderEdit* m_basePath;
  QComboBox* m_method;
  QSpinBox* m_artStart;
  QSpinBox* m_artEnd;
  QSpinBox* m_nameStart;
  QSpinBox* m_nameEnd;
  QGroupBox* m_jingles;
  QCheckBox* m_useJingle;
  QSpinBox* m_jArtStart;
  QSpinBox* m_jArtEnd;
  QSpinBox* m_jNameStart;
  QSpinBox* m_jNameEnd;
  QLineEdit* m_jArtist;
  QSpinBox* m_shiftHour;
  ButtonBar* m_save;
  QLabel* m_savedNote;
  QTimer* m_savedNoteTimer;
};

}  // namespace ui
