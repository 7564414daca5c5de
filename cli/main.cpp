#include <iostream>
#include <vector>

#include "cli/command.h"
#include "core/codec.h"

namespace cli {
namespace {

std::vector<Command>& registry() {
  static std::vector<Command> commands;
  return commands;
}

void printUsage(std::ostream& err) {
  err << "usage: mvimport-cli COMMAND [ARGS]\n";
  for (const auto& c : Commands()) err << "  mvimport-cli " << c.name << " " << c.usage << "\n";
}

}  // namespace

Registration::Registration(Command command) { registry().push_back(std::move(command)); }

const std::vector<Command>& Commands() { return registry(); }

void PrintText(std::ostream& out, std::string_view cp1251Text) { out << core::cp1251ToUtf8(cp1251Text); }

}  // namespace cli

int main(int argc, char** argv) {
  if (argc < 2) {
    cli::printUsage(std::cerr);
    return cli::kExitUsage;
  }
  const std::string name = argv[1];
  for (const auto& command : cli::Commands()) {
    if (command.name != name) continue;
    cli::Context ctx{std::vector<std::string>(argv + 2, argv + argc), argv[0], std::cout, std::cerr};
    try {
      return command.run(ctx);
    } catch (const std::exception& e) {
      std::cerr << core::cp1251ToUtf8(e.what()) << "\n";
      return cli::kExitFailure;
    }
  }
  cli::printUsage(std::cerr);
  return cli::kExitUsage;
}
