// Statements on Association.db shared by the review commands and the
// association base page. Values go through db::Quoted, so no text can break
// a statement.
#pragma once

#include <functional>
#include <string>

#include "core/daymodel.h"
#include "db/query.h"

namespace assoc {

// Runs "DELETE FROM <table> WHERE FArtist=.. AND FName=.. AND FPath=.." through
// query: closed and cleared before, cleared after.
void DeleteAssociation(db::Query& query, const std::string& associationPath, const std::string& artist,
                       const std::string& name, const std::string& path);

// Every entry of the day, hour 0 to 23, each hour in list order.
void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit);

}  // namespace assoc
