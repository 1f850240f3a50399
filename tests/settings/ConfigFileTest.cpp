#include <array>
#include <optional>

#include "SettingsWorld.h"
#include "platform/FacetBases.h"
#include "settings/ConfigFile.h"
#include "settings/SettingsLoader.h"

namespace hidhost::settings::testing {
namespace {

using ConfigFileTest = SettingsWorld;

constexpr std::array<const char*, 13> kMinusOneKeys = {
    "HScrollWheelSpeed", "MainSens",    "XYSensFlag",     "XSens",     "YSens",
    "OTFStatus",         "DpiValue0",   "DpiValue1",      "DpiValue2", "PRValue",
    "OTGSpeed",          "LightSwitch", "LightEffectType"};

TEST_F(ConfigFileTest, AllKeys_readInOrderIntoTheirFields) {
  Config({"[Setting]", "HScrollWheelSpeed=4", "MainSens=5", "XYSensFlag=0", "XSens=7", "YSens=8",
          "OTFStatus=0", "DpiValue0=2", "DpiValue1=3", "DpiValue2=4", "PRValue=1", "OTGSpeed=25",
          "LightSwitch=0", "LightEffectType=2", "MouseColor=16711680", "ButtonInfo0=0101000002",
          "ButtonInfo3=040C000010", "Device=1"});
  MouseSettings record = ClearedRecord();
  EXPECT_TRUE(ReadConfiguration(platform, record));
  const std::array<std::int32_t, 14> expected = {4, 5, 0, 7, 8, 0, 2, 3, 4, 1, 25, 0, 2, 16711680};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(WordAt(record, 32 + 4 * i), expected[i]) << "key " << i + 1;
  }
  EXPECT_EQ(record.ButtonInfo[0], (ButtonAssignment{1, 1, 0, 0}));
  EXPECT_EQ(record.ButtonInfo[3], (ButtonAssignment{4, 12, 0, 0}));
  EXPECT_EQ(record.Reserved, -1);
}

TEST_F(ConfigFileTest, EmptySection_countsAsRead) {
  Config({"[Setting]"});
  SetMouseValue("DoubleClickSpeed", "420");
  MouseSettings record = ClearedRecord();
  EXPECT_TRUE(ReadConfiguration(platform, record));
  for (std::size_t i = 0; i < kMinusOneKeys.size(); ++i) {
    EXPECT_EQ(WordAt(record, 32 + 4 * i), -1) << kMinusOneKeys[i];
  }
  EXPECT_EQ(record.MouseColor, 0);
  EXPECT_EQ(record.DoubleClickSpeed, 420);
  for (int i = 0; i < kButtonCount; ++i) {
    EXPECT_EQ(record.ButtonInfo[i], DefaultAssignment(i)) << "button " << i + 1;
  }
}

TEST_F(ConfigFileTest, SectionLackingKeys_givesFallbacksForThoseOnly) {
  Config({"; written by hand", "[Other]", "MainSens=99", "[Setting]", "mainsens=6", "OTGSpeed = 30",
          "ButtonInfo5=0611000017"});
  MouseSettings record = ClearedRecord();
  EXPECT_TRUE(ReadConfiguration(platform, record));
  EXPECT_EQ(record.MainSens, 6);
  EXPECT_EQ(record.OTGSpeed, 30);
  EXPECT_EQ(record.HScrollWheelSpeed, -1);
  EXPECT_EQ(record.LightEffectType, -1);
  EXPECT_EQ(record.MouseColor, 0);
  EXPECT_EQ(record.ButtonInfo[5], (ButtonAssignment{6, 0x11, 0, 0}));
  EXPECT_EQ(record.ButtonInfo[4], DefaultAssignment(4));
}

TEST_F(ConfigFileTest, FileMissing_returnsZeroAfterReadingRegistry) {
  SetMouseValue("DoubleClickSpeed", "420");
  MouseSettings record = ClearedRecord();
  EXPECT_FALSE(ReadConfiguration(platform, record));
  EXPECT_EQ(record.DoubleClickSpeed, 420);
  EXPECT_EQ(record.HScrollWheelSpeed, -1);
}

TEST_F(ConfigFileTest, MouseKeyLocked_fileNotRead) {
  desktop.LockRegistryKey(kMouseKey);
  Config({"[Setting]", "HScrollWheelSpeed=4", "MouseColor=7", "ButtonInfo0=0101000002"});
  MouseSettings record = ClearedRecord();
  EXPECT_FALSE(ReadConfiguration(platform, record));
  EXPECT_EQ(record, ClearedRecord());
}

TEST_F(ConfigFileTest, DesktopKeyLocked_fileReadWheelFieldsKeepMinusOne) {
  desktop.LockRegistryKey(kDesktopKey);
  Config({"[Setting]", "HScrollWheelSpeed=4"});
  MouseSettings record = ClearedRecord();
  EXPECT_TRUE(ReadConfiguration(platform, record));
  EXPECT_EQ(record.HScrollWheelSpeed, 4);
  EXPECT_EQ(record.WheelScrollLines, -1);
  EXPECT_EQ(record.WheelPageScroll, -1);
}

TEST_F(ConfigFileTest, FileHeldOpenByAnotherProgram_countsAsMissing) {
  Config({"[Setting]", "HScrollWheelSpeed=4"});
  // Even a holder that shares reading fails the host's open, which shares nothing.
  for (const std::uint32_t share : {0u, platform::kFileShareRead}) {
    SCOPED_TRACE("share " + std::to_string(share));
    const int hold = desktop.HoldFileOpen(kConfigPath, share);
    ASSERT_NE(hold, 0);
    EXPECT_FALSE(FileExists(platform, kConfigPath));
    MouseSettings record = ClearedRecord();
    EXPECT_FALSE(ReadConfiguration(platform, record));
    EXPECT_EQ(record.HScrollWheelSpeed, -1);
    desktop.ReleaseFile(hold);
    EXPECT_TRUE(FileExists(platform, kConfigPath));
  }
}

TEST_F(ConfigFileTest, FileBeingReadByAnotherProgram_countsAsMissing) {
  Config({"[Setting]"});
  platform::Platform& reader = desktop.StartProcess().Platform();
  const platform::Handle open = reader.profile.CreateFile(
      kConfigPath, platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting);
  ASSERT_TRUE(platform::IsSet(open));
  EXPECT_FALSE(FileExists(platform, kConfigPath));
  reader.kernel.CloseHandle(open);
  EXPECT_TRUE(FileExists(platform, kConfigPath));
}

TEST_F(ConfigFileTest, FileHeldOpen_loadFallsBackToDefaults) {
  Config({"[Setting]", "HScrollWheelSpeed=4", "MouseColor=9"});
  desktop.HoldFileOpen(kConfigPath);
  MouseSettings record = MarkedRecord();
  LoadSettings(platform, record);
  EXPECT_EQ(record, DefaultRecord());
}

TEST_F(ConfigFileTest, FileExists_closesWhatItOpened) {
  Config({"[Setting]"});
  const int before = process.OpenObjectCount();
  EXPECT_TRUE(FileExists(platform, kConfigPath));
  EXPECT_EQ(process.OpenObjectCount(), before);
  EXPECT_FALSE(FileExists(platform, "C:\\HidHost\\absent.ini"));
}

struct ButtonRow {
  const char* value;  // nullptr: no ButtonInfo2 key
  ButtonAssignment expected;
};

// ButtonInfo2, whose default is {3, 3, 0, 0}; button 1 always holds 07 2A 05 1E
// so that bytes left over from another key would show.
constexpr ButtonAssignment kDefault2{3, 3, 0, 0};
const std::array<ButtonRow, 11> kButtonRows = {{
    {"0101000002", {1, 1, 0, 0}},          // 1
    {"030F0204", kDefault2},               // 2: no checksum: too short
    {"030F020418", {3, 15, 2, 4}},         // 3: checksum 3+15+2+4 = 0x18
    {"030F020419", kDefault2},             // 4: wrong checksum
    {"030F02041800", kDefault2},           // 5: too long
    {"030G020418", kDefault2},             // 6: not a hexadecimal digit
    {"", kDefault2},                       // 7: empty value
    {nullptr, kDefault2},                  // 8: key missing
    {"FFFFFFFFFC", {255, 255, 255, 255}},  // 9: checksum keeps the low 8 bits
    {"0000000000", {0, 0, 0, 0}},          // 10: a valid all-zero entry is kept
    {"03 0F020418", kDefault2},            // 11
}};

TEST(ConfigButtonInfo, Values_validOrDefault) {
  for (std::size_t i = 0; i < kButtonRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    const auto& row = kButtonRows[i];
    sim::SimDesktop world;
    platform::Platform& host = world.StartProcess().Platform();
    world.AppendConfigLine("[Setting]");
    world.AppendConfigLine("ButtonInfo1=072A051E54");
    if (row.value != nullptr) world.AppendConfigLine(std::string("ButtonInfo2=") + row.value);
    MouseSettings record = ClearedRecord();
    ASSERT_TRUE(ReadConfiguration(host, record));
    EXPECT_EQ(record.ButtonInfo[1], (ButtonAssignment{7, 0x2A, 5, 0x1E}));
    EXPECT_EQ(record.ButtonInfo[2], row.expected);
  }
}

TEST_F(ConfigFileTest, WriteDeviceFlag_changesOnlyDevice) {
  Config({"; HidHost settings", "", "[Setting]", "MainSens=5", "Device=0", "ButtonInfo0=0101000002",
          "", "[Other]", "Device=7"});
  const std::optional<std::string> before = desktop.ConfigFileText();
  ASSERT_TRUE(before.has_value());
  Trace();
  WriteDeviceFlag(platform.profile, kConfigPath, 1);
  EXPECT_EQ(Trace(),
            std::vector<std::string>{R"(WritePrivateProfileStringA section="Setting" )"
                                     R"(key="Device" value="1" file="C:\HidHost\config.ini")"});
  std::string expected = *before;
  const auto at = expected.find("Device=0");
  ASSERT_NE(at, std::string::npos);
  expected.replace(at, 8, "Device=1");
  EXPECT_EQ(desktop.ConfigFileText(), std::optional<std::string>(expected));
}

TEST_F(ConfigFileTest, ModuleDirectory_ofHostExecutable) {
  EXPECT_EQ(ModuleDirectory(platform.profile), sim::kHostDirectory);
  EXPECT_EQ(ConfigPathFor(ModuleDirectory(platform.profile)), kConfigPath);
}

// Gives a chosen executable path; nothing else is called.
class ExecutablePath : public platform::QuietProfileFiles {
 public:
  explicit ExecutablePath(std::string path) : path_(std::move(path)) {}
  std::string GetModuleFileName() override { return path_; }

 private:
  std::string path_;
};

struct DirectoryRow {
  const char* executable;
  const char* directory;
};

constexpr std::array<DirectoryRow, 6> kDirectoryRows = {{
    {"C:\\Tools\\Host\\host.exe", "C:\\Tools\\Host\\"},      // 1
    {"", ""},                                                // 2: the system gave no path
    {"host.exe", ""},                                        // 3
    {"C:host.exe", "C:"},                                    // 4
    {"\\\\server\\share\\host.exe", "\\\\server\\share\\"},  // 5
    {"D:/Games/Mouse/host.exe", "D:/Games/Mouse/"},          // 6
}};

TEST(ModuleDirectory, SplitsDriveAndDirectory) {
  for (std::size_t i = 0; i < kDirectoryRows.size(); ++i) {
    ExecutablePath files(kDirectoryRows[i].executable);
    EXPECT_EQ(ModuleDirectory(files), kDirectoryRows[i].directory) << "row " << i + 1;
  }
  EXPECT_EQ(ConfigPathFor(""), "config.ini");
}

}  // namespace
}  // namespace hidhost::settings::testing
