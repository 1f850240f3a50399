#include "editor/UpdatePlan.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "actions/ActionCatalogue.h"
#include "contracts/ConfigurationProtocol.h"
#include "editor/EditableFields.h"

namespace hidhost::editor {

namespace {

using settings::ButtonAssignment;
using settings::MouseSettings;

bool ChangesPassThrough(const MouseSettings& before, const MouseSettings& after) {
  for (int i = 0; i < settings::kPhysicalButtonCount; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (actions::IsNativeCode(i, before.ButtonInfo[at].actionCode) !=
        actions::IsNativeCode(i, after.ButtonInfo[at].actionCode)) {
      return true;
    }
  }
  return false;
}

bool ChangesSystem(const MouseSettings& before, const MouseSettings& after) {
  if (before.Acceleration != after.Acceleration) return true;
  for (const EditableField& field : EditableFields()) {
    if (field.effect == Effect::PushToSystem && before.*field.member != after.*field.member) {
      return true;
    }
  }
  return false;
}

}  // namespace

UpdatePlan PlanUpdate(const MouseSettings& before, const MouseSettings& after) {
  UpdatePlan plan;
  if (before == after) return plan;
  // 0x4C8 pushes the system settings and, with the channel open, the mask;
  // 0x4CB the mask, then the system settings; the other two only read.
  if (ChangesSystem(before, after)) {
    plan.notice = contracts::kSettingsApplyAll;
  } else if (ChangesPassThrough(before, after)) {
    plan.notice = contracts::kSettingsApplyMaskFirst;
  } else {
    plan.notice = contracts::kSettingsReload1;
  }
  const std::vector<ConfigEntry> old = ConfigEntriesOf(before);
  std::vector<ConfigEntry> now = ConfigEntriesOf(after);
  for (std::size_t row = 0; row < now.size(); ++row) {
    if (old[row] != now[row]) plan.configEntries.push_back(std::move(now[row]));
  }
  return plan;
}

std::vector<ConfigEntry> ConfigEntriesOf(const MouseSettings& record) {
  std::vector<ConfigEntry> entries;
  for (const EditableField& field : EditableFields()) {
    if (field.inConfigFile) {
      entries.push_back({std::string(field.key), std::to_string(record.*field.member)});
    }
  }
  for (int i = 0; i < settings::kButtonCount; ++i) {
    entries.push_back(
        {AssignmentKey(i), FormatAssignment(record.ButtonInfo[static_cast<std::size_t>(i)])});
  }
  return entries;
}

std::string AssignmentKey(int index) {
  std::string key = "ButtonInfo";
  key += std::to_string(index);
  return key;
}

std::string FormatAssignment(const ButtonAssignment& a) {
  const unsigned sum = (a.buttonNumber + a.actionCode + a.modifier + a.keyUsage) & 0xFFu;
  char text[11];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X", a.buttonNumber, a.actionCode, a.modifier,
                a.keyUsage, sum);
  return text;
}

std::optional<ButtonAssignment> ParseAssignment(std::string_view text) {
  if (text.size() != 10) return std::nullopt;
  std::uint8_t bytes[5];
  unsigned sum = 0;
  for (std::size_t i = 0; i < 5; ++i) {
    const char* first = text.data() + i * 2;
    const auto [end, error] = std::from_chars(first, first + 2, bytes[i], 16);
    if (error != std::errc() || end != first + 2) return std::nullopt;
    if (i < 4) sum += bytes[i];
  }
  if ((sum & 0xFFu) != bytes[4]) return std::nullopt;
  return ButtonAssignment{bytes[0], bytes[1], bytes[2], bytes[3]};
}

}  // namespace hidhost::editor
