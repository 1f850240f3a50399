// Arbitrary 116-byte records through the shared block and the four update
// messages, each followed by presses of every button, so that every action
// code, modifier and usage byte the record can hold is performed.
//
// Input: one byte choosing the windows under the cursor, then updates of 117
// bytes each: a control byte and the record. The control byte's low two bits
// pick the message (0x4C8 + n); bit 2 leaves the block as it was; bit 3 skips
// the button presses; bit 4 disconnects and reconnects the console first;
// bit 5 holds every button down across the update, so that a button is let go
// under another action than the one it was pressed with.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "app/HostWindow.h"
#include "robustness/BusyDesktop.h"

namespace {

using hidhost::settings::MouseSettings;
using hidhost::testing::HostHarness;

constexpr std::size_t kRecordSize = hidhost::settings::kMouseSettingsSize;
constexpr std::size_t kUpdateSize = 1 + kRecordSize;
constexpr std::size_t kMaxUpdates = 16;

constexpr std::uint8_t kKeepBlock = 0x04;
constexpr std::uint8_t kNoPresses = 0x08;
constexpr std::uint8_t kReconnect = 0x10;
constexpr std::uint8_t kHoldAcross = 0x20;
constexpr std::uint32_t kEveryButtonDown = 0x7F;

MouseSettings RecordOf(const std::uint8_t* bytes) {
  MouseSettings record{};
  std::memcpy(&record, bytes, kRecordSize);
  return record;
}

// The pointer step may switch acceleration off, which zeroes SpeedPreset; no
// other field of the record the host received may differ from it.
bool SameButPreset(MouseSettings held, MouseSettings sent) {
  if (held.SpeedPreset != sent.SpeedPreset && held.SpeedPreset != 0) return false;
  held.SpeedPreset = sent.SpeedPreset;
  return held == sent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 + kUpdateSize) return -1;
  HostHarness host;
  hidhost::testing::FurnishDesktop(host.Desktop(), data[0]);
  FUZZ_CHECK(host.Start());
  MouseSettings block = host.App().Window()->Settings().Snapshot();

  const std::size_t updates = std::min((size - 1) / kUpdateSize, kMaxUpdates);
  for (std::size_t u = 0; u < updates; ++u) {
    const std::uint8_t* update = data + 1 + u * kUpdateSize;
    const std::uint8_t control = update[0];
    if (control & kReconnect) {
      FUZZ_CHECK(host.Send(hidhost::platform::kWmWtsSessionChange,
                           hidhost::platform::kWtsConsoleDisconnect));
      FUZZ_CHECK(
          host.Send(hidhost::platform::kWmWtsSessionChange, hidhost::platform::kWtsConsoleConnect));
    }
    if (!(control & kKeepBlock)) {
      FUZZ_CHECK(host.Desktop().WriteSharedBlock({update + 1, kRecordSize}));
      block = RecordOf(update + 1);
    }
    if (control & kHoldAcross) FUZZ_CHECK(host.Event(kEveryButtonDown));
    const std::uint32_t notice = hidhost::app::kSettingsApplyAll + (control & 0x03);
    FUZZ_CHECK(host.Send(notice));
    if (control & kHoldAcross) FUZZ_CHECK(host.Event(hidhost::testing::kNoButtonWord));

    // The host takes the whole record and never writes the block back.
    const MouseSettings held = host.App().Window()->Settings().Snapshot();
    const bool readOnly =
        notice == hidhost::app::kSettingsReload1 || notice == hidhost::app::kSettingsReload2;
    FUZZ_CHECK(readOnly ? held == block : SameButPreset(held, block));
    const auto shared = host.Desktop().ReadSharedBlock();
    FUZZ_CHECK(shared && std::memcmp(shared->data(), &block, kRecordSize) == 0);

    if (!(control & kNoPresses)) FUZZ_CHECK(hidhost::testing::PressEveryButton(host));
  }

  FUZZ_CHECK(host.Close() == 0);
  FUZZ_CHECK(host.LeakedAtExit().empty());
  FUZZ_CHECK(!host.Desktop().DriverOpen());
  FUZZ_CHECK(host.Desktop().HeldInput().empty());
  return 0;
}
