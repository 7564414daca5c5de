// TabAss: every row of the association base in a grid, with the commands
// that give a row another file or delete it.
#pragma once

#include <QTableView>
#include <QWidget>

#include "assoc/assocbase.h"

class QAction;
class QMenu;

namespace ui {

class AssociationModel;

class AssPage : public QWidget {
  Q_OBJECT

 public:
  explicit AssPage(QWidget* parent = nullptr);

  QTableView* SGAss() const { return m_grid; }
  QMenu* MenuASS() const { return m_menu; }
  QAction* NChange() const { return m_change; }
  QAction* N2() const { return m_delete; }

  // Shows the rows; the selection and scroll position stay.
  void show(const std::vector<assoc::AssociationRow>& rows);
  // The row selected in the grid (the empty row of an empty table included).
  std::optional<assoc::AssociationRow> selectedRow() const;

 signals:
  void changeRequested();
  void deleteRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableView* m_grid;
  AssociationModel* m_model;
  QMenu* m_menu;
  QAction* m_change;
  QAction* m_delete;
};

}  // namespace ui
