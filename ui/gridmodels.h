// The item models behind the review grid and the association grid. The
// models hold no copies of texts in widget items: the review reads the day
// model, the association grid the rows read from the association table.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "assoc/assocbase.h"
#include "assoc/suggestions.h"
#include "core/daymodel.h"

namespace ui {

// SGPList: the lines of one hour. An hour that is chosen and has lines lists
// them; any other hour shows one empty row, coloured after the hour's first
// line (row colours follow the hour's list, not what the grid shows).
class HourLinesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The row's look, a matching::ReviewRowState, unselected and selected.
  enum Role { RowStateRole = Qt::UserRole + 1, SelectedRowStateRole };

  HourLinesModel(const core::DayPlaylist& day, QObject* parent);

  int hour() const { return m_hour; }
  // Shows the hour as the day now holds it.
  void showHour(int hour);
  // True while the hour's lines are listed.
  bool listed() const;
  // The path cell of an unmatched line with a suggestion shows it in grey
  // italics; the line stays unmatched (its row state does not change).
  void setSuggestions(const assoc::DaySuggestions* suggestions) { m_suggestions = suggestions; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const assoc::SuggestedFile* suggestion(const QModelIndex& index) const;

  const core::DayPlaylist& m_day;
  const assoc::DaySuggestions* m_suggestions = nullptr;
  int m_hour = 0;
};

// SGAss: the rows of the association table; an empty table shows one empty
// row.
class AssociationModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void setRows(std::vector<assoc::AssociationRow> rows);
  // The row behind a grid row; the empty row of an empty table is a row of
  // three empty values.
  assoc::AssociationRow row(int index) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<assoc::AssociationRow> m_rows;
};

}  // namespace ui
