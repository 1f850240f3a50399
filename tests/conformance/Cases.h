// The conformance cases, each a plain function of the seam and its stage,
// run alike on the simulated desktop and on the real system.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "Checks.h"
#include "Stage.h"

namespace hidhost::conformance {

using CaseFunction = void (*)(Checks& check, Stage& stage);

struct Case {
  std::string_view name;  // facet.case
  CaseFunction run;
};

// Runs the cases whose name starts with `prefix`, each on a fresh stage;
// prints one line per check and per case, and gives the number of failures.
int RunCases(std::string_view prefix, const std::function<std::unique_ptr<Stage>()>& makeStage,
             bool onWine);

void WindowTree(Checks&, Stage&);
void WindowClassesAndStyles(Checks&, Stage&);
void WindowLife(Checks&, Stage&);
void PostedAndSentMessages(Checks&, Stage&);
void SessionEntries(Checks&, Stage&);
void TimersOnTheWindowThread(Checks&, Stage&);
void TimersFromAnotherThread(Checks&, Stage&);
void ResolutionAndSleep(Checks&, Stage&);
void NamedMutexes(Checks&, Stage&);
void AbandonedMutex(Checks&, Stage&);
void SemaphoresEventsAndWaits(Checks&, Stage&);
void Threads(Checks&, Stage&);
void SharedMapping(Checks&, Stage&);
void Libraries(Checks&, Stage&);
void RegistryValues(Checks&, Stage&);
void ProfileInt(Checks&, Stage&);
void ProfileKeys(Checks&, Stage&);
void ProfileStruct(Checks&, Stage&);
void ProfileWrite(Checks&, Stage&);
void PlainFiles(Checks&, Stage&);
void ShellStrings(Checks&, Stage&);
void ShellObject(Checks&, Stage&);
void DriverDevice(Checks&, Stage&);
void ScanCodes(Checks&, Stage&);
void MouseSettingsAndCursor(Checks&, Stage&);

}  // namespace hidhost::conformance
