// Edits taking effect at once, against the real host on the simulated
// desktop: the block, the notice, the host acting, and config.ini keeping
// everything it does not change byte for byte.
#include <gtest/gtest.h>

#include "EditorWorld.h"
#include "editor/ActionNames.h"
#include "editor/SettingsEditor.h"

namespace hidhost::editor::testing {
namespace {

using settings::MouseSettings;

constexpr const char* kHandWritten[] = {
    "; my mouse, set up by hand",
    "[Setting]",
    "HScrollWheelSpeed=3",
    "  ; the speed I like",
    "OTGSpeed=10",
    "Foreign=kept as it is",
    "ButtonInfo3=040C000010",
    "Device=1",
    "",
    "[Other]",
    "OTGSpeed=99",
};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class LiveApplyTest : public EditorWorld {
 protected:
  void HandWrittenConfig() {
    for (const char* line : kHandWritten) Desktop().AppendConfigLine(line);
  }
};

TEST_F(LiveApplyTest, withoutHost_onlyTheChangedKeysChangeInConfigIni) {
  HandWrittenConfig();
  SettingsEditor editor(Store().Load());
  EXPECT_EQ(editor.Current().OTGSpeed, 10);
  EXPECT_EQ(editor.Current().MainSens, 10) << "a missing key opens with its default";

  EXPECT_EQ(
      ApplyProposal(editor, editor.SetField(*FindEditableField("OTGSpeed"), 4), nullptr, Store()),
      Applied::FileOnly);
  EXPECT_EQ(ApplyProposal(editor, editor.SetAction(3, kKeyCombinationAction), nullptr, Store()),
            Applied::FileOnly);
  EXPECT_EQ(ApplyProposal(editor, editor.SetField(*FindEditableField("MouseColor"), 255), nullptr,
                          Store()),
            Applied::FileOnly);
  EXPECT_EQ(Desktop().ConfigFileText(),
            Lines({"; my mouse, set up by hand", "[Setting]", "HScrollWheelSpeed=3",
                   "  ; the speed I like", "OTGSpeed=4", "Foreign=kept as it is",
                   "ButtonInfo3=0405000009", "Device=1", "MouseColor=255", "", "[Other]",
                   "OTGSpeed=99"}));
}

TEST_F(LiveApplyTest, withHost_eachChangeIsInForceBeforeTheWindowGoesOn) {
  Desktop().SetDriver(sim::DriverMode::Present);
  HandWrittenConfig();
  ASSERT_TRUE(host.Start());
  SimHostLink link(host);
  MouseSettings opened{};
  ASSERT_TRUE(link.ReadBlock(opened));
  SettingsEditor editor(opened);

  EXPECT_EQ(ApplyProposal(editor, editor.SetField(*FindEditableField("MouseSensitivity"), 15),
                          &link, Store()),
            Applied::InForce);
  ASSERT_TRUE(Desktop().LastSystemParameter(113).has_value());
  EXPECT_EQ(Desktop().LastSystemParameter(113)->pvParam.values[0], 15);

  // Button 4 becomes Ctrl+C: the driver stops passing its own input, and the
  // next press sends the keys.
  MouseSettings ctrlC = editor.Current();
  ctrlC.ButtonInfo[3] = {4, kKeyCombinationAction, 1, 6};
  EXPECT_EQ(
      ApplyProposal(editor, editor.Import("[Setting]\nButtonInfo3=0405010610\n"), &link, Store()),
      Applied::InForce);
  EXPECT_EQ(editor.Current(), ctrlC);
  EXPECT_EQ(Desktop().LastMask(), 0xFFE8u);
  host.Trace();
  ASSERT_TRUE(host.Event(0x0008));
  ASSERT_TRUE(host.Event(0x0000));
  const auto trace = host.Trace();
  EXPECT_NE(hidhost::testing::FindLine(trace, "keybd_event vk=0x11"), std::string::npos);
  EXPECT_NE(hidhost::testing::FindLine(trace, "keybd_event vk=0x43"), std::string::npos);

  EXPECT_EQ(link.notices, (std::vector<std::uint32_t>{contracts::kSettingsApplyAll,
                                                      contracts::kSettingsApplyMaskFirst}));
  // The system setting is the host's to keep; config.ini got the button only.
  EXPECT_EQ(Desktop().ConfigFileText()->find("MouseSensitivity"), std::string::npos);
  EXPECT_NE(Desktop().ConfigFileText()->find("ButtonInfo3=0405010610\r\n"), std::string::npos);
}

// The host's mutex stayed taken past the wait: the window must keep showing
// what is in force, and config.ini must not run ahead of the host.
class BusyHost final : public HostLink {
 public:
  BlockWrite WriteBlock(const MouseSettings&) override { return BlockWrite::Busy; }
  bool ReadBlock(MouseSettings&) override { return false; }
  bool Notify(std::uint32_t) override {
    ++notices;
    return true;
  }
  int notices = 0;
};

TEST_F(LiveApplyTest, blockStaysLocked_changesNothingAnywhere) {
  HandWrittenConfig();
  const MouseSettings opened = Store().Load();
  SettingsEditor editor(opened);
  const std::string fileBefore = *Desktop().ConfigFileText();
  BusyHost busy;

  EXPECT_EQ(
      ApplyProposal(editor, editor.SetField(*FindEditableField("OTGSpeed"), 2), &busy, Store()),
      Applied::HostBusy);
  EXPECT_EQ(editor.Current(), opened);
  EXPECT_EQ(*Desktop().ConfigFileText(), fileBefore);
  EXPECT_EQ(busy.notices, 0);
}

}  // namespace
}  // namespace hidhost::editor::testing
