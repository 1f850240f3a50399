// hidhost-sim: runs the host on the simulated desktop, driven by a scenario,
// and prints the trace of every call it makes with an effect outside itself.
//
//   hidhost-sim [SCENARIO]   # no argument: the built-in demo scenario
//   hidhost-sim -            # the scenario from standard input
//   hidhost-sim --record FOLDER SCENARIO   # runs it recording the host, as HidHost.exe --record
//   hidhost-sim --compare FOLDER           # replays FOLDER/session.scn against session.trace
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <variant>

#include "CompareSession.h"
#include "DemoScenario.h"
#include "ScenarioParser.h"
#include "ScenarioRunner.h"

namespace {

constexpr int kMalformed = 2;

std::optional<std::string> ReadScenario(int argc, char** argv) {
  if (argc < 2) return std::string(hidhost::simtool::kDemoScenario);
  const std::string name = argv[1];
  if (name == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--compare" && argc == 3) {
    return hidhost::simtool::CompareSession(argv[2], std::cout, std::cerr);
  }
  std::string recordFolder;
  if (mode == "--record" && argc == 4) {
    recordFolder = argv[2];
    argv += 2;
    argc -= 2;
  }
  const bool modeUnderstood = mode != "--compare" && (mode != "--record" || !recordFolder.empty());
  if (argc > 2 || !modeUnderstood) {
    std::cerr
        << "usage: hidhost-sim [SCENARIO | -] | --record FOLDER SCENARIO | --compare FOLDER\n";
    return kMalformed;
  }
  const auto text = ReadScenario(argc, argv);
  if (!text) {
    std::cerr << "hidhost-sim: cannot read " << argv[1] << "\n";
    return kMalformed;
  }
  auto parsed = hidhost::simtool::ParseScenario(*text);
  if (const auto* error = std::get_if<hidhost::simtool::ParseError>(&parsed)) {
    std::cerr << "hidhost-sim: line " << error->line << ": " << error->message << "\n";
    return kMalformed;
  }
  hidhost::simtool::ScenarioRunner runner(std::cout);
  if (!recordFolder.empty()) runner.RecordFirstHostInto(recordFolder);
  if (const auto stuck = runner.Run(std::get<std::vector<hidhost::simtool::Directive>>(parsed))) {
    std::cerr << "hidhost-sim: " << *stuck << "\n";
    return kMalformed;
  }
  return 0;
}
