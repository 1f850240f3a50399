// The fault table: an armed call prints its line like any other, fails and
// changes nothing, for as many calls as it was armed for.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

constexpr const char* kMouse = "Control Panel\\Mouse";

// The driver's device open and the mouse's key made beforehand, so that each
// row's call is the only one it makes.
struct FaultFixture : SimFixture {
  FaultFixture() {
    desktop.SetDriver(DriverMode::Present);
    device = platform.driver.Open("\\\\.\\ZWTRQUILL48", 0xC0000000u, 1, 3);
    semaphore = platform.kernel.CreateSemaphore(0, 100);
    key = platform.registry.CreateKey(platform::kHkeyCurrentUser, kMouse);
    desktop.TakeTrace();
  }
  platform::Handle device = platform::Handle::None;
  platform::Handle semaphore = platform::Handle::None;
  platform::RegKey key = platform::RegKey::None;
};

struct FaultRow {
  int row;
  const char* call;
  bool (*make)(FaultFixture&);  // the call; true when it succeeded
  bool (*made)(FaultFixture&);  // its effect is there; none when it has no other
  const char* printed;          // found in the failed call's line; none when it prints none
};

const FaultRow kRows[] = {
    {1, "SetCursorPos", [](FaultFixture& f) { return f.platform.input.SetCursorPos(20, 20); },
     [](FaultFixture& f) {
       return f.desktop.Cursor() == platform::Point{20, 20};
     },
     "SetCursorPos x=20 y=20"},
    {2, "RegSetValueExA",
     [](FaultFixture& f) {
       return f.platform.registry.SetValue(f.key, "MouseSpeed", platform::kRegSz,
                                           std::span("1", 1));
     },
     [](FaultFixture& f) { return f.desktop.RegistryString(kMouse, "MouseSpeed").has_value(); },
     "name=\"MouseSpeed\" type=1 data=\"1\""},
    {3, "DeviceIoControl",
     [](FaultFixture& f) {
       auto value = static_cast<std::uint32_t>(platform::ValueOf(f.semaphore));
       return f.platform.driver.IoControl(f.device, 0x222400, &value, 4, nullptr, 0);
     },
     [](FaultFixture& f) { return f.desktop.DriverRegistered(); }, " ok=0"},
    {4, "GetModuleFileNameA",
     [](FaultFixture& f) { return !f.platform.profile.GetModuleFileName().empty(); }, nullptr,
     nullptr},
};

TEST(SimFaults, AnArmedCallPrintsAndFailsForItsCountOnly) {
  for (const FaultRow& row : kRows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row << " " << row.call);
    FaultFixture sim;
    ASSERT_TRUE(sim.desktop.FailCall(row.call, 1));
    EXPECT_FALSE(row.make(sim));
    if (row.made) {
      EXPECT_FALSE(row.made(sim)) << "a failed call changes nothing";
    }
    const auto trace = sim.desktop.TakeTrace();
    if (row.printed) {
      ASSERT_EQ(trace.size(), 1u) << "a failed call prints like any other";
      EXPECT_NE(trace[0].find(row.printed), std::string::npos) << trace[0];
    } else {
      EXPECT_TRUE(trace.empty());
    }
    EXPECT_TRUE(row.make(sim)) << "armed for one call only";
    if (row.made) {
      EXPECT_TRUE(row.made(sim));
    }
  }
  EXPECT_FALSE(SimDesktop().FailCall("NoSuchCall"));
}

}  // namespace
}  // namespace hidhost::sim::testing
