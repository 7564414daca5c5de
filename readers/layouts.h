// The five layout readers. Each takes one line of a playlist file (CP1251,
// without its terminator) and stores zero or one entry in the day model; a line
// a reader does not understand is ignored without a word. CurrentHour is the
// hour the line-sequential layouts append to; it starts at 0 for every file.
// The layouts are described in layouts.md beside this file.
#pragma once

#include <cstdint>
#include <string_view>

#include "readers/readcontext.h"

namespace readers {

void OnReadMirvane(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx);
void OnReadStringSelector(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx);
void OnReadStringPowerGold(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx);
void OnReadStringRetroFM(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx);
void OnReadStringDacha(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx);

}  // namespace readers
