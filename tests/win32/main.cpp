// hidhost-win32-checks: the Win32 backend against the system it wraps. Run
// under Wine (with a display: it makes top-level windows) or on Windows;
// exit code 0 when every check held. See run-checks.sh.
#include <cstdio>

#include "Checks.h"

int main() {
  using namespace hidhost::platform::win32::checks;
  const int failures = CheckWindows() + CheckTimers() + CheckKernel() + CheckRegistryAndFiles() +
                       CheckInputSettings() + CheckShellStrings() + CheckDriverDevice();
  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
