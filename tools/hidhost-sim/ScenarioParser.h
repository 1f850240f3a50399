// Reads a scenario's text into directives, checking every line before
// anything runs.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Scenario.h"

namespace hidhost::simtool {

struct ParseError {
  int line = 0;
  std::string message;
};

std::variant<std::vector<Directive>, ParseError> ParseScenario(std::string_view text);

// The line with its comment taken off: a '#' at the start or after white
// space, outside double quotes, starts it.
std::string_view WithoutComment(std::string_view line);

}  // namespace hidhost::simtool
