#include "editor/SettingsEditor.h"

#include "editor/ActionNames.h"
#include "editor/KeyCapture.h"
#include "editor/Profile.h"

namespace hidhost::editor {

namespace {

using settings::ButtonAssignment;
using settings::MouseSettings;

bool ValidIndex(int index) {
  return index >= 0 && index < settings::kButtonCount;
}

ButtonAssignment& At(MouseSettings& record, int index) {
  return record.ButtonInfo[static_cast<std::size_t>(index)];
}

Proposal Refused(std::string why) {
  return {std::nullopt, std::move(why), {}};
}

}  // namespace

namespace {

bool ClicksLeft(const MouseSettings& record) {
  for (const ButtonAssignment& assignment : record.ButtonInfo) {
    if (assignment.actionCode == kLeftClickAction) return true;
  }
  return false;
}

}  // namespace

std::string LockOutProblem(const MouseSettings& before, const MouseSettings& after) {
  // A record that came without any left click (a damaged file) must not lock
  // the window itself: only the step that takes the last one away is refused.
  if (!ClicksLeft(before) || ClicksLeft(after)) return {};
  return "At least one button must keep the action \"Left button\", or nothing could be "
         "clicked any more.";
}

SettingsEditor::SettingsEditor(const MouseSettings& opened) : opened_(opened), current_(opened) {}

Proposal SettingsEditor::Propose(const MouseSettings& next) const {
  if (std::string why = LockOutProblem(current_, next); !why.empty()) {
    return Refused(std::move(why));
  }
  return {next, {}, PlanUpdate(current_, next)};
}

ButtonAssignment SettingsEditor::Shown(int index) const {
  return Show(current_, index).assignment;
}

Proposal SettingsEditor::SetField(const EditableField& field, std::int32_t value) const {
  if (!InRange(field, value)) {
    return Refused(std::string(field.key) + " must lie in " + std::to_string(field.minimum) + ".." +
                   std::to_string(field.maximum));
  }
  MouseSettings next = current_;
  next.*field.member = value;
  // The host switches acceleration by this flag; the preset only says how much.
  if (field.member == &MouseSettings::SpeedPreset) next.Acceleration = value != 0 ? 1 : 0;
  if (field.member == &MouseSettings::WheelPageScroll && value == 0 && next.WheelScrollLines < 1) {
    next.WheelScrollLines = Show(current_, *FindEditableField("WheelScrollLines")).value;
  }
  return Propose(next);
}

Proposal SettingsEditor::SetAction(int index, std::uint8_t code) const {
  if (!ValidIndex(index) || !FindActionChoice(code)) return Refused("No such action.");
  MouseSettings next = current_;
  At(next, index) = Shown(index);
  At(next, index).actionCode = code;
  return Propose(next);
}

Proposal SettingsEditor::SetModifier(int index, std::uint8_t modifier) const {
  if (!ValidIndex(index) || modifier > kLastModifier) return Refused("No such modifier.");
  MouseSettings next = current_;
  At(next, index) = Shown(index);
  At(next, index).modifier = modifier;
  return Propose(next);
}

Proposal SettingsEditor::SetKey(int index, std::uint8_t usage) const {
  if (!ValidIndex(index) || !KeyOfUsage(usage)) return Refused("The host cannot send this key.");
  MouseSettings next = current_;
  At(next, index) = Shown(index);
  At(next, index).keyUsage = usage;
  return Propose(next);
}

Proposal SettingsEditor::UndoAll() const {
  return Propose(opened_);
}

Proposal SettingsEditor::RestoreDefaults() const {
  MouseSettings next = current_;
  settings::SetDefaultSettings(next);
  return Propose(next);
}

Proposal SettingsEditor::Import(std::string_view profileText) const {
  const ImportResult imported = ImportProfile(profileText, current_);
  if (!imported.record) {
    const std::string where =
        imported.line > 0 ? "Line " + std::to_string(imported.line) + ": " : "";
    return Refused(where + imported.problem);
  }
  return Propose(*imported.record);
}

void SettingsEditor::Accept(const Proposal& proposal) {
  if (proposal.record) current_ = *proposal.record;
}

void SettingsEditor::Reopen(const MouseSettings& record) {
  opened_ = record;
  current_ = record;
}

}  // namespace hidhost::editor
