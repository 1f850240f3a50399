// The record's numeric settings as the window edits them: the range each may
// take, whether the host must push it to the system, and whether config.ini
// keeps it. The window shows a value outside its range clamped and flagged,
// and writes it back only when the user changes it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "settings/MouseSettings.h"

namespace hidhost::editor {

// What the host has to do once it has read a changed field.
enum class Effect : std::uint8_t {
  PushToSystem,  // a system mouse setting: the host applies it
  HostReads,     // the host uses it at the next event, or only carries it
};

struct EditableField {
  std::string_view key;  // the record member's name, and the config.ini key
  std::int32_t settings::MouseSettings::*member;
  std::int32_t minimum;
  std::int32_t maximum;
  Effect effect;
  bool inConfigFile;  // system settings live in the registry, not in config.ini
};

std::span<const EditableField> EditableFields();
// By key, compared without regard to case as the profile functions compare; null when unknown.
const EditableField* FindEditableField(std::string_view key);

struct ShownValue {
  std::int32_t value;
  bool outOfRange;
};
ShownValue Show(const settings::MouseSettings& record, const EditableField& field);
bool InRange(const EditableField& field, std::int32_t value);

inline constexpr std::uint8_t kLastModifier = 3;  // 1 Ctrl, 2 Shift, 3 Alt; 0 none

struct ShownAssignment {
  settings::ButtonAssignment assignment;
  bool outOfRange;
};
// The button's own number; an action the host does not know as "No action";
// a modifier or key the host cannot send as none.
ShownAssignment Show(const settings::MouseSettings& record, int index);

}  // namespace hidhost::editor
