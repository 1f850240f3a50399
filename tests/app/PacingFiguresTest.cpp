// How long the host's paced input takes in virtual time, with the system
// timer at 1 ms while it paces and with the raise refused (the system's
// default 15.625 ms tick, as on a stock Windows where nobody raises it).
// The figures go to standard output for docs/performance.md; each is also
// checked, so that a host that stopped raising, or raised for good, fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Constants.h"
#include "support/CheckedHost.h"

namespace hidhost::testing {
namespace {

constexpr std::uint32_t kCtrlCButton = 1u << 3;     // button 4: Ctrl + C (code 5)
constexpr std::uint32_t kAltF4Button = 1u << 4;     // button 5: Alt + F4 (code 5, modifier 3)
constexpr std::uint32_t kPlainKeyButton = 1u << 5;  // button 6: C alone (code 5)
constexpr std::uint32_t kLeftButton = 1u << 2;      // button 3: left button, held for auto-fire
constexpr std::uint32_t kAutoFireButton = 1u << 6;  // button 7: auto-fire (24)
constexpr std::uintptr_t kAutoFireTimer = 202;
constexpr int kTicks = 64;

// Starts a host whose buttons hold the combinations and auto-fire at that speed.
bool StartHost(CheckedHost& host, int otgSpeed, bool refuseRaise) {
  sim::SimDesktop& desktop = host.Desktop();
  desktop.SetDriver(sim::DriverMode::Present);
  for (const std::string& line :
       {std::string("[Setting]"), "OTGSpeed=" + std::to_string(otgSpeed),
        std::string("ButtonInfo2=0301000004"), std::string("ButtonInfo3=0405010610"),
        std::string("ButtonInfo4=0505033D4A"), std::string("ButtonInfo5=0605000611"),
        std::string("ButtonInfo6=071800001F")}) {
    desktop.AppendConfigLine(line);
  }
  if (refuseRaise) desktop.FailCall("timeBeginPeriod");
  return host.Start();
}

// Virtual milliseconds from the release of the button to the combination's last key.
double CombinationMs(CheckedHost& host, std::uint32_t button) {
  host.Event(button);
  const std::uint64_t start = host.Desktop().NowUs();
  host.Event(0);
  return static_cast<double>(host.Desktop().NowUs() - start) / 1000.0;
}

// Clicks per second while auto-fire replays the held left button.
double AutoFireClicksPerSecond(CheckedHost& host) {
  host.Event(kLeftButton | kAutoFireButton);
  host.Trace();
  const std::uint64_t start = host.Desktop().NowUs();
  for (int tick = 0; tick < kTicks; ++tick) {
    if (!host.Process().AdvanceToTimerTick(kHostHwnd, kAutoFireTimer)) return 0;
    host.Send(platform::kWmTimer, kAutoFireTimer);
  }
  const std::uint64_t elapsed = host.Desktop().NowUs() - start;
  const std::size_t clicks = CountLines(host.Trace(), "mouse_event flags=0x2 ");
  host.Event(0);
  return static_cast<double>(clicks) * 1e6 / static_cast<double>(elapsed);
}

TEST(PacingFigures, combinationsAndAutoFire_atOneMillisecondWhilePacing_keepTheirTimes) {
  const struct {
    const char* what;
    std::uint32_t button;
    double paced;
    double coarse;
  } combinations[] = {
      {"Ctrl+C (3 pauses)", kCtrlCButton, 3.0, 46.875},
      {"Alt+F4 (modifier code 3, 3 pauses)", kAltF4Button, 3.0, 46.875},
      {"C alone (1 pause)", kPlainKeyButton, 1.0, 15.625},
  };
  const struct {
    int otgSpeed;
    double paced;
    double coarse;
  } autoFire[] = {{1, 100.0, 64.0}, {2, 50.0, 32.0}, {5, 20.0, 16.0}, {10, 10.0, 64.0 / 7.0}};

  std::printf("%-40s %12s %12s\n", "key combination", "1 ms held", "15.625 ms");
  for (const auto& row : combinations) {
    CheckedHost paced;
    CheckedHost coarse;
    ASSERT_TRUE(StartHost(paced, 1, false) && StartHost(coarse, 1, true));
    const double pacedMs = CombinationMs(paced, row.button);
    const double coarseMs = CombinationMs(coarse, row.button);
    std::printf("%-40s %9.3f ms %9.3f ms\n", row.what, pacedMs, coarseMs);
    EXPECT_DOUBLE_EQ(pacedMs, row.paced) << row.what;
    EXPECT_DOUBLE_EQ(coarseMs, row.coarse) << row.what;
    EXPECT_EQ(paced.Process().TimerPeriodBalance(), 0) << row.what;
  }
  std::printf("%-40s %12s %12s\n", "auto-fire, clicks per second", "1 ms held", "15.625 ms");
  for (const auto& row : autoFire) {
    CheckedHost paced;
    CheckedHost coarse;
    ASSERT_TRUE(StartHost(paced, row.otgSpeed, false) && StartHost(coarse, row.otgSpeed, true));
    const double pacedRate = AutoFireClicksPerSecond(paced);
    const double coarseRate = AutoFireClicksPerSecond(coarse);
    std::printf("OTGSpeed %-31d %12.2f %12.2f\n", row.otgSpeed, pacedRate, coarseRate);
    EXPECT_NEAR(pacedRate, row.paced, 1e-9) << "OTGSpeed " << row.otgSpeed;
    EXPECT_NEAR(coarseRate, row.coarse, 1e-9) << "OTGSpeed " << row.otgSpeed;
    EXPECT_EQ(paced.Process().TimerPeriodBalance(), 0) << "OTGSpeed " << row.otgSpeed;
  }
}

// Idle, the host holds no finer resolution at all.
TEST(PacingFigures, idleHost_holdsNoResolution) {
  CheckedHost host;
  ASSERT_TRUE(StartHost(host, 1, false));
  EXPECT_EQ(CountLines(host.Trace(), "timeBeginPeriod"), 0u);
  for (const std::string& open : host.Process().OpenObjects()) {
    EXPECT_EQ(open.find("timer resolution"), std::string::npos) << open;
  }
  EXPECT_EQ(host.Close(), 0);
  EXPECT_EQ(CountLines(host.Trace(), "timeBeginPeriod"), 0u);
}

}  // namespace
}  // namespace hidhost::testing
