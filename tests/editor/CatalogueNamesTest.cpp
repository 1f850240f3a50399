// The window's names for actions and keys are the host's own catalogue and
// key table read backwards: what the user picks is what the host does.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "actions/ActionCatalogue.h"
#include "actions/KeyUsageTable.h"
#include "editor/ActionNames.h"
#include "editor/KeyCapture.h"

namespace hidhost::editor {
namespace {

TEST(ActionNames, everyCatalogueCode_roundTripsThroughItsOwnName) {
  std::set<std::string> names;
  for (const actions::ActionRow& row : actions::ActionCatalogue()) {
    const std::optional<ActionChoice> choice = FindActionChoice(row.code);
    ASSERT_TRUE(choice.has_value()) << "code " << int{row.code};
    EXPECT_NE(choice->name, "Action " + std::to_string(row.code)) << "code without a label";
    EXPECT_TRUE(names.insert(choice->name).second) << choice->name << " names two codes";
    EXPECT_EQ(ActionCodeFromName(choice->name), row.code) << choice->name;
  }
  // The list offers exactly the catalogue, "No action" first, group by group.
  const std::vector<ActionChoice> list = ActionChoices();
  ASSERT_EQ(list.size(), actions::ActionCatalogue().size() + 1);
  EXPECT_EQ(list.front().code, kNoAction);
  for (std::size_t i = 1; i < list.size(); ++i) {
    EXPECT_LE(list[i - 1].group, list[i].group) << list[i].name << " out of its group";
  }
  EXPECT_FALSE(FindActionChoice(6).has_value()) << "6 does nothing in the host";
}

TEST(KeyCapture, everyUsageOfTheKeyTable_roundTripsThroughTheKeyThatSendsIt) {
  for (const actions::KeyUsageRow& row : actions::kKeyUsageTable) {
    const std::optional<PressedKey> key = KeyOfUsage(static_cast<std::uint8_t>(row.usage));
    ASSERT_TRUE(key.has_value()) << "usage " << row.usage;
    EXPECT_EQ(UsageFromKey(*key), row.usage) << "usage " << row.usage;
  }
}

TEST(KeyCapture, keysAsTheKeyboardReportsThem_takeTheirUsage) {
  struct Row {
    int line;
    PressedKey key;
    std::optional<std::uint8_t> usage;
  };
  const Row rows[] = {
      {__LINE__, {0x0D, 0x1C, false}, 40},   // Enter
      {__LINE__, {0x27, 0x4D, true}, 79},    // right arrow, an extended key the table sends plain
      {__LINE__, {0x10, 0x2A, false}, 225},  // left Shift
      {__LINE__, {0x10, 0x36, false}, 229},  // right Shift: told by its scan code
      {__LINE__, {0x11, 0x1D, true}, 228},   // right Ctrl: told by the extended flag
      {__LINE__, {0x12, 0x38, false}, 226},  // left Alt
      {__LINE__, {0x41, 0x1E, false}, 4},    // A
      {__LINE__, {0x7C, 0x64, false}, std::nullopt},  // F13: no usage, refused
      {__LINE__, {0xAD, 0x00, true}, std::nullopt},   // mute: the table has no media keys
  };
  for (const Row& row : rows) EXPECT_EQ(UsageFromKey(row.key), row.usage) << "line " << row.line;
}

}  // namespace
}  // namespace hidhost::editor
