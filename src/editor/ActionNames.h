// The actions a button can be given, by the names the window shows. The list
// is the host's own catalogue: a code the host does not perform is never
// offered, and a code it performs is never missing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hidhost::editor {

enum class ActionGroup : std::uint8_t {
  MouseButtons,
  Keys,
  MediaAndSystem,
  KeyCombination,
  Scrolling,
  RepeatAndAutoFire,
  Shell,
};

struct ActionChoice {
  std::uint8_t code;
  std::string name;
  ActionGroup group;
};

// "No action" (code 0) first, then every code of the catalogue, group by group.
std::vector<ActionChoice> ActionChoices();
std::span<const ActionGroup> ActionGroups();  // in the order the list shows them
std::string_view GroupName(ActionGroup group);

// Empty for a code the host does nothing with (but 0, "No action").
std::optional<ActionChoice> FindActionChoice(std::uint8_t code);
std::optional<std::uint8_t> ActionCodeFromName(std::string_view name);

inline constexpr std::uint8_t kNoAction = 0;
inline constexpr std::uint8_t kLeftClickAction = 1;
inline constexpr std::uint8_t kKeyCombinationAction = 5;
inline constexpr std::uint8_t kAutoFireAction = 24;

}  // namespace hidhost::editor
