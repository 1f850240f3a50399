// hidhost-win32-checks [PREFIX]: the conformance cases (those whose name
// starts with PREFIX) on the Win32 backend, under Wine (with a display: it
// makes top-level windows) or on Windows; exit code 0 when every check held,
// Wine's marked differences aside. See run-checks.sh.
#include <cstdio>
#include <memory>

#include "Cases.h"
#include "Win32Stage.h"

namespace {

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace hidhost::conformance;
  DriverEmulator emulator;
  const int failures = RunCases(
      argc > 1 ? argv[1] : "", [&] { return std::make_unique<Win32Stage>(&emulator); },
      RunningOnWine());
  std::fflush(stdout);
  ExitProcess(failures == 0 ? 0 : 1);
}
