// Each kind of edit asks the host for the notice that does what it needs,
// and names exactly the config.ini keys whose text changed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "contracts/ConfigurationProtocol.h"
#include "editor/ActionNames.h"
#include "editor/SettingsEditor.h"

namespace hidhost::editor {
namespace {

using settings::MouseSettings;

MouseSettings Defaults() {
  MouseSettings record{};
  settings::SetDefaultSettings(record);
  return record;
}

const EditableField& Field(std::string_view key) {
  return *FindEditableField(key);
}

TEST(UpdatePlan, eachKindOfChange_picksItsNoticeAndItsKeys) {
  struct Row {
    int line;
    std::function<Proposal(const SettingsEditor&)> edit;
    std::optional<std::uint32_t> notice;
    std::vector<ConfigEntry> entries;
  };
  const Row rows[] = {
      {__LINE__,
       [](auto& e) { return e.SetField(Field("MouseSensitivity"), 15); },
       contracts::kSettingsApplyAll,
       {}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("SwapMouseButtons"), 1); },
       contracts::kSettingsApplyAll,
       {}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("DoubleClickSpeed"), 300); },
       contracts::kSettingsApplyAll,
       {}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("WheelPageScroll"), 1); },
       contracts::kSettingsApplyAll,
       {}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("HScrollWheelSpeed"), 7); },
       contracts::kSettingsReload1,
       {{"HScrollWheelSpeed", "7"}}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("OTGSpeed"), 4); },
       contracts::kSettingsReload1,
       {{"OTGSpeed", "4"}}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("MouseColor"), 0xFF8000); },
       contracts::kSettingsReload1,
       {{"MouseColor", "16744448"}}},
      // Button 4 stops passing its own input through: the mask changes.
      {__LINE__,
       [](auto& e) { return e.SetAction(3, kKeyCombinationAction); },
       contracts::kSettingsApplyMaskFirst,
       {{"ButtonInfo3", "0405000009"}}},
      // The tilt has no input of its own to pass through.
      {__LINE__,
       [](auto& e) { return e.SetAction(5, kAutoFireAction); },
       contracts::kSettingsReload1,
       {{"ButtonInfo5", "061800001E"}}},
      {__LINE__,
       [](auto& e) { return e.SetField(Field("HScrollWheelSpeed"), 3); },
       std::nullopt,
       {}},
  };
  const SettingsEditor editor(Defaults());
  for (const Row& row : rows) {
    const Proposal proposal = row.edit(editor);
    ASSERT_TRUE(proposal.record.has_value()) << "line " << row.line << ": " << proposal.refusal;
    EXPECT_EQ(proposal.plan.notice, row.notice) << "line " << row.line;
    EXPECT_EQ(proposal.plan.configEntries, row.entries) << "line " << row.line;
  }
}

TEST(UpdatePlan, speedPreset_switchesAccelerationWithIt) {
  SettingsEditor editor(Defaults());
  const Proposal on = editor.SetField(Field("SpeedPreset"), 14);
  ASSERT_TRUE(on.record);
  EXPECT_EQ(on.record->Acceleration, 1);
  editor.Accept(on);
  EXPECT_EQ(editor.SetField(Field("SpeedPreset"), 0).record->Acceleration, 0);
}

TEST(UpdatePlan, undoAllOfASystemAndAMaskChange_asksForBoth) {
  SettingsEditor editor(Defaults());
  editor.Accept(editor.SetAction(4, 37));
  editor.Accept(editor.SetField(Field("MouseSensitivity"), 3));
  const Proposal undo = editor.UndoAll();
  ASSERT_TRUE(undo.record);
  EXPECT_EQ(*undo.record, Defaults());
  // 0x4C8 pushes the system settings and then the mask.
  EXPECT_EQ(undo.plan.notice, contracts::kSettingsApplyAll);
  EXPECT_EQ(undo.plan.configEntries, (std::vector<ConfigEntry>{{"ButtonInfo4", "050B000010"}}));
}

TEST(LockOut, noEditLeavesTheMouseWithoutALeftClick) {
  MouseSettings leftOnButton2 = Defaults();
  leftOnButton2.ButtonInfo[1].actionCode = kLeftClickAction;
  SettingsEditor editor(Defaults());
  EXPECT_FALSE(editor.SetAction(0, 2).record.has_value());
  EXPECT_FALSE(editor.SetAction(0, 2).refusal.empty());
  // With another button clicking left, the first may do something else.
  SettingsEditor spare(leftOnButton2);
  EXPECT_TRUE(spare.SetAction(0, 2).record.has_value());
  EXPECT_FALSE(editor.Import("[Setting]\r\nButtonInfo0=0103000004\r\n").record.has_value());
}

}  // namespace
}  // namespace hidhost::editor
