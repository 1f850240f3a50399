// A host whose test ends with the checks a user cares about, without asking:
// exit code 0, nothing held down, the driver handed back, no tray icon, the
// timer resolution restored. A test that means otherwise excuses a promise.
#pragma once

#include <gtest/gtest.h>

#include "support/HostHarness.h"

namespace hidhost::testing {

class CheckedHost : public HostHarness {
 public:
  ~CheckedHost() {
    if (!ExitCode() && Started()) Close();
    for (const std::string& broken : BrokenPromises())
      ADD_FAILURE() << "at the host's end: " << broken;
  }
};

}  // namespace hidhost::testing
