// Profile functions on the real config.ini and plain files with sharing.
#include <gtest/gtest.h>

#include <fstream>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

TEST(SimProfileFiles, ReadTheConfigurationFileOnDisk) {
  SimFixture sim;
  sim.desktop.AppendConfigLine("[Setting]");
  sim.desktop.AppendConfigLine("HScrollWheelSpeed=5");
  sim.desktop.AppendConfigLine("ButtonInfo3=040C000010");
  auto& profile = sim.platform.profile;
  EXPECT_EQ(profile.GetPrivateProfileInt("Setting", "HScrollWheelSpeed", -1, kConfigPath), 5u);
  EXPECT_EQ(profile.GetPrivateProfileInt("Setting", "MainSens", -1, kConfigPath), 0xFFFFFFFFu);
  std::array<std::uint8_t, 4> entry{};
  EXPECT_TRUE(profile.GetPrivateProfileStruct("setting", "buttoninfo3", entry, kConfigPath));
  EXPECT_EQ(entry, (std::array<std::uint8_t, 4>{4, 12, 0, 0}));
  std::ifstream onDisk(sim.desktop.HostDirectoryOnDisk() / "config.ini", std::ios::binary);
  std::string first;
  std::getline(onDisk, first);
  EXPECT_EQ(first, "[Setting]\r");
}

TEST(SimProfileFiles, WriteKeepsTheRestOfTheFile) {
  SimFixture sim;
  sim.desktop.AppendConfigLine("; kept");
  sim.desktop.AppendConfigLine("[Setting]");
  sim.desktop.AppendConfigLine("Device=0");
  sim.desktop.AppendConfigLine("OTGSpeed=10");
  EXPECT_TRUE(sim.platform.profile.WritePrivateProfileString("Setting", "Device", "1",
                                                             "C:\\HidHost\\config.ini"));
  EXPECT_EQ(sim.desktop.ConfigFileText(), "; kept\r\n[Setting]\r\nDevice=1\r\nOTGSpeed=10\r\n");
  EXPECT_EQ(
      sim.desktop.TakeTrace(),
      std::vector<std::string>{"WritePrivateProfileStringA section=\"Setting\" "
                               "key=\"Device\" value=\"1\" file=\"C:\\HidHost\\config.ini\""});
}

TEST(SimProfileFiles, WriteCreatesAMissingFile) {
  SimFixture sim;
  EXPECT_FALSE(sim.desktop.ConfigFileText().has_value());
  sim.platform.profile.WritePrivateProfileString("Setting", "Device", "0", kConfigPath);
  EXPECT_EQ(sim.desktop.ConfigFileText(), "[Setting]\r\nDevice=0\r\n");
}

TEST(SimProfileFiles, AFileHeldOpenElsewhereCannotBeOpenedExclusively) {
  SimFixture sim;
  sim.desktop.AppendConfigLine("[Setting]");
  sim.desktop.AppendConfigLine("OTGSpeed=7");
  auto& profile = sim.platform.profile;
  auto& kernel = sim.platform.kernel;

  const int shared = sim.desktop.HoldFileOpen(kConfigPath, platform::kFileShareRead | 2);
  EXPECT_FALSE(platform::IsSet(
      profile.CreateFile(kConfigPath, platform::kGenericRead, 0, platform::kOpenExisting)));
  EXPECT_EQ(profile.GetPrivateProfileInt("Setting", "OTGSpeed", -1, kConfigPath), 7u)
      << "a sharing holder lets the profile functions read";
  sim.desktop.ReleaseFile(shared);

  const int exclusive = sim.desktop.HoldFileOpen("c:\\hidhost\\CONFIG.INI");
  EXPECT_EQ(profile.GetPrivateProfileInt("Setting", "OTGSpeed", -1, kConfigPath), 0xFFFFFFFFu);
  EXPECT_FALSE(profile.WritePrivateProfileString("Setting", "Device", "1", kConfigPath));
  sim.desktop.ReleaseFile(exclusive);
  EXPECT_EQ(sim.desktop.TakeTrace().size(), 1u) << "the refused write prints all the same";

  const platform::Handle file =
      profile.CreateFile(kConfigPath, platform::kGenericRead, 0, platform::kOpenExisting);
  ASSERT_TRUE(platform::IsSet(file));
  EXPECT_FALSE(platform::IsSet(profile.CreateFile(
      kConfigPath, platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting)))
      << "our own exclusive open excludes the next";
  EXPECT_TRUE(kernel.CloseHandle(file));
  EXPECT_FALSE(platform::IsSet(profile.CreateFile(
      "C:\\HidHost\\missing.ini", platform::kGenericRead, 0, platform::kOpenExisting)));
  EXPECT_TRUE(sim.desktop.TakeTrace().empty()) << "plain file opens print nothing";
}

TEST(SimProfileFiles, TheExecutableLivesInTheHostDirectory) {
  SimFixture sim;
  EXPECT_EQ(sim.platform.profile.GetModuleFileName(), "C:\\HidHost\\HidHost.exe");
  sim.desktop.FailCall("GetModuleFileNameA", 1);
  EXPECT_EQ(sim.platform.profile.GetModuleFileName(), "");
}

}  // namespace
}  // namespace hidhost::sim::testing
