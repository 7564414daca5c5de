// What the review commands and the association base page share.
#pragma once

#include <functional>
#include <string>

#include "core/daymodel.h"

namespace assoc {

// Every entry of the day, hour 0 to 23, each hour in list order.
void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit);

}  // namespace assoc
