// Replays a recorded session and compares the replay's trace with the recorded one.
#pragma once

#include <ostream>
#include <string>

namespace hidhost::simtool {

// 0: the traces match line for line; 1: they differ (the first differing line
// and the input it belongs to are printed); 2: the folder cannot be read or
// its scenario is malformed.
int CompareSession(const std::string& folder, std::ostream& out, std::ostream& err);

}  // namespace hidhost::simtool
