// The configuration program's window, which the host finds by its title:
// it writes down the host's device-ready notices and closes when told to.
#pragma once

#include <string>

#include "contracts/ConfigurationProtocol.h"

namespace hidhost::option {

// Runs the window until it is closed; the result is the process exit code.
int RunOptionWindow(const std::string& logPath);

}  // namespace hidhost::option
