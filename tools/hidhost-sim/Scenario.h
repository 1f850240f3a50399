// A scenario for hidhost-sim: set-up directives that shape the simulated
// desktop and run directives that drive the host, one per line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace hidhost::simtool {

enum class DirectiveKind {
  // Set-up.
  Config,
  Registry,
  RegistryLocked,
  Window,
  Cursor,
  Driver,
  Mutex,
  Fail,
  SwapButtons,
  Slow,
  // Run.
  Start,
  SecondInstance,
  Event,
  Message,
  Timer,
  Tray,
  Command,
  MenuChoose,
  Session,
  DeviceChange,
  Shared,
  DumpShared,
  DumpConfig,
  Close,
  Resume,
};

struct Directive {
  DirectiveKind kind = DirectiveKind::Start;
  int line = 0;
  std::string text;  // the line without its comment, as echoed after "> "
  bool isRun = false;

  std::string argument;               // config line, key, mutex name, call name
  std::string name;                   // registry value name
  std::string value;                  // registry value
  std::vector<std::int64_t> numbers;  // numeric arguments in order
  sim::WindowSpec window;
  sim::DriverMode driver = sim::DriverMode::Absent;
  bool denied = false;                      // mutex of another security context
  std::vector<std::uint8_t> bytes;          // shared
  std::optional<std::uint32_t> pauseAfter;  // event, resume: pause=N
};

}  // namespace hidhost::simtool
