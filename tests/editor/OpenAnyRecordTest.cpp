// Whatever another program left in the block or in config.ini, the window
// opens, shows every value inside its range with the odd ones flagged, and
// writes back only what the user changes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "editor/ActionNames.h"
#include "editor/Profile.h"
#include "editor/SettingsEditor.h"

namespace hidhost::editor {
namespace {

using settings::MouseSettings;

MouseSettings Filled(std::uint32_t word) {
  MouseSettings record;
  for (std::size_t i = 0; i < settings::kMouseSettingsWords; ++i) {
    std::memcpy(reinterpret_cast<char*>(&record) + i * 4, &word, 4);
  }
  return record;
}

MouseSettings RandomBytes(unsigned seed) {
  std::mt19937 random(seed);
  MouseSettings record;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
  for (std::size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<std::uint8_t>(random());
  return record;
}

TEST(OpenAnyRecord, everyFieldAtItsExtremesOrRandom_isShownClampedAndFlagged) {
  std::vector<std::pair<std::string, MouseSettings>> records = {
      {"-1", Filled(0xFFFFFFFF)}, {"0x7FFFFFFF", Filled(0x7FFFFFFF)}, {"0", Filled(0)}};
  for (unsigned seed = 1; seed <= 20; ++seed) {
    records.emplace_back("seed " + std::to_string(seed), RandomBytes(seed));
  }
  for (const auto& [name, record] : records) {
    for (const EditableField& field : EditableFields()) {
      const ShownValue shown = Show(record, field);
      EXPECT_TRUE(InRange(field, shown.value)) << name << " " << field.key;
      EXPECT_EQ(shown.outOfRange, !InRange(field, record.*field.member))
          << name << " " << field.key;
    }
    for (int i = 0; i < settings::kButtonCount; ++i) {
      const ShownAssignment shown = Show(record, i);
      EXPECT_EQ(shown.assignment.buttonNumber, i + 1) << name;
      EXPECT_TRUE(FindActionChoice(shown.assignment.actionCode)) << name;
      EXPECT_LE(shown.assignment.modifier, kLastModifier) << name;
    }
    // What is shown is a record the window accepts back as a whole.
    const ImportResult shownBack = ImportProfile(ExportProfile(record), MouseSettings{});
    EXPECT_TRUE(shownBack.record.has_value())
        << name << " line " << shownBack.line << ": " << shownBack.problem;

    // One change writes that key alone: the flagged values stay as they were.
    SettingsEditor editor(record);
    const Proposal changed = editor.SetField(*FindEditableField("OTGSpeed"), 50);
    ASSERT_TRUE(changed.record.has_value()) << name << ": " << changed.refusal;
    for (const ConfigEntry& entry : changed.plan.configEntries) {
      EXPECT_EQ(entry.key, "OTGSpeed") << name;
    }
    MouseSettings expected = record;
    expected.OTGSpeed = 50;
    EXPECT_EQ(*changed.record, expected) << name;
  }
}

}  // namespace
}  // namespace hidhost::editor
