#include "ui/gridmodels.h"

#include <QColor>
#include <QFont>

#include "matching/review.h"
#include "ui/qtext.h"

namespace ui {
namespace {

constexpr int kColumns = 3;

}  // namespace

HourLinesModel::HourLinesModel(const core::DayPlaylist& day, QObject* parent)
    : QAbstractTableModel(parent), m_day(day) {}

void HourLinesModel::showHour(int hour) {
  beginResetModel();
  m_hour = hour;
  endResetModel();
}

bool HourLinesModel::listed() const {
  const auto h = static_cast<std::size_t>(m_hour);
  return m_day.HourSetts[h] && !m_day.Songs[h].empty();
}

int HourLinesModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return listed() ? static_cast<int>(m_day.Songs[static_cast<std::size_t>(m_hour)].size()) : 1;
}

int HourLinesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

const assoc::SuggestedFile* HourLinesModel::suggestion(const QModelIndex& index) const {
  if (m_suggestions == nullptr || index.column() != 2 || !listed()) return nullptr;
  const auto& list = m_day.Songs[static_cast<std::size_t>(m_hour)];
  if (index.row() < 0 || index.row() >= static_cast<int>(list.size())) return nullptr;
  return m_suggestions->For(list[static_cast<std::size_t>(index.row())]);
}

QVariant HourLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      if (!listed()) return QString();
      if (const assoc::SuggestedFile* file = suggestion(index)) {
        // "≈ Artist — Title"; a jingle has no artist.
        const QString song = file->artist.empty() ? toQ(file->name)
                                                  : toQ(file->artist) + QStringLiteral(" \u2014 ") + toQ(file->name);
        return QStringLiteral("\u2248 ") + song;
      }
      const core::TSongRec& line = m_day.Songs[static_cast<std::size_t>(m_hour)][static_cast<std::size_t>(index.row())];
      const std::string& text = index.column() == 0 ? line.Artist : index.column() == 1 ? line.Name : line.Path;
      return toQ(text);
    }
    case Qt::FontRole: {
      if (suggestion(index) == nullptr) return {};
      QFont italic;
      italic.setItalic(true);
      return italic;
    }
    case Qt::ForegroundRole:
      if (suggestion(index) == nullptr) return {};
      return QColor(Qt::gray);
    case RowStateRole:
    case SelectedRowStateRole:
      // Grid row r + 1 stands for line r, the header being row 0 of the grid.
      return static_cast<int>(matching::RowState(m_day, m_hour, index.row() + 1, role == SelectedRowStateRole));
    default: return {};
  }
}

QVariant HourLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const captions[kColumns] = {"Исполнитель", "Название", "Путь к файлу"};
  return section >= 0 && section < kColumns ? tr8(captions[section]) : QVariant();
}

void AssociationModel::setRows(std::vector<assoc::AssociationRow> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

assoc::AssociationRow AssociationModel::row(int index) const {
  if (index < 0 || index >= static_cast<int>(m_rows.size())) return {};
  return m_rows[static_cast<std::size_t>(index)];
}

int AssociationModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(1, static_cast<int>(m_rows.size()));
}

int AssociationModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant AssociationModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const assoc::AssociationRow r = row(index.row());
  return toQ(index.column() == 0 ? r.artist : index.column() == 1 ? r.name : r.path);
}

QVariant AssociationModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const captions[kColumns] = {"Исполнитель", "Наименование", "Путь к файлу в базе песен"};
  return section >= 0 && section < kColumns ? tr8(captions[section]) : QVariant();
}

}  // namespace ui
