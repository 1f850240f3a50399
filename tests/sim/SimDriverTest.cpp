// The driver's control device: opening, registration, events and the mask.
#include <gtest/gtest.h>

#include <cstring>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

constexpr const char* kDevice = "\\\\.\\ZWTRQUILL48";

struct Channel {
  SimFixture& sim;
  platform::Handle device;
  platform::Handle semaphore;

  bool Control(std::uint32_t code, std::uint32_t value) {
    return sim.platform.driver.IoControl(device, code, &value, 4, nullptr, 0);
  }
  bool Register() {
    return Control(0x222400, static_cast<std::uint32_t>(platform::ValueOf(semaphore)));
  }
  std::optional<std::uint32_t> Read() {
    std::uint32_t word = 0xDEADBEEF;
    if (!sim.platform.driver.IoControl(device, 0x222408, &word, 4, &word, 4)) return std::nullopt;
    return word;
  }
};

Channel OpenChannel(SimFixture& sim) {
  return {sim, sim.platform.driver.Open(kDevice, 0xC0000000u, 1, 3),
          sim.platform.kernel.CreateSemaphore(0, 100)};
}

TEST(SimDriver, AnAbsentDriverFailsTheOpenAndSaysSo) {
  SimFixture sim;
  EXPECT_FALSE(platform::IsSet(sim.platform.driver.Open(kDevice, 0xC0000000u, 1, 3)));
  EXPECT_EQ(sim.desktop.TakeTrace(),
            std::vector<std::string>{"CreateFileA name=\"\\\\.\\ZWTRQUILL48\" access=0xC0000000 "
                                     "share=0x1 disposition=3 ok=0"});
}

TEST(SimDriver, AWordQueuedBeforeAnyRegistrationIsDropped) {
  SimFixture sim;
  sim.desktop.SetDriver(DriverMode::Present);
  sim.desktop.QueueEvent(0x1);
  Channel channel = OpenChannel(sim);
  ASSERT_TRUE(channel.Register());
  EXPECT_EQ(sim.platform.kernel.WaitForSingleObject(channel.semaphore, 0),
            platform::WaitResult::Timeout);
  EXPECT_EQ(channel.Read(), std::nullopt);
}

TEST(SimDriver, MaskAndCloseArePrintedWithTheirBytes) {
  SimFixture sim;
  sim.desktop.SetDriver(DriverMode::Present);
  Channel channel = OpenChannel(sim);
  channel.Register();
  sim.desktop.TakeTrace();
  EXPECT_TRUE(channel.Control(0x222420, 0xFFE0));
  EXPECT_EQ(sim.desktop.LastMask(), 0xFFE0u);
  EXPECT_TRUE(sim.platform.driver.IoControl(channel.device, 0x222404, nullptr, 0, nullptr, 0));
  channel.Read();
  EXPECT_TRUE(sim.platform.driver.Close(channel.device));
  EXPECT_FALSE(sim.desktop.DriverOpen());
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"DeviceIoControl code=0x222420 in=E0FF0000 out=0 ok=1",
                                      "DeviceIoControl code=0x222404 in=- out=0 ok=1",
                                      "CloseHandle name=\"\\\\.\\ZWTRQUILL48\""}));
}

TEST(SimDriver, ClosingTheLastHandleEndsTheRegistration) {
  SimFixture sim;
  sim.desktop.SetDriver(DriverMode::Present);
  Channel channel = OpenChannel(sim);
  channel.Register();
  sim.platform.kernel.CloseHandle(channel.device);
  EXPECT_FALSE(sim.desktop.DriverRegistered());
  sim.desktop.QueueEvent(0x08);
  EXPECT_EQ(sim.platform.kernel.WaitForSingleObject(channel.semaphore, 0),
            platform::WaitResult::Timeout);
}

TEST(SimDriver, AFailedRequestPrintsOkZero) {
  SimFixture sim;
  sim.desktop.SetDriver(DriverMode::Present);
  Channel channel = OpenChannel(sim);
  sim.desktop.TakeTrace();
  sim.desktop.FailCall("DeviceIoControl", 1);
  EXPECT_FALSE(channel.Register());
  EXPECT_TRUE(channel.Register());
  const auto trace = sim.desktop.TakeTrace();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_NE(trace[0].find(" ok=0"), std::string::npos);
  EXPECT_NE(trace[1].find(" ok=1"), std::string::npos);
}

}  // namespace
}  // namespace hidhost::sim::testing
