// The settings record addressed by its members' names, as the configuration
// program edits it: "OTGSpeed=5", "ButtonInfo3=04410000" (an assignment as
// its four bytes in memory order).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/MouseSettings.h"

namespace hidhost::option {

struct SettingsField {
  std::string_view name;
  std::size_t offset;
  bool isAssignment;  // four separate bytes rather than one signed number
};

std::span<const SettingsField> AllSettingsFields();
const SettingsField* FindSettingsField(std::string_view name);

std::string FormatField(const settings::MouseSettings& record, const SettingsField& field);
// Parses the text for the field and stores it; false when the text does not fit.
bool StoreField(settings::MouseSettings& record, const SettingsField& field, std::string_view text);

}  // namespace hidhost::option
