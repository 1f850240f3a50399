#include <cstdio>
#include <string>

#include "Cases.h"

namespace hidhost::conformance {
namespace {

constexpr Case kCases[] = {
    {"windows.tree", WindowTree},
    {"windows.classes-and-styles", WindowClassesAndStyles},
    {"windows.life", WindowLife},
    {"windows.posted-and-sent", PostedAndSentMessages},
    {"windows.session-entries", SessionEntries},
    {"timers.window-thread", TimersOnTheWindowThread},
    {"timers.other-thread", TimersFromAnotherThread},
    {"timers.resolution-and-sleep", ResolutionAndSleep},
    {"kernel.named-mutex", NamedMutexes},
    {"kernel.abandoned-mutex", AbandonedMutex},
    {"kernel.waits", SemaphoresEventsAndWaits},
    {"kernel.threads", Threads},
    {"kernel.mapping", SharedMapping},
    {"kernel.libraries", Libraries},
    {"registry.values", RegistryValues},
    {"profile.int", ProfileInt},
    {"profile.keys", ProfileKeys},
    {"profile.struct", ProfileStruct},
    {"profile.write", ProfileWrite},
    {"profile.plain-files", PlainFiles},
    {"shell.strings", ShellStrings},
    {"shell.object", ShellObject},
    {"driver.device", DriverDevice},
    {"input.scan-codes", ScanCodes},
    {"input.mouse-settings", MouseSettingsAndCursor},
};

}  // namespace

int RunCases(std::string_view prefix, const std::function<std::unique_ptr<Stage>()>& makeStage,
             bool onWine) {
  int failures = 0;
  int cases = 0;
  for (const Case& entry : kCases) {
    if (!entry.name.starts_with(prefix)) continue;
    ++cases;
    Checks check(entry.name, onWine);
    entry.run(check, *makeStage());
    failures += check.Failures();
    std::printf("case %.*s: %s\n", static_cast<int>(entry.name.size()), entry.name.data(),
                check.Failures() > 0          ? "FAIL"
                : check.WineDifferences() > 0 ? "agrees but for marked Wine differences"
                                              : "agrees");
  }
  std::printf("%d cases, %d checks failed\n", cases, failures);
  return cases == 0 ? 1 : failures;
}

}  // namespace hidhost::conformance
