// The simulated driver's own rules: a word with nobody registered is lost,
// and the registration ends with the device's last handle.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace hidhost::sim::testing
