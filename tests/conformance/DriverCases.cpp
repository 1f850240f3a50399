// The driver's control device as the host uses it: open, register its
// semaphore, read the queued words, send the pass-through mask, close.
#include <optional>

#include "Cases.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

constexpr const char* kDeviceName = "\\\\.\\ZWTRQUILL48";
constexpr std::uint32_t kRegister = 0x222400;
constexpr std::uint32_t kUnregister = 0x222404;
constexpr std::uint32_t kRead = 0x222408;
constexpr std::uint32_t kMask = 0x222420;

struct Channel {
  platform::Platform& seam;
  platform::Handle device;
  platform::Handle semaphore;

  bool Control(std::uint32_t code, std::uint32_t value) {
    return seam.driver.IoControl(device, code, &value, 4, nullptr, 0);
  }
  bool Register() {
    return Control(kRegister, static_cast<std::uint32_t>(platform::ValueOf(semaphore)));
  }
  std::optional<std::uint32_t> Read() {
    std::uint32_t word = 0xDEADBEEF;
    if (!seam.driver.IoControl(device, kRead, &word, 4, &word, 4)) return std::nullopt;
    return word;
  }
  platform::WaitResult Raised() { return seam.kernel.WaitForSingleObject(semaphore, 2000); }
};

platform::Handle Open(platform::Platform& seam) {
  return seam.driver.Open(kDeviceName, platform::kGenericRead | platform::kGenericWrite,
                          platform::kFileShareRead, platform::kOpenExisting);
}

}  // namespace

void DriverDevice(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  if (stage.SetDriver(DriverMode::Absent)) {
    check.True(1, "no driver: the device does not open", !platform::IsSet(Open(seam)));
  }
  if (!stage.SetDriver(DriverMode::Refuses)) return;  // a build with no driver to stand in
  Channel channel{seam, Open(seam), seam.kernel.CreateSemaphore(0, 100)};
  check.True(2, "the device opens", platform::IsSet(channel.device));
  check.True(3, "a refusing driver rejects the registration", !channel.Register());
  stage.SetDriver(DriverMode::Present);
  check.True(4, "the registration", channel.Register());
  stage.QueueDriverWord(0x08);
  stage.QueueDriverWord(0x00FF0000);
  check.True(
      5, "each queued word raises the semaphore once",
      channel.Raised() == platform::WaitResult::Signalled &&
          channel.Raised() == platform::WaitResult::Signalled &&
          seam.kernel.WaitForSingleObject(channel.semaphore, 0) == platform::WaitResult::Timeout);
  check.Equal(6, "the words are read in order", channel.Read().value_or(0), 0x08u);
  check.Equal(7, "the second", channel.Read().value_or(0), 0x00FF0000u);
  check.True(8, "an empty queue fails the read", !channel.Read().has_value());
  check.True(9, "the mask", channel.Control(kMask, 0xFFE0));
  check.Equal(10, "reaches the driver", stage.LastDriverMask().value_or(0), 0xFFE0u);
  check.True(12, "unregistered",
             seam.driver.IoControl(channel.device, kUnregister, nullptr, 0, nullptr, 0));
  check.True(13, "closed", seam.driver.Close(channel.device));
  seam.kernel.CloseHandle(channel.semaphore);
}

}  // namespace hidhost::conformance
