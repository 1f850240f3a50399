// The registry: keys by path without regard to case, typed values, locks.
#include <gtest/gtest.h>

#include <cstring>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::RegKey;

constexpr const char* kMouse = "Control Panel\\Mouse";

std::string Query(platform::Registry& registry, RegKey key, std::string_view name,
                  std::size_t capacity, bool* ok = nullptr) {
  std::vector<char> buffer(capacity, '#');
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  const bool queried = registry.QueryValue(key, name, buffer, &type, &size);
  if (ok != nullptr) *ok = queried;
  return queried ? std::string(buffer.data(), size) : std::string();
}

TEST(SimRegistry, OpensKeysWithoutRegardToCaseAndReadsTheValueAsStored) {
  SimFixture sim;
  sim.desktop.SetRegistryString(kMouse, "MouseSpeed", "1");
  auto& registry = sim.platform.registry;
  const RegKey key =
      registry.OpenKey(platform::kHkeyCurrentUser, "control panel\\MOUSE", platform::kKeyAllAccess);
  ASSERT_TRUE(platform::IsSet(key));
  EXPECT_EQ(Query(registry, key, "mousespeed", 160), std::string("1\0", 2))
      << "set-up strings carry their terminating zero";
  bool ok = true;
  Query(registry, key, "MouseThreshold1", 160, &ok);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(
      platform::IsSet(registry.OpenKey(platform::kHkeyCurrentUser, "Control Panel\\Nothing", 0)));
  EXPECT_TRUE(registry.CloseKey(key));
  EXPECT_FALSE(registry.CloseKey(key));
  EXPECT_TRUE(sim.desktop.TakeTrace().empty()) << "reads print nothing";
}

TEST(SimRegistry, AValueLongerThanTheBufferFailsTheQuery) {
  SimFixture sim;
  const std::string longValue(200, '7');
  sim.desktop.SetRegistryString(kMouse, "MouseSpeed", longValue);
  const RegKey key = sim.platform.registry.OpenKey(platform::kHkeyCurrentUser, kMouse, 0);
  bool ok = true;
  Query(sim.platform.registry, key, "MouseSpeed", 160, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Query(sim.platform.registry, key, "MouseSpeed", 201, &ok), longValue + '\0');
  EXPECT_TRUE(ok);
}

TEST(SimRegistry, ValuesKeepTheirType) {
  SimFixture sim;
  const std::uint32_t dword = 10;
  sim.desktop.SetRegistryValue(kMouse, "MouseSpeed", 4,
                               std::span(reinterpret_cast<const char*>(&dword), 4));
  const RegKey key = sim.platform.registry.OpenKey(platform::kHkeyCurrentUser, kMouse, 0);
  std::array<char, 160> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_TRUE(sim.platform.registry.QueryValue(key, "MouseSpeed", buffer, &type, &size));
  EXPECT_EQ(type, 4u);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(sim.desktop.RegistryValue(kMouse, "MouseSpeed")->type, 4u);
}

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
