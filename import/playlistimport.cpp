#include "import/playlistimport.h"

#include <cmath>
#include <string>

#include "core/codec.h"
#include "core/text.h"

namespace importing {
namespace {

constexpr std::int32_t kTypeSong = 0;
constexpr std::int32_t kTypeJingle = 5;

core::TDateTime wholeDay(core::TDateTime date) { return std::floor(date); }

TargetSlot targetOf(const ImportContext& ctx, int hour) {
  return Target(wholeDay(ctx.date), ctx.setts.ShiftHour, hour);
}

// "WHERE FDate="dd.mm.yyyy" AND FHour=h" of a source hour's target.
std::string hourCondition(const ImportContext& ctx, int hour) {
  const TargetSlot slot = targetOf(ctx, hour);
  return "WHERE FDate=" + db::Quoted(core::DateToStr(slot.day)) + " AND FHour=" + std::to_string(slot.hour);
}

const core::TSongRec& entryAt(const ImportContext& ctx, int hour, std::size_t index) {
  return ctx.day.Songs.at(static_cast<std::size_t>(hour)).at(index);
}

// Opens the base rows of a path; false (query cleared) when there is none.
bool selectBaseRow(db::Query& query, const std::string& basePath, const std::string& path) {
  query.Close();
  query.Clear();
  query.Add("SELECT * From " + db::Quoted(basePath));
  query.Add("WHERE FPath=" + db::Quoted(path));
  query.Open();
  if (!query.Eof()) return true;
  query.Close();
  query.Clear();
  return false;
}

void copyDateTime(db::Table& table, const db::Query& base, std::string_view field) {
  table.SetFieldAsDateTime(field, base.FieldAsDateTime(field));
}

void copyInteger(db::Table& table, const db::Query& base, std::string_view field) {
  table.SetFieldAsInteger(field, base.FieldAsInteger(field));
}

void copyText(db::Table& table, const db::Query& base, std::string_view field) {
  table.SetFieldAsString(field, base.FieldAsString(field));
}

void setSlot(db::Table& table, const TargetSlot& slot, std::int32_t number) {
  table.SetFieldAsDateTime("FDate", slot.day);
  table.SetFieldAsInteger("FHour", slot.hour);
  table.SetFieldAsInteger("FNumber", number);
}

void setSongFields(db::Table& table, const db::Query& base, const TargetSlot& slot, std::int32_t number) {
  setSlot(table, slot, number);
  for (std::string_view f : {"FPath", "FArtist", "FName"}) copyText(table, base, f);
  for (std::string_view f : {"FTime", "FIntro", "FOutro", "FProtect", "FStartTime", "FAbort", "FFadeInLen",
                             "FFadeOutLen", "FMixOut", "FMixIn"}) {
    copyDateTime(table, base, f);
  }
  copyInteger(table, base, "FStartVol");
  copyInteger(table, base, "FEndVol");
  table.SetFieldAsBoolean("FNoAutoMix", base.FieldAsBoolean("FNoAutoMix"));
  table.SetFieldAsInteger("FType", kTypeSong);
  for (std::string_view f : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) copyText(table, base, f);
}

// A jingle row takes its timing from the jingle base; the song-only times are
// zero and the entry's artist stands in every descriptive field.
void setJingleFields(db::Table& table, const db::Query& base, const TargetSlot& slot, std::int32_t number,
                     const std::string& artist) {
  setSlot(table, slot, number);
  copyText(table, base, "FPath");
  table.SetFieldAsString("FArtist", artist);
  copyText(table, base, "FName");
  copyDateTime(table, base, "FTime");
  table.SetFieldAsDateTime("FIntro", 0);
  table.SetFieldAsDateTime("FOutro", 0);
  table.SetFieldAsDateTime("FProtect", 0);
  copyDateTime(table, base, "FStartTime");
  table.SetFieldAsDateTime("FAbort", 0);
  for (std::string_view f : {"FFadeInLen", "FFadeOutLen", "FMixOut", "FMixIn"}) copyDateTime(table, base, f);
  copyInteger(table, base, "FStartVol");
  copyInteger(table, base, "FEndVol");
  table.SetFieldAsBoolean("FNoAutoMix", base.FieldAsBoolean("FNoAutoMix"));
  table.SetFieldAsInteger("FType", kTypeJingle);
  for (std::string_view f : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) table.SetFieldAsString(f, artist);
}

template <class SetFields>
void insertFrom(const ImportContext& ctx, const std::string& basePath, db::Table& table, int hour,
                std::int32_t& counter, std::size_t index, SetFields&& setFields) {
  const core::TSongRec& entry = entryAt(ctx, hour, index);
  if (!entry.matched()) return;
  const TargetSlot slot = targetOf(ctx, hour);
  if (!selectBaseRow(ctx.Query1, basePath, entry.Path)) return;
  table.Append();
  setFields(entry, slot);
  table.Post();
  ctx.Query1.Close();
  ctx.Query1.Clear();
  ++counter;
}

}  // namespace

TargetSlot Target(core::TDateTime date, std::int32_t shiftHour, int hour) {
  const double t = date + static_cast<double>(hour + shiftHour) / 24.0 + core::kOneSecond;
  TargetSlot slot;
  slot.day = std::trunc(t);
  slot.hour = static_cast<int>(std::trunc((t - slot.day) * 24.0));
  return slot;
}

void ClearHours(const ImportContext& ctx) {
  for (int h = 0; h < core::kHours; ++h) {
    if (!ctx.day.HourSetts[static_cast<std::size_t>(h)]) continue;
    ctx.Query1.Close();
    ctx.Query1.Clear();
    ctx.Query1.Add("Delete FROM " + db::Quoted(ctx.paths.PlayListPath));
    ctx.Query1.Add(hourCondition(ctx, h));
    ctx.Query1.ExecSQL();
    ctx.Query1.Clear();
  }
}

void ClearAllList(const ImportContext& ctx) {
  const core::TDateTime start = wholeDay(ctx.date) + ctx.setts.ShiftHour / 24.0;
  const core::TDateTime end = start + 1.0;
  db::Table table(ctx.paths.PlayListPath);
  table.Open();
  // The day's rows go in one write: all of them or, after a failure, none.
  table.BeginBatch();
  while (!table.Eof()) {
    const double r = table.FieldAsDateTime("FDate") + table.FieldAsInteger("FHour") / 24.0 + core::kOneSecond;
    if (r >= start && r < end) {
      table.Delete();  // the following row is current now
    } else {
      table.Next();
    }
  }
  table.CommitBatch();
  table.Close();
}

int GetCountList(const ImportContext& ctx, int hour) {
  ctx.Query1.Close();
  ctx.Query1.Clear();
  ctx.Query1.Add("SELECT FPath FROM " + db::Quoted(ctx.paths.PlayListPath));
  ctx.Query1.Add(hourCondition(ctx, hour));
  ctx.Query1.Open();
  const int count = ctx.Query1.RecordCount();
  ctx.Query1.Close();
  ctx.Query1.Clear();
  return count;
}

void InsertList(const ImportContext& ctx, db::Table& table, int hour, std::int32_t& counter, std::size_t index) {
  insertFrom(ctx, ctx.paths.BaseSongPath, table, hour, counter, index,
             [&](const core::TSongRec&, const TargetSlot& slot) { setSongFields(table, ctx.Query1, slot, counter); });
}

void InsertListJingle(const ImportContext& ctx, db::Table& table, int hour, std::int32_t& counter,
                      std::size_t index) {
  // The jingle base as the settings name it now, which is where the check looked.
  const std::string jinglesPath = core::AddBackslash(ctx.setts.MVPath) + "Jingles.db";
  insertFrom(ctx, jinglesPath, table, hour, counter, index, [&](const core::TSongRec& entry, const TargetSlot& slot) {
    setJingleFields(table, ctx.Query1, slot, counter, entry.Artist);
  });
}

std::optional<std::vector<HourImport>> SBImportClick(const ImportContext& ctx, int clearMode,
                                                     matching::OperatorUi& ui) {
  if (wholeDay(ctx.date) <= 0) {
    ui.showError(core::cp1251("Укажите дату плейлиста!"));
    return std::nullopt;
  }
  if (clearMode == kClearHours) {
    ClearHours(ctx);
  } else if (clearMode == kClearDay) {
    ClearAllList(ctx);
  }
  db::Table table(ctx.paths.PlayListPath);
  table.Open();
  std::vector<HourImport> report;
  for (int h = 0; h < core::kHours; ++h) {
    if (!ctx.day.HourSetts[static_cast<std::size_t>(h)]) continue;
    const auto& list = ctx.day.Songs[static_cast<std::size_t>(h)];
    HourImport done{h, targetOf(ctx, h), static_cast<int>(list.size()), 0, GetCountList(ctx, h), 0};
    std::int32_t counter = done.first;
    // An hour reaches the playlist whole or not at all, and costs one durable
    // write instead of one per row.
    table.BeginBatch();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (!list[i].matched()) continue;
      ++done.matched;
      if (list[i].isJingle()) {
        InsertListJingle(ctx, table, h, counter, i);
      } else {
        InsertList(ctx, table, h, counter, i);
      }
    }
    table.CommitBatch();
    done.written = counter - done.first;
    report.push_back(done);
  }
  table.Close();
  ui.showInfo(core::cp1251("Импорт выполнен!"));
  return report;
}

}  // namespace importing
