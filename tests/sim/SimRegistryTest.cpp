// The simulated registry's locked keys; what the system does with values is
// held to it by tests/conformance.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

constexpr const char* kMouse = "Control Panel\\Mouse";

TEST(SimRegistry, ALockedKeyCanBeNeitherOpenedNorCreated) {
  SimFixture sim;
  sim.desktop.SetRegistryString(kMouse, "MouseSpeed", "1");
  sim.desktop.LockRegistryKey(kMouse);
  sim.desktop.LockRegistryKey("Control Panel\\Desktop");
  auto& registry = sim.platform.registry;
  EXPECT_FALSE(platform::IsSet(registry.OpenKey(platform::kHkeyCurrentUser, kMouse, 0)));
  EXPECT_FALSE(platform::IsSet(registry.CreateKey(platform::kHkeyCurrentUser, kMouse)));
  EXPECT_FALSE(
      platform::IsSet(registry.CreateKey(platform::kHkeyCurrentUser, "Control Panel\\Desktop")));
  EXPECT_FALSE(platform::IsSet(
      registry.CreateKey(platform::kHkeyCurrentUser, "Control Panel\\Desktop\\Below")))
      << "creating below a locked key needs the locked key";
  EXPECT_EQ(sim.desktop.RegistryString(kMouse, "MouseSpeed"), "1");
}

}  // namespace
}  // namespace hidhost::sim::testing
