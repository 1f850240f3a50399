// What one edit of the record asks of the host and of config.ini: the one
// update notice that makes the host do what the change needs, and the keys
// whose text changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/MouseSettings.h"

namespace hidhost::editor {

struct ConfigEntry {
  std::string key;
  std::string value;
  friend bool operator==(const ConfigEntry&, const ConfigEntry&) = default;
};

struct UpdatePlan {
  std::optional<std::uint32_t> notice;  // empty when nothing changed
  std::vector<ConfigEntry> configEntries;
};

UpdatePlan PlanUpdate(const settings::MouseSettings& before, const settings::MouseSettings& after);

// Every key of config.ini that this program keeps, with the record's values
// (an export, or a file written for the first time).
std::vector<ConfigEntry> ConfigEntriesOf(const settings::MouseSettings& record);

// "ButtonInfo3" for index 3.
std::string AssignmentKey(int index);
// The four bytes as two hex digits each, then their sum's low byte: the text
// a profile structure read accepts.
std::string FormatAssignment(const settings::ButtonAssignment& assignment);
std::optional<settings::ButtonAssignment> ParseAssignment(std::string_view text);

}  // namespace hidhost::editor
