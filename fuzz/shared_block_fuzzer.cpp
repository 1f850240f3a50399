// Arbitrary 116-byte records through the shared block and the four update
// messages, each followed by presses of every button, so that every action
// code, modifier and usage byte the record can hold is performed.
//
// Input: one byte choosing the windows under the cursor, then updates
// (UpdateInput.h); a button held across an update is let go under another
// action than the one it was pressed with.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "UpdateInput.h"
#include "app/HostWindow.h"
#include "support/BusyDesktop.h"

namespace {

using hidhost::settings::MouseSettings;
using hidhost::testing::HostHarness;

using namespace hidhost::fuzzing::update_input;

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

  const std::size_t updates = std::min((size - 1) / kUpdateSize, kMostUpdates);
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
      FUZZ_CHECK(host.Desktop().WriteSharedBlock({update + 1, kRecordSize}) ==
                 hidhost::sim::SharedWrite::Written);
      block = RecordOf(update + 1);
    }
    if (control & kHoldAcross) FUZZ_CHECK(host.Event(kEveryButtonDown));
    const std::uint32_t notice = hidhost::app::kSettingsApplyAll + (control & kMessageBits);
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
