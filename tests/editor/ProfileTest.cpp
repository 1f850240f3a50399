// Profiles: what is exported imports as it was; a file with one bad line
// changes nothing and says which line.
#include <gtest/gtest.h>

#include "editor/Profile.h"
#include "editor/SettingsEditor.h"

namespace hidhost::editor {
namespace {

using settings::MouseSettings;

MouseSettings Sample() {
  MouseSettings record{};
  settings::SetDefaultSettings(record);
  record.MouseSensitivity = 17;
  record.SpeedPreset = 12;
  record.Acceleration = 1;
  record.OTGSpeed = 3;
  record.MouseColor = 0x123456;
  record.ButtonInfo[3] = {4, 5, 1, 6};  // Ctrl+C
  return record;
}

TEST(Profile, export_importsAsItWas) {
  MouseSettings base{};
  settings::SetDefaultSettings(base);
  const ImportResult back = ImportProfile(ExportProfile(Sample()), base);
  ASSERT_TRUE(back.record.has_value()) << back.line << ": " << back.problem;
  EXPECT_EQ(*back.record, Sample());
}

TEST(Profile, aBadLine_refusesTheWholeFileAndNamesTheLine) {
  struct Row {
    const char* text;
    int line;
  };
  const Row rows[] = {
      {"[Setting]\nOTGSpeed=4\nMouseSensitivity=21\n", 3},  // out of range
      {"[Setting]\nOTGSpeed=four\n", 2},
      {"[Setting]\r\nOTGSpeed=4\r\nNoSuchKey=1\r\n", 3},
      {"; saved\n[Setting]\nButtonInfo3=0405000008\n", 3},  // wrong checksum
      {"[Setting]\nButtonInfo3=050500000A\n", 2},           // button 5's entry under button 4
      {"[Setting]\nButtonInfo3=040600000A\n", 2},           // action 6 does nothing
      {"[Setting]\nButtonInfo3=040501323C\n", 2},           // usage 50 cannot be sent
      {"[Setting]\nOTGSpeed=4\nOTGSpeed=5\n", 3},
      {"OTGSpeed=4\n[Setting]\n", 1},
      {"[Other]\nKey=1\n", 0},  // no [Setting] at all
  };
  const SettingsEditor editor(Sample());
  for (const Row& row : rows) {
    const ImportResult result = ImportProfile(row.text, Sample());
    EXPECT_FALSE(result.record.has_value()) << row.text;
    EXPECT_EQ(result.line, row.line) << row.text << result.problem;
    const Proposal proposal = editor.Import(row.text);
    EXPECT_FALSE(proposal.record.has_value()) << row.text;
    if (row.line > 0) {
      EXPECT_EQ(proposal.refusal.rfind("Line " + std::to_string(row.line) + ":", 0), 0u)
          << proposal.refusal;
    }
  }
  EXPECT_EQ(editor.Current(), Sample());
}

TEST(Profile, foreignSectionsAndTheHostsDeviceKey_areLeftAlone) {
  const ImportResult result = ImportProfile(
      "[Other]\nWhatever=1\n[Setting]\nDevice=1\n  OTGSpeed = 8 \n[More]\nOTGSpeed=9\n", Sample());
  ASSERT_TRUE(result.record.has_value()) << result.line << ": " << result.problem;
  MouseSettings expected = Sample();
  expected.OTGSpeed = 8;
  EXPECT_EQ(*result.record, expected);
}

}  // namespace
}  // namespace hidhost::editor
