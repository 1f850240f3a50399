#include "CompareSession.h"

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>
#include <variant>
#include <vector>

#include "ScenarioParser.h"
#include "ScenarioRunner.h"

namespace hidhost::simtool {

namespace {

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A recording cut short (a crash, a full disk) ends inside a line: what is
// whole of it is replayed.
std::string WholeLines(std::string text) {
  const auto end = text.rfind('\n');
  text.resize(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

// Lines whose field holds a kernel handle's value, which each system numbers
// its own way: the semaphore the host gives the driver.
constexpr std::string_view kHandleLines[] = {"DeviceIoControl code=0x222400 in="};

// A recorded handle stands for the replayed one it first met, and for no other.
class HandleMap {
 public:
  bool Same(const std::string& recorded, const std::string& replayed) {
    for (std::string_view prefix : kHandleLines) {
      if (!recorded.starts_with(prefix) || !replayed.starts_with(prefix)) continue;
      const auto mine = Field(recorded, prefix.size());
      const auto theirs = Field(replayed, prefix.size());
      if (recorded.substr(prefix.size() + mine.size()) !=
          replayed.substr(prefix.size() + theirs.size())) {
        return false;
      }
      const auto atMine = toReplay_.try_emplace(mine, theirs).first;
      const auto atTheirs = toRecorded_.try_emplace(theirs, mine).first;
      return atMine->second == theirs && atTheirs->second == mine;
    }
    return false;
  }

 private:
  static std::string Field(const std::string& line, std::size_t at) {
    return line.substr(at, line.find(' ', at) - at);
  }
  std::map<std::string, std::string> toReplay_;
  std::map<std::string, std::string> toRecorded_;
};

}  // namespace

int CompareSession(const std::string& folder, std::ostream& out, std::ostream& err) {
  const auto scenario = ReadWhole(folder + "/session.scn");
  const auto recordedText = ReadWhole(folder + "/session.trace");
  if (!scenario || !recordedText) {
    err << "hidhost-sim: " << folder << " holds no session.scn and session.trace\n";
    return 2;
  }
  auto parsed = ParseScenario(WholeLines(*scenario));
  if (const auto* error = std::get_if<ParseError>(&parsed)) {
    err << "hidhost-sim: session.scn line " << error->line << ": " << error->message << "\n";
    return 2;
  }
  std::ostringstream replayed;
  {
    ScenarioRunner runner(replayed);
    runner.Run(std::get<std::vector<Directive>>(parsed));
  }
  const auto recorded = Lines(WholeLines(*recordedText));
  const auto replay = Lines(replayed.str());
  std::string input = "(before the first input)";
  HandleMap handles;
  for (std::size_t i = 0; i < recorded.size() || i < replay.size(); ++i) {
    const std::string* mine = i < recorded.size() ? &recorded[i] : nullptr;
    const std::string* theirs = i < replay.size() ? &replay[i] : nullptr;
    if (mine != nullptr && theirs != nullptr &&
        (*mine == *theirs || handles.Same(*mine, *theirs))) {
      if (mine->starts_with("> ")) input = *mine;
      continue;
    }
    out << "session differs at trace line " << i + 1 << ", under " << input << "\n"
        << "  recorded: " << (mine != nullptr ? *mine : "(end of trace)") << "\n"
        << "  replayed: " << (theirs != nullptr ? *theirs : "(end of trace)") << "\n";
    return 1;
  }
  out << "session matches: " << recorded.size() << " trace lines\n";
  return 0;
}

}  // namespace hidhost::simtool
