// mvimport-cli sql LINE...: one local SQL statement made of the given lines. A
// selection prints like dump; other statements print nothing.
#include <ostream>

#include "cli/command.h"
#include "core/codec.h"
#include "db/dump.h"
#include "db/query.h"

namespace {

int run(cli::Context& ctx) {
  if (ctx.args.empty()) {
    ctx.err << "usage: mvimport-cli sql LINE...\n";
    return cli::kExitUsage;
  }
  db::Query query;
  for (const auto& line : ctx.args) query.Add(core::utf8ToCp1251(line));
  if (!query.IsSelect()) {
    query.ExecSQL();
    return cli::kExitOk;
  }
  query.Open();
  const auto& fields = query.Fields();
  ctx.out << db::DumpHeader(fields) << '\n';
  for (; !query.Eof(); query.Next()) ctx.out << db::DumpLine(fields, query.CurrentRow()) << '\n';
  query.Close();
  return cli::kExitOk;
}

const cli::Registration r{{"sql", "LINE...", run}};

}  // namespace
