// Settings saved to and loaded from a profile file: a [Setting] section with
// the keys of config.ini and the system settings beside them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/MouseSettings.h"

namespace hidhost::editor {

std::string ExportProfile(const settings::MouseSettings& record);

struct ImportResult {
  std::optional<settings::MouseSettings> record;  // empty when the file was refused
  int line = 0;                                   // 1-based line of the fault; 0 for the file
  std::string problem;
};

// Every line is checked before anything is taken: a single bad line refuses
// the whole file. Keys the file leaves out keep their values from `base`.
ImportResult ImportProfile(std::string_view text, const settings::MouseSettings& base);

}  // namespace hidhost::editor
