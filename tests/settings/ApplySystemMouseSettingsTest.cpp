#include <array>
#include <cstdio>
#include <optional>

#include "SettingsWorld.h"
#include "settings/LiveSettings.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::settings::testing {
namespace {

// Stands in for the host window: answers its creation and counts the
// setting-change notices that the apply steps send it.
class NoticeCounter : public platform::WindowProcedure {
 public:
  explicit NoticeCounter(platform::Windows& windows) : windows_(windows) {}
  platform::LResult OnMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                              platform::LParam lParam) override {
    if (message == platform::kWmCreate) return 0;
    if (message == platform::kWmWinIniChange) {
      notices.push_back(wParam);
      return 0;
    }
    return windows_.DefWindowProc(hwnd, message, wParam, lParam);
  }
  std::vector<platform::WParam> notices;

 private:
  platform::Windows& windows_;
};

// A desktop with the host's window and its Control Panel\Mouse key open.
struct HostWorld {
  HostWorld() {
    platform::WindowAttributes attributes;
    attributes.title = "QUILL48HidHost";
    attributes.style = platform::kWsPopup;
    host = platform.windows.CreateFrameworkWindow(attributes, window);
    mouseKey.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess);
    desktop.TakeTrace();
  }
  ~HostWorld() {
    if (platform::IsSet(host)) platform.windows.SendMessage(host, platform::kWmClose, 0, 0);
  }
  void SetAcceleration(const char* speed, const char* threshold1, const char* threshold2) {
    desktop.SetRegistryString(kMouseKey, "MouseSpeed", speed);
    desktop.SetRegistryString(kMouseKey, "MouseThreshold1", threshold1);
    desktop.SetRegistryString(kMouseKey, "MouseThreshold2", threshold2);
  }
  std::vector<std::string> Trace() { return desktop.TakeTrace(); }
  std::string Message(int spi) const {
    char line[96];
    std::snprintf(line, sizeof line, "SendMessageA hwnd=0x%X msg=0x1A wParam=0x%X lParam=0x0",
                  static_cast<unsigned>(platform::ValueOf(host)), static_cast<unsigned>(spi));
    return line;
  }

  sim::SimDesktop desktop;
  platform::Platform& platform = desktop.StartProcess().Platform();
  NoticeCounter window{platform.windows};
  platform::Hwnd host = platform::Hwnd::None;
  RegistryKey mouseKey{platform.registry};
  LiveSettings settings{DefaultRecord()};
};

class ApplySystemMouseSettingsTest : public ::testing::Test, protected HostWorld {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::IsSet(host)); }
};

TEST_F(ApplySystemMouseSettingsTest, Defaults_applyFourStepsInOrder) {
  ApplySystemMouseSettings(platform, host, mouseKey, settings);
  EXPECT_EQ(Trace(), (std::vector<std::string>{
                         "SetDoubleClickTime ms=500",
                         "SystemParametersInfoA action=33 uiParam=0x0 pvParam=null fWinIni=0x2",
                         "SwapMouseButton swap=0",
                         Message(33),
                         "SystemParametersInfoA action=4 uiParam=0x0 pvParam=[0,0,0] fWinIni=0x2",
                         Message(4),
                         "SystemParametersInfoA action=113 uiParam=0x0 pvParam=11 fWinIni=0x2",
                         Message(113),
                         "SystemParametersInfoA action=105 uiParam=0x3 pvParam=null fWinIni=0x2",
                         Message(105),
                     }));
  EXPECT_EQ(window.notices, (std::vector<platform::WParam>{33, 4, 113, 105}));
}

TEST_F(ApplySystemMouseSettingsTest, SwappedButtons_passSwapToBothCalls) {
  settings.Set(Field::SwapMouseButtons, 1);
  settings.Set(Field::DoubleClickSpeed, 250);
  ApplyDoubleClickTime(platform, settings);
  ApplyButtonSwap(platform, host, settings);
  EXPECT_EQ(Trace(), (std::vector<std::string>{
                         "SetDoubleClickTime ms=250",
                         "SystemParametersInfoA action=33 uiParam=0x1 pvParam=null fWinIni=0x2",
                         "SwapMouseButton swap=1",
                         Message(33),
                     }));
  EXPECT_EQ(platform.input.GetSystemMetrics(platform::kSmSwapButton), 1);
}

// The registry's acceleration values, the record's Acceleration, and what the
// pointer step sends and writes.
struct PointerRow {
  const char* speed;  // nullptr: the three values are absent
  const char* threshold1;
  const char* threshold2;
  std::int32_t acceleration;
  const char* sent;  // threshold 1, threshold 2, speed
  bool clears;       // writes "0" to the three values and SpeedPreset 0
};

constexpr std::array<PointerRow, 8> kPointerRows = {{
    {"1", "6", "10", 1, "[6,10,1]", false},            // 1: acceleration on: registry as it is
    {"1", "6", "10", 0, "[0,0,0]", true},              // 2: acceleration off: cleared
    {"0", "0", "0", 0, "[0,0,0]", false},              // 3: nothing to clear
    {nullptr, nullptr, nullptr, 0, "[0,0,0]", false},  // 4: absent values count as 0
    {"1", "6", "10", -1, "[0,0,0]", true},             // 5: only exactly 1 means on
    {"2", "4", "10", 2, "[0,0,0]", true},              // 6
    {"0", "0", "7", 0, "[0,0,0]", true},               // 7: any non-zero value is cleared
    {"2", "4", "10", 1, "[4,10,2]", false},            // 8
}};

TEST(ApplyPointerSpeed, FollowsAcceleration) {
  for (std::size_t i = 0; i < kPointerRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    const auto& row = kPointerRows[i];
    HostWorld world;
    LiveSettings& settings = world.settings;
    if (row.speed != nullptr) world.SetAcceleration(row.speed, row.threshold1, row.threshold2);
    settings.Set(Field::Acceleration, row.acceleration);
    settings.Set(Field::SpeedPreset, 7);
    settings.Set(Field::MouseSensitivity, 14);
    world.Trace();
    ApplyPointerSpeed(world.platform, world.host, world.mouseKey, settings);

    std::vector<std::string> expected;
    if (row.clears) {
      for (const char* name : {"MouseSpeed", "MouseThreshold2", "MouseThreshold1"}) {
        expected.push_back(
            std::string(R"(RegSetValueExA key="HKEY_CURRENT_USER\Control Panel\Mouse" name=")") +
            name + R"(" type=1 data="0")");
      }
    }
    expected.push_back(std::string("SystemParametersInfoA action=4 uiParam=0x0 pvParam=") +
                       row.sent + " fWinIni=0x2");
    expected.push_back(world.Message(4));
    expected.push_back("SystemParametersInfoA action=113 uiParam=0x0 pvParam=14 fWinIni=0x2");
    expected.push_back(world.Message(113));
    EXPECT_EQ(world.Trace(), expected);
    EXPECT_EQ(settings.Get(Field::SpeedPreset), row.clears ? 0 : 7);
    if (row.clears) {
      EXPECT_EQ(world.desktop.RegistryString(kMouseKey, "MouseThreshold1"),
                std::optional<std::string>("0"));
    }
  }
}

TEST_F(ApplySystemMouseSettingsTest, PointerStep_keyNotOpen_sendsZerosAndWritesNothing) {
  SetAcceleration("1", "6", "10");
  mouseKey.Close();
  settings.Set(Field::Acceleration, 0);
  settings.Set(Field::SpeedPreset, 7);
  Trace();
  ApplyPointerSpeed(platform, host, mouseKey, settings);
  const auto trace = Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(),
            "SystemParametersInfoA action=4 uiParam=0x0 pvParam=[0,0,0] fWinIni=0x2");
  EXPECT_EQ(desktop.RegistryString(kMouseKey, "MouseSpeed"), std::optional<std::string>("1"));
  EXPECT_EQ(settings.Get(Field::SpeedPreset), 7);
}

struct WheelRow {
  std::int32_t lines;
  std::int32_t pageScroll;
  const char* uiParam;
};

constexpr std::array<WheelRow, 4> kWheelRows = {{
    {3, 0, "0x3"},           // 1
    {0, 1, "0xFFFFFFFF"},    // 2: page scrolling, as read from -1
    {-1, -1, "0xFFFFFFFF"},  // 3: Desktop key unusable: the initial fill stays, a page
    {12, 0, "0xC"},          // 4
}};

TEST_F(ApplySystemMouseSettingsTest, WheelStep_linesOrPage) {
  for (std::size_t i = 0; i < kWheelRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    settings.Set(Field::WheelScrollLines, kWheelRows[i].lines);
    settings.Set(Field::WheelPageScroll, kWheelRows[i].pageScroll);
    ApplyWheelLines(platform, host, settings);
    EXPECT_EQ(Trace(), (std::vector<std::string>{
                           std::string("SystemParametersInfoA action=105 uiParam=") +
                               kWheelRows[i].uiParam + " pvParam=null fWinIni=0x2",
                           Message(105),
                       }));
  }
}

TEST_F(ApplySystemMouseSettingsTest, PageScrollFromRegistry_appliedAsWheelPageScroll) {
  desktop.SetRegistryString(kDesktopKey, "WheelScrollLines", "-1");
  MouseSettings record = ClearedRecord();
  ASSERT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_EQ(record.WheelScrollLines, 0);
  EXPECT_EQ(record.WheelPageScroll, 1);
  settings.Replace(record);
  Trace();
  ApplyWheelLines(platform, host, settings);
  const auto trace = Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(),
            "SystemParametersInfoA action=105 uiParam=0xFFFFFFFF pvParam=null fWinIni=0x2");
}

}  // namespace
}  // namespace hidhost::settings::testing
