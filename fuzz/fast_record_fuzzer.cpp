// Any 116-byte records through the shared block and the four update
// messages, each followed by presses of every button, on the light desktop,
// so that every action code, modifier and usage byte a record can hold is
// performed under LightHost's checks.
//
// Input: a byte of desktop flags (FurnishDesktop), then updates
// (UpdateInput.h); a button held across an update is let go under another
// record than the one it was pressed with.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "UpdateInput.h"
#include "app/ConfigurationProgram.h"
#include "light/FastTarget.h"
#include "light/LightHost.h"

namespace {

using hidhost::fuzzing::LightDesktop;
using hidhost::fuzzing::LightHost;
using hidhost::settings::MouseSettings;

using namespace hidhost::fuzzing::update_input;

void PressEveryButton(LightHost& host) {
  for (int index = 0; index < hidhost::settings::kButtonCount; ++index) {
    host.Word(std::uint32_t{1} << index);
    host.TickTimers();
    host.Word(0);
  }
  host.Word(0xFF0000);
  host.Word(0x010000);
  host.Word(0);
}

struct Session {
  const std::uint8_t* updates;
  std::size_t count;

  void operator()(LightHost& host) const {
    for (std::size_t u = 0; u < count && host.Alive(); ++u) {
      const std::uint8_t* update = updates + u * kUpdateSize;
      const std::uint8_t control = update[0];
      if (control & kReconnect) {
        host.ConsoleSession(false);
        host.ConsoleSession(true);
      }
      MouseSettings record{};
      std::memcpy(&record, update + 1, kRecordSize);
      if (control & kHoldAcross) host.Word(kEveryButtonDown);
      host.Update(hidhost::app::kSettingsApplyAll + (control & kMessageBits),
                  (control & kKeepBlock) ? nullptr : &record, (control & kTorn) != 0);
      if (control & kHoldAcross) host.Word(0);
      if (!(control & kNoPresses)) PressEveryButton(host);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 + kUpdateSize) return -1;
  const std::uint8_t flags = data[0];
  LightDesktop desktop;
  hidhost::fuzzing::FurnishDesktop(desktop, flags);

  Session session{data + 1, std::min((size - 1) / kUpdateSize, kMostUpdates)};
  LightHost host(desktop);
  host.Run(session);
  return 0;
}
