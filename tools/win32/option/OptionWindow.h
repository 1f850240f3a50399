// The configuration program's settings window, which the host finds by its
// title: one copy, every change in force as it is made.
#pragma once

#include <string>

namespace hidhost::option {

// Runs the window until it is closed; the result is the process exit code.
// A second start brings the first copy's window forward and returns 0.
int RunOptionWindow(const std::string& logPath, int firstPage);

}  // namespace hidhost::option
