// The simulated registry's trace, its locked keys and its faults; what the
// system does with values is held to it by tests/conformance.
#include <gtest/gtest.h>

#include <cstring>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::RegKey;

constexpr const char* kMouse = "Control Panel\\Mouse";

TEST(SimRegistry, CreateMakesMissingParentsAndPrintsTheFullPath) {
  SimFixture sim;
  auto& registry = sim.platform.registry;
  const RegKey key = registry.CreateKey(platform::kHkeyCurrentUser, "Control Panel\\Mouse");
  ASSERT_TRUE(platform::IsSet(key));
  const char zero[] = "0";
  EXPECT_TRUE(registry.SetValue(key, "MouseSpeed", platform::kRegSz, std::span(zero, 1)));
  EXPECT_EQ(sim.desktop.RegistryString(kMouse, "MouseSpeed"), "0");
  EXPECT_EQ(
      sim.desktop.TakeTrace(),
      (std::vector<std::string>{"RegCreateKeyA key=\"HKEY_CURRENT_USER\\Control Panel\\Mouse\"",
                                "RegSetValueExA key=\"HKEY_CURRENT_USER\\Control Panel\\Mouse\" "
                                "name=\"MouseSpeed\" type=1 data=\"0\""}));
}

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

TEST(SimRegistry, AFailedSetPrintsAndStoresNothing) {
  SimFixture sim;
  const RegKey key = sim.platform.registry.CreateKey(platform::kHkeyCurrentUser, kMouse);
  sim.desktop.FailCall("RegSetValueExA", 1);
  const char one[] = "1";
  EXPECT_FALSE(sim.platform.registry.SetValue(key, "MouseSpeed", platform::kRegSz, one));
  EXPECT_FALSE(sim.desktop.RegistryString(kMouse, "MouseSpeed").has_value());
  EXPECT_EQ(sim.desktop.TakeTrace().size(), 2u);
}

}  // namespace
}  // namespace hidhost::sim::testing
