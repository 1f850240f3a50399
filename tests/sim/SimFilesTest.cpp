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

TEST(SimProfileFiles, TheExecutableLivesInTheHostDirectory) {
  SimFixture sim;
  EXPECT_EQ(sim.platform.profile.GetModuleFileName(), "C:\\HidHost\\HidHost.exe");
  sim.desktop.FailCall("GetModuleFileNameA", 1);
  EXPECT_EQ(sim.platform.profile.GetModuleFileName(), "");
}

}  // namespace
}  // namespace hidhost::sim::testing
