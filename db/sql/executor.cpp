#include "db/sql/executor.h"

#include <algorithm>
#include <bit>
#include <filesystem>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/tablecache.h"
#include "db/values.h"

namespace db::sql {
namespace {

// Paradox limits a field name to 25 characters.
constexpr std::size_t kMaxFieldName = 25;

std::int64_t numberKey(double v) { return std::bit_cast<std::int64_t>(v == 0.0 ? 0.0 : v); }

[[noreturn]] void mismatch(const Literal& value, const Field& field, std::string_view table) {
  const std::string shown = value.kind == Literal::Kind::Text ? "\"" + value.text + "\"" : value.text;
  ThrowFieldError(table, field,
                  core::cp1251("значение ") + shown + core::cp1251(" не подходит полю ") + Where(value.pos));
}

std::size_t resolve(const TableData& data, const Name& name, std::string_view table) {
  const int index = data.FieldIndex(name.text);
  if (index < 0) {
    ThrowTableError(table, core::cp1251("нет поля «") + name.text + core::cp1251("» ") + Where(name.pos));
  }
  return static_cast<std::size_t>(index);
}

struct Filter {
  std::size_t column;
  Probe probe;
};

std::vector<Filter> filters(const TableData& data, const std::vector<Condition>& where, std::string_view table) {
  std::vector<Filter> result;
  for (const Condition& c : where) {
    const std::size_t column = resolve(data, c.field, table);
    result.push_back({column, MakeProbe(c.value, data.fields()[column], table)});
  }
  return result;
}

// Row numbers in stored order passing every filter. Starts from the filter
// with the shortest index chain.
std::vector<std::uint32_t> matchingRows(const TableData& data, const std::vector<Filter>& where) {
  if (where.empty()) return data.LiveRows();
  std::vector<std::size_t> columns;
  for (const Filter& f : where) columns.push_back(f.column);
  data.Require(columns);
  std::size_t best = 0;
  std::uint32_t bestCount = data.MatchEstimate(where[0].column, where[0].probe);
  for (std::size_t i = 1; i < where.size() && bestCount > 0; ++i) {
    const std::uint32_t count = data.MatchEstimate(where[i].column, where[i].probe);
    if (count < bestCount) {
      best = i;
      bestCount = count;
    }
  }
  std::vector<std::uint32_t> rows = data.MatchingRows(where[best].column, where[best].probe);
  std::erase_if(rows, [&](std::uint32_t row) {
    for (std::size_t i = 0; i < where.size(); ++i) {
      if (i != best && !data.Matches(row, where[i].column, where[i].probe)) return true;
    }
    return false;
  });
  return rows;
}

std::vector<std::size_t> positionsOf(const TableData& data, const std::vector<std::uint32_t>& rows) {
  std::vector<std::size_t> positions;
  positions.reserve(rows.size());
  for (std::uint32_t row : rows) positions.push_back(data.PositionOf(row));
  return positions;
}

// DISTINCT: keeps the first row of every group equal in the selected columns
// (texts folded, other values exactly, blanks equal to each other).
std::uint64_t distinctHash(const TableData& data, std::uint32_t row, const std::vector<std::size_t>& columns) {
  FoldedHasher h;
  std::uint64_t mixed = 0;
  for (std::size_t column : columns) {
    const ColumnData& c = data.Column(column);
    if (c.IsTextStorage()) {
      h.Add(c.Text(row));
    } else {
      mixed = MixHash(mixed ^ (c.IsBlank(row) ? 0x5bd1e995u : static_cast<std::uint64_t>(c.ExactKey(row))));
    }
    h.Separate();
  }
  return h.Value() ^ mixed;
}

bool distinctEqual(const TableData& data, std::uint32_t a, std::uint32_t b, const std::vector<std::size_t>& columns) {
  for (std::size_t column : columns) {
    const ColumnData& c = data.Column(column);
    if (c.IsTextStorage()) {
      if (!FoldedEqual(c.Text(a), c.Text(b))) return false;
    } else if (c.IsBlank(a) || c.IsBlank(b)) {
      if (c.IsBlank(a) != c.IsBlank(b)) return false;
    } else if (c.ExactKey(a) != c.ExactKey(b)) {
      return false;
    }
  }
  return true;
}

void keepDistinct(const TableData& data, std::vector<std::uint32_t>& rows, const std::vector<std::size_t>& columns) {
  HashIndex seen;
  std::size_t kept = 0;
  for (std::uint32_t row : rows) {
    auto same = [&](std::uint32_t k) { return distinctEqual(data, rows[k], row, columns); };
    const std::uint64_t hash = distinctHash(data, row, columns);
    if (seen.Find(hash, same) != HashIndex::kNone) continue;
    rows[kept] = row;
    seen.Add(static_cast<std::uint32_t>(kept), hash, same);
    ++kept;
  }
  rows.resize(kept);
}

Value setValue(const Condition& set, const Field& field, std::string_view table) {
  if (field.type == FieldType::AutoInc) {
    ThrowFieldError(table, field, core::cp1251("поле автоприращения не изменяется ") + Where(set.field.pos));
  }
  if (IsBinaryType(field.type)) mismatch(set.value, field, table);
  if (set.value.kind == Literal::Kind::Integer && IsTextType(field.type)) mismatch(set.value, field, table);
  try {
    if (set.value.kind == Literal::Kind::Integer) return FromInteger(set.value.integer, field, table);
    return FromString(set.value.text, field, table);
  } catch (const Error&) {
    mismatch(set.value, field, table);
  }
}

std::size_t runCreate(const CreateTable& create) {
  std::vector<Field> fields;
  for (const ColumnDef& column : create.columns) {
    if (column.name.text.size() > kMaxFieldName) {
      ThrowTableError(create.path, core::cp1251("имя поля «") + column.name.text +
                                       core::cp1251("» длиннее 25 символов ") + Where(column.name.pos));
    }
    for (const Field& f : fields) {
      if (FoldedEqual(f.name, column.name.text)) {
        ThrowTableError(create.path, core::cp1251("поле «") + column.name.text +
                                         core::cp1251("» указано дважды ") + Where(column.name.pos));
      }
    }
    fields.push_back(Field{column.name.text, column.type, column.size});
  }
  std::error_code ec;
  if (std::filesystem::exists(core::FsPath(create.path), ec)) {
    ThrowTableError(create.path, core::cp1251("таблица уже существует"));
  }
  ParadoxTable::Create(create.path, fields);
  TableCache::Get(create.path)->Invalidate();
  return 0;
}

std::size_t runDelete(const Delete& del) {
  auto entry = TableCache::Get(del.path);
  std::vector<std::size_t> positions;
  {
    const auto data = entry->Data();
    positions = positionsOf(*data, matchingRows(*data, filters(*data, del.where, del.path)));
  }
  entry->Delete(positions);
  return positions.size();
}

std::size_t runUpdate(const Update& update) {
  auto entry = TableCache::Get(update.path);
  std::vector<ParadoxTable::RowChange> changes;
  {
    const auto data = entry->Data();
    std::vector<ParadoxTable::FieldChange> values;
    for (const Condition& set : update.set) {
      const std::size_t column = resolve(*data, set.field, update.path);
      for (const auto& earlier : values) {
        if (earlier.field == column) {
          ThrowTableError(update.path, core::cp1251("поле «") + set.field.text +
                                           core::cp1251("» изменяется дважды ") + Where(set.field.pos));
        }
      }
      values.push_back({column, setValue(set, data->fields()[column], update.path)});
    }
    const auto rows = matchingRows(*data, filters(*data, update.where, update.path));
    for (std::size_t position : positionsOf(*data, rows)) changes.push_back({position, values});
  }
  entry->Update(changes);
  return changes.size();
}

}  // namespace

Probe MakeProbe(const Literal& value, const Field& field, std::string_view table) {
  Probe p;
  const bool text = value.kind == Literal::Kind::Text;
  if (IsTextType(field.type)) {
    if (!text) mismatch(value, field, table);
    p.kind = Probe::Kind::Text;
    p.text = value.text;
    return p;
  }
  p.kind = Probe::Kind::Key;
  if (IsNumericType(field.type)) {
    if (!text) {
      p.key = numberKey(static_cast<double>(value.integer));
    } else if (auto v = ParseNumber(value.text)) {
      p.key = numberKey(*v);
    } else {
      mismatch(value, field, table);
    }
    return p;
  }
  if (!text) mismatch(value, field, table);
  switch (field.type) {
    case FieldType::Date:
    case FieldType::Timestamp:
      if (auto v = ParseDateTime(value.text)) {
        p.key = DayOf(*v);
        return p;
      }
      break;
    case FieldType::Time:
      if (auto v = ParseTimeOfDay(value.text)) {
        p.key = TimeOfDayMs(*v);
        return p;
      }
      break;
    case FieldType::Logical:
      if (auto b = ParseBoolean(value.text); b && !value.text.empty()) {
        p.key = *b ? 1 : 0;
        return p;
      }
      break;
    default: break;
  }
  mismatch(value, field, table);
}

ResultSet RunSelect(const Select& select) {
  auto data = TableCache::Get(select.path)->Data();
  std::vector<std::size_t> columns;
  if (select.star) {
    for (std::size_t i = 0; i < data->fields().size(); ++i) columns.push_back(i);
  } else {
    for (const Name& name : select.columns) columns.push_back(resolve(*data, name, select.path));
  }
  const std::vector<Filter> where = filters(*data, select.where, select.path);
  std::vector<std::size_t> order;
  for (const Name& name : select.orderBy) order.push_back(resolve(*data, name, select.path));

  if (where.empty() && !select.distinct && order.empty()) {
    return ResultSet(std::move(data), select.path, std::move(columns), std::nullopt);
  }
  // What the statement compares, in one pass over the file.
  std::vector<std::size_t> compared = order;
  for (const Filter& f : where) compared.push_back(f.column);
  // Without WHERE the result is every row: its fields are read too, so they
  // come in the same pass.
  if (select.distinct || where.empty()) compared.insert(compared.end(), columns.begin(), columns.end());
  data->Require(compared);
  std::vector<std::uint32_t> rows = matchingRows(*data, where);
  if (select.distinct) keepDistinct(*data, rows, columns);
  if (!order.empty()) {
    std::stable_sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
      for (std::size_t column : order) {
        const int c = data->Column(column).Compare(a, b);
        if (c != 0) return c < 0;
      }
      return false;
    });
  }
  return ResultSet(std::move(data), select.path, std::move(columns), std::move(rows));
}

std::size_t RunChange(const Statement& statement) {
  if (const auto* create = std::get_if<CreateTable>(&statement)) return runCreate(*create);
  if (const auto* del = std::get_if<Delete>(&statement)) return runDelete(*del);
  if (const auto* update = std::get_if<Update>(&statement)) return runUpdate(*update);
  throw Error(core::cp1251("Запрос SELECT возвращает строки: его открывают, а не выполняют"));
}

}  // namespace db::sql
