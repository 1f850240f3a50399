// The record the window edits. Each edit is proposed first (the record it
// makes, the notice and the config.ini keys it needs) and taken only once it
// has been applied, so that a change the host could not take leaves the
// window showing what is in force.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/EditableFields.h"
#include "editor/UpdatePlan.h"
#include "settings/MouseSettings.h"

namespace hidhost::editor {

struct Proposal {
  std::optional<settings::MouseSettings> record;  // empty when refused
  std::string refusal;
  UpdatePlan plan;
};

class SettingsEditor {
 public:
  explicit SettingsEditor(const settings::MouseSettings& opened);

  const settings::MouseSettings& Current() const { return current_; }

  Proposal SetField(const EditableField& field, std::int32_t value) const;
  Proposal SetAction(int index, std::uint8_t code) const;
  Proposal SetModifier(int index, std::uint8_t modifier) const;
  Proposal SetKey(int index, std::uint8_t usage) const;
  // Back to what was in force when the window opened.
  Proposal UndoAll() const;
  // The built-in settings; the colour stays, as it has no built-in value.
  Proposal RestoreDefaults() const;
  Proposal Import(std::string_view profileText) const;

  void Accept(const Proposal& proposal);
  // The host has started: its block is what is in force now, and what Undo
  // all returns to.
  void Reopen(const settings::MouseSettings& record);

 private:
  Proposal Propose(const settings::MouseSettings& next) const;
  // The assignment as the window shows it, with one byte changed.
  settings::ButtonAssignment Shown(int index) const;

  settings::MouseSettings opened_;
  settings::MouseSettings current_;
};

// Why the edit must not be taken; empty when it may. A mouse none of whose
// buttons clicks left cannot click anything, this window included.
std::string LockOutProblem(const settings::MouseSettings& before,
                           const settings::MouseSettings& after);

}  // namespace hidhost::editor
