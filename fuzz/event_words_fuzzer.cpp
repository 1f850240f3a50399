// Any sequence of event words, with any settings record, through the host's
// decoder and dispatcher on the simulated desktop.
//
// Input: one byte choosing the windows under the cursor, 116 bytes of the
// record (the configuration program hands it over with 0x4C8), then the
// words, little-endian. Byte 3 of a word means nothing to the driver's
// protocol; here its low bits also tick the repeat timers and replace the
// record between words, so that timers and updates interleave with events.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "support/BusyDesktop.h"

namespace {

using hidhost::testing::HostHarness;

constexpr std::size_t kMaxWords = 512;
constexpr std::uint32_t kTickTimers = 0x01000000;
constexpr std::uint32_t kResendRecord = 0x02000000;

std::uint32_t WordAt(const std::uint8_t* bytes) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 + hidhost::settings::kMouseSettingsSize) return -1;
  HostHarness host;
  hidhost::testing::FurnishDesktop(host.Desktop(), data[0]);
  const std::span<const std::uint8_t> record(data + 1, hidhost::settings::kMouseSettingsSize);
  FUZZ_CHECK(host.Start());
  host.Desktop().WriteSharedBlock(record);
  FUZZ_CHECK(host.Send(hidhost::app::kSettingsApplyAll));

  const std::uint8_t* words = data + 1 + record.size();
  const std::size_t count = std::min((size - 1 - record.size()) / 4, kMaxWords);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t word = WordAt(words + 4 * i);
    // No event word ends the host.
    FUZZ_CHECK(host.Event(word));
    if (word & kTickTimers) FUZZ_CHECK(hidhost::testing::TickRunningTimers(host));
    if (word & kResendRecord) {
      host.Desktop().WriteSharedBlock(record);
      FUZZ_CHECK(host.Send(hidhost::app::kSettingsApplyMaskFirst));
    }
  }

  FUZZ_CHECK(host.Close() == 0);
  FUZZ_CHECK(host.LeakedAtExit().empty());
  FUZZ_CHECK(!host.Desktop().DriverOpen());
  FUZZ_CHECK(host.Desktop().LastMask().value_or(0) == 0);
  FUZZ_CHECK(host.Desktop().HeldInput().empty());
  return 0;
}
