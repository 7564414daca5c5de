// Reads a Paradox table with pxlib, an implementation independent of the
// program's own engine, so the tests see what another reader finds in the
// file the import wrote. A build without pxlib (Windows) reads it back with
// the program's engine instead, in the same text form.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#ifndef MVIMPORT_HAVE_PXLIB
#error "MVIMPORT_HAVE_PXLIB comes from mvimport_use_pxlib() in CMake"
#endif
#if MVIMPORT_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}
#else
#include "db/paradox/table.h"
#endif

#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"

namespace pxtest {

constexpr double kMsPerDay = 86400000.0;

inline std::string timeText(long ms) {
  auto two = [](long n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return two(ms / 3600000) + ":" + two(ms / 60000 % 60) + ":" + two(ms / 1000 % 60);
}

// Every record as field name -> text, in stored order.
using Record = std::map<std::string, std::string>;

#if MVIMPORT_HAVE_PXLIB

// One value as text (UTF-8): Date "dd.mm.yyyy", Time "hh:mm:ss", Timestamp
// "dd.mm.yyyy hh:mm:ss", Logical "true"/"false", numbers in decimal; a blank
// value is empty.
inline std::string valueText(const pxval_t& v, char type) {
  if (v.isnull) return {};
  switch (type) {
    case pxfAlpha: return core::cp1251ToUtf8(std::string(v.value.str.val, static_cast<std::size_t>(v.value.str.len)));
    case pxfDate: return core::DateToStr(static_cast<double>(v.value.lval - core::kDayZeroOrdinal));
    case pxfTime: return timeText(v.value.lval);
    case pxfTimestamp: {
      const double days = std::floor(v.value.dval / kMsPerDay);
      return core::DateToStr(days - core::kDayZeroOrdinal) +
             " " + timeText(static_cast<long>(v.value.dval - days * kMsPerDay));
    }
    case pxfLogical: return v.value.lval ? "true" : "false";
    case pxfShort:
    case pxfLong: return std::to_string(v.value.lval);
    default: return "?";
  }
}

inline std::vector<Record> ReadRecords(const std::string& cp1251Path) {
  std::vector<Record> records;
  pxdoc_t* doc = PX_new();
  if (PX_open_file(doc, core::FsPath(cp1251Path).string().c_str()) < 0) {
    ADD_FAILURE() << "pxlib cannot open " << core::cp1251ToUtf8(cp1251Path);
    PX_delete(doc);
    return records;
  }
  const int fieldCount = PX_get_num_fields(doc);
  const pxfield_t* fields = PX_get_fields(doc);
  for (int r = 0; r < PX_get_num_records(doc); ++r) {
    pxval_t** values = PX_retrieve_record(doc, r);
    if (values == nullptr) {
      ADD_FAILURE() << "pxlib cannot read record " << r;
      break;
    }
    Record record;
    for (int f = 0; f < fieldCount; ++f) {
      record[fields[f].px_fname] = valueText(*values[f], fields[f].px_ftype);
      if (!values[f]->isnull && fields[f].px_ftype == pxfAlpha) doc->free(doc, values[f]->value.str.val);
      doc->free(doc, values[f]);
    }
    doc->free(doc, values);
    records.push_back(std::move(record));
  }
  PX_close(doc);
  PX_delete(doc);
  return records;
}

#else

// One value as text (UTF-8), as the pxlib reading gives it.
inline std::string valueText(const db::Value& v, db::FieldType type) {
  using db::FieldType;
  if (std::holds_alternative<std::monostate>(v)) return {};
  if (const auto* text = std::get_if<std::string>(&v)) return core::cp1251ToUtf8(*text);
  if (const auto* flag = std::get_if<bool>(&v)) return *flag ? "true" : "false";
  if (const auto* number = std::get_if<std::int64_t>(&v)) return std::to_string(*number);
  const double d = std::get<double>(v);
  switch (type) {
    case FieldType::Date: return core::DateToStr(d);
    case FieldType::Time: return timeText(std::lround(d * kMsPerDay));
    case FieldType::Timestamp: {
      const double days = std::floor(d);
      return core::DateToStr(days) + " " + timeText(std::lround((d - days) * kMsPerDay));
    }
    default: return "?";
  }
}

inline std::vector<Record> ReadRecords(const std::string& cp1251Path) {
  std::vector<Record> records;
  try {
    const db::ParadoxTable table(cp1251Path);
    const auto& fields = table.fields();
    for (const db::Row& row : table.ReadAll()) {
      Record record;
      for (std::size_t f = 0; f < fields.size() && f < row.size(); ++f) {
        record[fields[f].name] = valueText(row[f], fields[f].type);
      }
      records.push_back(std::move(record));
    }
  } catch (const db::Error& e) {
    ADD_FAILURE() << core::cp1251ToUtf8(e.what());
  }
  return records;
}

#endif  // MVIMPORT_HAVE_PXLIB

// "date hour number name" of every record, for checking where rows went.
inline std::vector<std::string> Slots(const std::string& cp1251Path) {
  std::vector<std::string> lines;
  for (const Record& r : ReadRecords(cp1251Path)) {
    lines.push_back(r.at("FDate") + " " + r.at("FHour") + " " + r.at("FNumber") + " " + r.at("FName"));
  }
  return lines;
}

}  // namespace pxtest
