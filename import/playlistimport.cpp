#include "import/playlistimport.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "core/codec.h"
#include "core/text.h"
#include "db/stationlock.h"
#include "import/undo.h"

namespace importing {
namespace {

constexpr std::int32_t kTypeSong = 0;
constexpr std::int32_t kTypeJingle = 5;

core::TDateTime wholeDay(core::TDateTime date) { return std::floor(date); }

TargetSlot targetOf(const ImportContext& ctx, int hour) {
  return Target(wholeDay(ctx.date), ctx.setts.ShiftHour, hour);
}

bool chosen(const ImportContext& ctx, int hour) { return ctx.day.HourSetts[static_cast<std::size_t>(hour)]; }

const core::TSongRec& entryAt(const ImportContext& ctx, int hour, std::size_t index) {
  return ctx.day.Songs.at(static_cast<std::size_t>(hour)).at(index);
}

bool inSlot(const db::PlaySlot& row, const TargetSlot& slot) {
  return !row.blankDate && std::floor(row.FDate) == slot.day && row.FHour == slot.hour;
}

HourImport* hourOf(ImportPlan& plan, int hour) {
  for (HourImport& h : plan.hours) {
    if (h.hour == hour) return &h;
  }
  return nullptr;
}

template <class Removes>
void deleteWhere(ImportPlan& plan, const std::vector<db::PlaySlot>& slots, const Removes& removes) {
  std::set<std::size_t> marked(plan.batch.deletes.begin(), plan.batch.deletes.end());
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (removes(slots[i])) marked.insert(i);
  }
  plan.batch.deletes.assign(marked.begin(), marked.end());
}

// The playlist's rows as the plan reads them, once per plan.
const std::vector<db::PlaySlot>& playSlots(const ImportContext& ctx, ImportPlan& plan) {
  if (!plan.rowsRead) {
    plan.rows = ctx.station.Playlist().Slots(&plan.stamp);
    plan.rowsRead = true;
  }
  return plan.rows;
}

std::string plural(int n, const char* one, const char* few, const char* many) {
  return std::to_string(n) + " " + core::cp1251(core::PluralForm(n, one, few, many));
}

template <class Values>
void insertFrom(const ImportContext& ctx, ImportPlan& plan, int hour, std::int32_t& counter, std::size_t index,
                Values&& values) {
  const core::TSongRec& entry = entryAt(ctx, hour, index);
  if (!entry.matched()) return;
  const TargetSlot slot = targetOf(ctx, hour);
  const std::optional<db::PlayListRow> row = values(entry);
  if (!row) {
    if (HourImport* h = hourOf(plan, hour)) ++h->notInBase;
    return;
  }
  db::PlayListRow r = *row;
  r.FDate = slot.day;
  r.FHour = slot.hour;
  r.FNumber = counter;
  db::PlayList& playlist = ctx.station.Playlist();
  db::Row stored = playlist.MakeRow(r);
  playlist.EncodeRecord(stored);  // a text the table's code page lacks fails here, before any write
  plan.batch.rows.push_back(std::move(stored));
  ++counter;
}

}  // namespace

bool ImportScope::Contains(const db::PlaySlot& row) const {
  if (window) {
    const double r = row.FDate + row.FHour / 24.0 + core::kOneSecond;
    return r >= start && r < end;
  }
  return std::any_of(targets.begin(), targets.end(), [&](const TargetSlot& s) { return inSlot(row, s); });
}

int ImportPlan::entries() const {
  int n = 0;
  for (const HourImport& h : hours) n += h.entries;
  return n;
}

int ImportPlan::matched() const {
  int n = 0;
  for (const HourImport& h : hours) n += h.matched;
  return n;
}

std::vector<core::TDateTime> ImportPlan::days() const {
  std::set<core::TDateTime> set;
  for (const HourImport& h : hours) set.insert(h.target.day);
  return {set.begin(), set.end()};
}

TargetSlot Target(core::TDateTime date, std::int32_t shiftHour, int hour) {
  const double t = date + (static_cast<double>(hour) + static_cast<double>(shiftHour)) / 24.0 + core::kOneSecond;
  TargetSlot slot;
  slot.day = std::trunc(t);
  slot.hour = static_cast<int>(std::trunc((t - slot.day) * 24.0));
  return slot;
}

void ClearHours(const ImportContext& ctx, ImportPlan& plan) {
  const std::vector<db::PlaySlot>& slots = playSlots(ctx, plan);
  for (int h = 0; h < core::kHours; ++h) {
    if (!chosen(ctx, h)) continue;
    const TargetSlot slot = targetOf(ctx, h);
    deleteWhere(plan, slots, [&](const db::PlaySlot& row) { return inSlot(row, slot); });
  }
}

void ClearAllList(const ImportContext& ctx, ImportPlan& plan) {
  const std::vector<db::PlaySlot>& slots = playSlots(ctx, plan);
  deleteWhere(plan, slots, [&](const db::PlaySlot& row) { return plan.scope.Contains(row); });
}

int GetCountList(const ImportContext& ctx, const ImportPlan& plan, int hour) {
  const std::vector<db::PlaySlot>& slots = plan.rows;
  const TargetSlot slot = targetOf(ctx, hour);
  int count = 0;
  auto deleted = plan.batch.deletes.begin();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    while (deleted != plan.batch.deletes.end() && *deleted < i) ++deleted;
    if (deleted != plan.batch.deletes.end() && *deleted == i) continue;
    if (inSlot(slots[i], slot)) ++count;
  }
  return count;
}

void InsertList(const ImportContext& ctx, ImportPlan& plan, int hour, std::int32_t& counter, std::size_t index) {
  insertFrom(ctx, plan, hour, counter, index, [&](const core::TSongRec& entry) -> std::optional<db::PlayListRow> {
    const auto base = ctx.station.Songs().ValuesOf(entry.Path);
    if (!base) return std::nullopt;
    db::PlayListRow row;
    row.values = *base;
    row.FType = kTypeSong;
    return row;
  });
}

// A jingle row takes its timing from the jingle base; the song-only times are
// zero and the entry's artist stands in every descriptive field.
void InsertListJingle(const ImportContext& ctx, ImportPlan& plan, int hour, std::int32_t& counter,
                      std::size_t index) {
  // The jingle base as the settings name it now, which is where the check looked.
  db::JingleBase jingles(db::Station::JinglesPathIn(ctx.setts.MVPath));
  insertFrom(ctx, plan, hour, counter, index, [&](const core::TSongRec& entry) -> std::optional<db::PlayListRow> {
    const auto base = jingles.ValuesOf(entry.Path);
    if (!base) return std::nullopt;
    db::PlayListRow row;
    row.values = *base;
    row.values.FArtist = entry.Artist;
    for (std::string* text : {&row.values.FCategory, &row.values.FStyle, &row.values.FMood, &row.values.FSex,
                              &row.values.FLanguage}) {
      *text = entry.Artist;
    }
    row.FType = kTypeJingle;
    return row;
  });
}

ImportPlan PlanImport(const ImportContext& ctx, int clearMode) {
  ImportPlan plan;
  plan.clearMode = clearMode;
  plan.date = wholeDay(ctx.date);
  plan.shiftHour = ctx.setts.ShiftHour;
  playSlots(ctx, plan);
  if (clearMode == kClearDay) {
    plan.scope.window = true;
    plan.scope.start = plan.date + ctx.setts.ShiftHour / 24.0;
    plan.scope.end = plan.scope.start + 1.0;
  }
  for (int h = 0; h < core::kHours; ++h) {
    if (chosen(ctx, h)) plan.scope.targets.push_back(targetOf(ctx, h));
  }
  if (clearMode == kClearHours) {
    ClearHours(ctx, plan);
  } else if (clearMode == kClearDay) {
    ClearAllList(ctx, plan);
  }
  const std::vector<db::PlaySlot>& slots = playSlots(ctx, plan);
  for (int h = 0; h < core::kHours; ++h) {
    if (!chosen(ctx, h)) continue;
    const auto& list = ctx.day.Songs[static_cast<std::size_t>(h)];
    HourImport done;
    done.hour = h;
    done.target = targetOf(ctx, h);
    done.entries = static_cast<int>(list.size());
    for (std::size_t d : plan.batch.deletes) {
      if (inSlot(slots[d], done.target)) ++done.removed;
    }
    done.first = GetCountList(ctx, plan, h);
    plan.hours.push_back(done);
    std::int32_t counter = done.first;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (!list[i].matched()) continue;
      ++plan.hours.back().matched;
      if (list[i].isJingle()) {
        InsertListJingle(ctx, plan, h, counter, i);
      } else {
        InsertList(ctx, plan, h, counter, i);
      }
    }
    plan.hours.back().written = counter - plan.hours.back().first;
  }
  return plan;
}

std::string PlanSummary(const ImportPlan& plan) {
  std::string days;
  for (core::TDateTime day : plan.days()) days += (days.empty() ? "" : ", ") + core::DateToStr(day);
  const int hours = static_cast<int>(plan.hours.size());
  std::string text = core::cp1251("Будет удалено ") + plural(plan.removed(), "строка", "строки", "строк") +
                     core::cp1251(" и добавлено ") + plural(plan.appended(), "строка", "строки", "строк") +
                     core::cp1251(" в ") + plural(hours, "часе", "часах", "часах") + core::cp1251(" за ") + days + ".";
  const int entries = plan.entries();
  if (entries > 0) {
    text += core::cp1251(" Сопоставлено ") + std::to_string(plan.matched()) + core::cp1251(" из ") +
            plural(entries, "записи", "записей", "записей") + " (" + std::to_string(plan.matched() * 100 / entries) +
            " %).";
  }
  return text;
}

std::string ImportCounts(const ImportReport& report) {
  return core::cp1251("Записано ") + plural(report.appended, "строка", "строки", "строк") +
         core::cp1251(", удалено ") + plural(report.removed, "строка", "строки", "строк") +
         core::cp1251(", пропущено несопоставленных записей: ") + std::to_string(report.skipped) + ".";
}

namespace {

ImportReport reportOf(const ImportPlan& plan, bool written) {
  return ImportReport{plan.hours, plan.removed(), plan.appended(), plan.skipped(), written};
}

// The reason the command line refuses a plan, or "" when it goes on.
std::string refusal(const ImportPlan& plan, const ImportRun& run) {
  if (run.force) return {};
  if (run.refuseEmpty && plan.removed() > 0 && plan.appended() == 0) {
    return core::cp1251("Импорт отменён: он удалил бы ") + plural(plan.removed(), "строку", "строки", "строк") +
           core::cp1251(" и не записал бы ни одной. Проверьте формат файла и сопоставления (--force — всё равно "
                        "импортировать).");
  }
  const int entries = plan.entries();
  if (run.minMatchedPercent > 0 && plan.matched() * 100 < run.minMatchedPercent * entries) {
    return core::cp1251("Импорт отменён: сопоставлено ") + std::to_string(plan.matched()) + core::cp1251(" из ") +
           plural(entries, "записи", "записей", "записей") + core::cp1251(" выбранных часов, меньше ") +
           std::to_string(run.minMatchedPercent) + core::cp1251(" % (--force — всё равно импортировать).");
  }
  return {};
}

bool samePlan(const ImportPlan& a, const ImportPlan& b) {
  return a.batch.deletes == b.batch.deletes && a.appended() == b.appended();
}

}  // namespace

std::optional<ImportReport> SBImportClick(const ImportContext& ctx, int clearMode, matching::OperatorUi& ui,
                                          const ImportRun& run) {
  if (wholeDay(ctx.date) <= 0) {
    ui.showError(core::cp1251("Укажите дату плейлиста!"));
    return std::nullopt;
  }
  if (ctx.setts.ShiftHour < -kMaxShiftHour || ctx.setts.ShiftHour > kMaxShiftHour) {
    ui.showError(core::cp1251("Сдвиг часов ") + std::to_string(ctx.setts.ShiftHour) +
                 core::cp1251(" вне допустимых пределов от -24 до 24. Исправьте его в настройках."));
    return std::nullopt;
  }
  ctx.station.RecoverUnfinishedWrites();
  if (run.dryRun) return reportOf(PlanImport(ctx, clearMode), false);

  std::optional<ImportPlan> shown;
  if (run.askFirst) {
    shown = PlanImport(ctx, clearMode);
    std::string question = PlanSummary(*shown);
    if (shown->removed() > 0 && shown->appended() == 0) {
      question += core::cp1251(" Ни одна строка не будет записана.");
    }
    if (!ui.askYesNo(question + core::cp1251(" Импортировать?"))) return std::nullopt;
  }
  const db::StationLock lock(ctx.station.paths().PlayListPath, run.lockPatience);
  const ImportPlan plan = PlanImport(ctx, clearMode);
  if (shown && !samePlan(*shown, plan)) {
    ui.showError(core::cp1251("Плейлист изменила другая программа, пока шёл вопрос. Повторите импорт."));
    return std::nullopt;
  }
  if (const std::string reason = refusal(plan, run); !reason.empty()) {
    ui.showError(reason);
    return std::nullopt;
  }
  const ImportRecords before = RecordsBefore(ctx.station, plan);
  if (plan.batch.empty()) {
    const ImportReport report = reportOf(plan, true);
    ui.showDone(core::cp1251("Импорт выполнен!"), ImportCounts(report));
    return report;
  }
  ctx.station.Playlist().Write(plan.batch, plan.stamp);
  ImportRecords records = before;
  try {
    records.appended = AppendedAfter(ctx.station, plan, before.kept);
  } catch (const db::Error&) {
    records.appended.clear();
  }
  const ImportReport report = reportOf(plan, true);
  std::string counts = ImportCounts(report);
  // The playlist is written: a record that cannot be kept costs the undo of
  // this import, not the import.
  try {
    RecordImport(ctx.station, plan, records);
  } catch (const std::exception& e) {
    counts += core::cp1251(" Отменить этот импорт будет нельзя: запись для отмены не сохранена (") + e.what() + ").";
  }
  ui.showDone(core::cp1251("Импорт выполнен!"), counts);
  return report;
}

}  // namespace importing
