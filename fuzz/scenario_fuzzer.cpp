// Any scenario text through hidhost-sim's parser; a scenario that parses is
// also run, on a simulated desktop of its own, as hidhost-sim would run it.
//
// The parser either accepts every line or names one line of the text that is
// wrong; parsing is a function of the text alone; and whatever a well-formed
// scenario asks for, the run ends.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <variant>
#include <vector>

#include "FuzzCheck.h"
#include "ScenarioParser.h"
#include "ScenarioRunner.h"

namespace {

using hidhost::simtool::Directive;
using hidhost::simtool::ParseError;

// Longer scenarios add run time, not new kinds of lines.
constexpr std::size_t kMaxRunLength = 4096;

class NullBuffer final : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

int LineCount(std::string_view text) {
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

bool SameDirectives(const std::vector<Directive>& a, const std::vector<Directive>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].line != b[i].line || a[i].text != b[i].text ||
        a[i].numbers != b[i].numbers || a[i].bytes != b[i].bytes) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = hidhost::simtool::ParseScenario(text);
  if (const auto* error = std::get_if<ParseError>(&parsed)) {
    FUZZ_CHECK(error->line >= 1 && error->line <= LineCount(text));
    FUZZ_CHECK(!error->message.empty());
    const auto again = hidhost::simtool::ParseScenario(text);
    const auto* sameError = std::get_if<ParseError>(&again);
    FUZZ_CHECK(sameError != nullptr && sameError->line == error->line &&
               sameError->message == error->message);
    return 0;
  }
  const auto& directives = std::get<std::vector<Directive>>(parsed);
  int previousLine = 0;
  for (const Directive& directive : directives) {
    FUZZ_CHECK(directive.line > previousLine && directive.line <= LineCount(text));
    previousLine = directive.line;
  }
  const auto again = hidhost::simtool::ParseScenario(text);
  FUZZ_CHECK(std::holds_alternative<std::vector<Directive>>(again) &&
             SameDirectives(std::get<std::vector<Directive>>(again), directives));

  if (size > kMaxRunLength) return 0;
  NullBuffer discard;
  std::ostream out(&discard);
  hidhost::simtool::ScenarioRunner runner(out);
  runner.Run(directives);
  return 0;
}
