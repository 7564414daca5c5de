// mvimport-cli dump TABLE: every row of a table file in stored order.
#include <ostream>

#include "cli/command.h"
#include "core/codec.h"
#include "db/dump.h"
#include "db/table.h"

namespace {

int run(cli::Context& ctx) {
  if (ctx.args.size() != 1) {
    ctx.err << "usage: mvimport-cli dump TABLE\n";
    return cli::kExitUsage;
  }
  db::Table table(core::utf8ToCp1251(ctx.args[0]));
  table.Open();
  const auto& fields = table.Fields();
  ctx.out << db::DumpHeader(fields) << '\n';
  for (table.First(); !table.Eof(); table.Next()) ctx.out << db::DumpLine(fields, table.CurrentRow()) << '\n';
  table.Close();
  return cli::kExitOk;
}

const cli::Registration r{{"dump", "TABLE", run}};

}  // namespace
