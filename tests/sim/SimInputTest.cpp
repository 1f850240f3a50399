// Synthesized input, scan codes, the cursor and the system's mouse settings.
#include <gtest/gtest.h>

#include "SimFixture.h"
#include "platform/sim/ScanCodes.h"

namespace hidhost::sim::testing {
namespace {

struct ScanRow {
  std::uint32_t vk;
  std::uint32_t scan;
};

TEST(SimInput, MapVirtualKeyAnswersOnlyTheVirtualKeyToScanCodeMapping) {
  SimFixture sim;
  EXPECT_EQ(sim.platform.input.MapVirtualKey(0x11, platform::kMapVkToVsc), 0x1Du);
  EXPECT_EQ(sim.platform.input.MapVirtualKey(0x1D, 1), 0u);
  EXPECT_EQ(sim.platform.input.GetMessageExtraInfo(), 0u);
  EXPECT_TRUE(sim.desktop.TakeTrace().empty()) << "reads print nothing";
}

TEST(SimInput, KeysAndButtonsStayHeldUntilTheirRelease) {
  SimFixture sim;
  auto& input = sim.platform.input;
  input.KeybdEvent(0x11, 0x1D, platform::kKeyExtended, 0);
  input.MouseEvent(platform::kMouseLeftDown | platform::kMouseRightDown, 0, 0, 0, 0);
  input.MouseEvent(platform::kMouseXDown, 0, 0, platform::kXButton2, 0);
  EXPECT_EQ(sim.desktop.HeldInput(),
            (std::vector<std::string>{"key 0x11", "button left", "button right", "button x2"}));
  input.KeybdEvent(0x11, 0x1D, platform::kKeyExtended | platform::kKeyUp, 0);
  input.MouseEvent(platform::kMouseLeftUp | platform::kMouseRightUp, 0, 0, 0, 0);
  input.MouseEvent(platform::kMouseXUp, 0, 0, platform::kXButton2, 0);
  EXPECT_TRUE(sim.desktop.HeldInput().empty());
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"keybd_event vk=0x11 scan=0x1D flags=0x1",
                                      "mouse_event flags=0xA dx=0 dy=0 data=0 extra=0",
                                      "mouse_event flags=0x80 dx=0 dy=0 data=2 extra=0",
                                      "keybd_event vk=0x11 scan=0x1D flags=0x3",
                                      "mouse_event flags=0x14 dx=0 dy=0 data=0 extra=0",
                                      "mouse_event flags=0x100 dx=0 dy=0 data=2 extra=0"}));
}

TEST(SimInput, WheelDataPrintsSigned) {
  SimFixture sim;
  sim.platform.input.MouseEvent(0x8800, 0, 0, -120, 0);
  EXPECT_EQ(sim.desktop.TakeTrace(),
            std::vector<std::string>{"mouse_event flags=0x8800 dx=0 dy=0 data=-120 extra=0"});
}

TEST(SimInput, CursorMovesWithinTheScreen) {
  SimFixture sim;
  sim.desktop.SetCursor({40, 50});
  platform::Point at;
  ASSERT_TRUE(sim.platform.input.GetCursorPos(at));
  EXPECT_EQ(at, (platform::Point{40, 50}));
  EXPECT_TRUE(sim.platform.input.SetCursorPos(405, 5));
  EXPECT_TRUE(sim.platform.input.SetCursorPos(5000, -3));
  EXPECT_EQ(sim.desktop.Cursor(), (platform::Point{1919, 0}));
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"SetCursorPos x=405 y=5", "SetCursorPos x=5000 y=-3"}));
}

TEST(SimInput, SystemParametersPrintTheirArgumentByKind) {
  SimFixture sim;
  auto& input = sim.platform.input;
  input.SystemParametersInfo(4, 0, platform::SpiArgument::Triple(6, 10, 1), 2);
  input.SystemParametersInfo(113, 0, platform::SpiArgument::Value(11), 2);
  input.SystemParametersInfo(105, platform::kWheelPageScroll, platform::SpiArgument::Null(), 2);
  input.SetDoubleClickTime(500);
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{
                "SystemParametersInfoA action=4 uiParam=0x0 pvParam=[6,10,1] fWinIni=0x2",
                "SystemParametersInfoA action=113 uiParam=0x0 pvParam=11 fWinIni=0x2",
                "SystemParametersInfoA action=105 uiParam=0xFFFFFFFF pvParam=null fWinIni=0x2",
                "SetDoubleClickTime ms=500"}));
  EXPECT_EQ(sim.desktop.DoubleClickTime(), 500u);
  ASSERT_TRUE(sim.desktop.LastSystemParameter(113).has_value());
  EXPECT_EQ(sim.desktop.LastSystemParameter(113)->pvParam.values[0], 11);
}

TEST(SimInput, AFailedCallStillPrintsButChangesNothing) {
  SimFixture sim;
  EXPECT_TRUE(sim.desktop.FailCall("SetCursorPos", 1));
  EXPECT_FALSE(sim.platform.input.SetCursorPos(10, 10));
  EXPECT_TRUE(sim.platform.input.SetCursorPos(20, 20)) << "one failure only";
  EXPECT_EQ(sim.desktop.Cursor(), (platform::Point{20, 20}));
  EXPECT_EQ(sim.desktop.TakeTrace().size(), 2u);
  EXPECT_FALSE(sim.desktop.FailCall("NoSuchCall"));
}

}  // namespace
}  // namespace hidhost::sim::testing
