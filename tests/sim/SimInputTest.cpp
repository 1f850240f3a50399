// What synthesized input leaves held down, and the wheel's signed data.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

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
}

TEST(SimInput, WheelDataPrintsSigned) {
  SimFixture sim;
  sim.platform.input.MouseEvent(0x8800, 0, 0, -120, 0);
  EXPECT_EQ(sim.desktop.TakeTrace(),
            std::vector<std::string>{"mouse_event flags=0x8800 dx=0 dy=0 data=-120 extra=0"});
}

}  // namespace
}  // namespace hidhost::sim::testing
