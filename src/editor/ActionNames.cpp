#include "editor/ActionNames.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "actions/ActionCatalogue.h"

namespace hidhost::editor {

namespace {

using G = ActionGroup;

struct ActionLabel {
  std::uint8_t code;
  std::string_view name;
  ActionGroup group;
};

// Presentation only: which codes exist is the catalogue's to say.
// clang-format off
constexpr std::array kLabels = std::to_array<ActionLabel>({
  {1,  "Left button",                     G::MouseButtons},
  {2,  "Right button",                    G::MouseButtons},
  {3,  "Middle button",                   G::MouseButtons},
  {12, "Back (X button 1)",               G::MouseButtons},
  {11, "Forward (X button 2)",            G::MouseButtons},
  {4,  "Double click",                    G::MouseButtons},
  {21, "W key (repeatable)",              G::Keys},
  {22, "S key (repeatable)",              G::Keys},
  {25, "Print Screen",                    G::Keys},
  {64, "Cut (Ctrl+X)",                    G::Keys},
  {65, "Copy (Ctrl+C)",                   G::Keys},
  {66, "Paste (Ctrl+V)",                  G::Keys},
  {67, "Undo (Ctrl+Z)",                   G::Keys},
  {68, "Select all (Ctrl+A)",             G::Keys},
  {70, "New (Ctrl+N)",                    G::Keys},
  {71, "Print (Ctrl+P)",                  G::Keys},
  {72, "Save (Ctrl+S)",                   G::Keys},
  {32, "Play/Pause",                      G::MediaAndSystem},
  {36, "Play/Pause (second key)",         G::MediaAndSystem},
  {33, "Stop",                            G::MediaAndSystem},
  {34, "Previous track",                  G::MediaAndSystem},
  {35, "Next track",                      G::MediaAndSystem},
  {37, "Volume up",                       G::MediaAndSystem},
  {38, "Volume down",                     G::MediaAndSystem},
  {39, "Mute",                            G::MediaAndSystem},
  {80, "Switch window (Alt+Tab)",         G::MediaAndSystem},
  {81, "Close window (Alt+F4)",           G::MediaAndSystem},
  {85, "Show desktop",                    G::MediaAndSystem},
  {5,  "Key combination",                 G::KeyCombination},
  {15, "Scroll left",                     G::Scrolling},
  {16, "Scroll right",                    G::Scrolling},
  {48, "Wheel up",                        G::Scrolling},
  {49, "Wheel down",                      G::Scrolling},
  {23, "Repeated click",                  G::RepeatAndAutoFire},
  {24, "Auto-fire (repeats held buttons)", G::RepeatAndAutoFire},
  {69, "Search",                          G::Shell},
  {83, "My Computer",                     G::Shell},
  {84, "Run dialog",                      G::Shell},
});
// clang-format on

constexpr std::array kGroups = {G::MouseButtons,   G::Keys,      G::MediaAndSystem,
                                G::KeyCombination, G::Scrolling, G::RepeatAndAutoFire,
                                G::Shell};

ActionChoice ChoiceFor(std::uint8_t code) {
  for (const ActionLabel& label : kLabels) {
    if (label.code == code) return {code, std::string(label.name), label.group};
  }
  // A code the catalogue gained before this table did: offered all the same.
  return {code, "Action " + std::to_string(code), G::MediaAndSystem};
}

std::vector<ActionChoice> BuildChoices() {
  std::vector<ActionChoice> choices{*FindActionChoice(kNoAction)};
  std::vector<ActionChoice> found;
  for (const actions::ActionRow& row : actions::ActionCatalogue()) {
    found.push_back(ChoiceFor(row.code));
  }
  // By group, and within a group in the order of the labels.
  auto rank = [](const ActionChoice& choice) {
    const auto at = std::find_if(kLabels.begin(), kLabels.end(),
                                 [&](const ActionLabel& l) { return l.code == choice.code; });
    return std::pair{static_cast<int>(choice.group), at - kLabels.begin()};
  };
  std::stable_sort(found.begin(), found.end(),
                   [&](const ActionChoice& a, const ActionChoice& b) { return rank(a) < rank(b); });
  choices.insert(choices.end(), found.begin(), found.end());
  return choices;
}

}  // namespace

std::vector<ActionChoice> ActionChoices() {
  return BuildChoices();
}

std::span<const ActionGroup> ActionGroups() {
  return kGroups;
}

std::string_view GroupName(ActionGroup group) {
  constexpr std::array<std::string_view, 7> kNames = {
      "Mouse buttons",        "Keys", "Media and system", "Key combination", "Scrolling",
      "Repeat and auto-fire", "Shell"};
  return kNames[static_cast<std::size_t>(group)];
}

std::optional<ActionChoice> FindActionChoice(std::uint8_t code) {
  if (code == kNoAction) return ActionChoice{kNoAction, "No action", G::MouseButtons};
  if (actions::FindAction(code) == nullptr) return std::nullopt;
  return ChoiceFor(code);
}

std::optional<std::uint8_t> ActionCodeFromName(std::string_view name) {
  for (const ActionChoice& choice : ActionChoices()) {
    if (choice.name == name) return choice.code;
  }
  return std::nullopt;
}

}  // namespace hidhost::editor
