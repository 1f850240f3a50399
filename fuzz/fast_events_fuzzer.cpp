// Event words through the host's decoder and dispatcher, interleaved with
// updates of any record, timer ticks, removals, arrivals and console
// changes, on the light desktop: a whole host life in microseconds.
//
// Input (ByteReader): a byte of desktop flags (FurnishDesktop), then steps, each a kind byte
// and that kind's operands (see Step). Besides LightHost's checks after every
// step, each word the host reads is also decoded on the side against the
// protocol: a button is pressed once when its bit rises and released once
// when it falls, a tilt runs one single shot, an arrival or removal is
// reported for its exact state byte.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ByteReader.h"
#include "FuzzCheck.h"
#include "app/ConfigurationProgram.h"
#include "device/EventDecoder.h"
#include "light/FastTarget.h"
#include "light/LightHost.h"

namespace {

using hidhost::fuzzing::ByteReader;
using hidhost::fuzzing::LightDesktop;
using hidhost::fuzzing::LightHost;
using hidhost::settings::MouseSettings;

constexpr std::size_t kMostSteps = 256;
constexpr std::size_t kFields = hidhost::settings::kFirstButtonWord;
constexpr std::uint32_t kNotices[] = {
    hidhost::app::kSettingsApplyAll, hidhost::app::kSettingsReload1, hidhost::app::kSettingsReload2,
    hidhost::app::kSettingsApplyMaskFirst};
constexpr hidhost::platform::LParam kTrayClicks[] = {hidhost::platform::kWmLButtonDown,
                                                     hidhost::platform::kWmRButtonDown,
                                                     hidhost::platform::kWmLButtonDblClk};

enum Step : std::uint8_t {
  kWord,            // 4 bytes: any word
  kButtons,         // 1 byte: the buttons down, nothing else
  kTilt,            // 1 byte: bit 0 left, else right; then no tilt
  kRecord,          // notice byte, then 116 bytes of record
  kAssignment,      // notice byte, button, code, modifier, usage
  kField,           // notice byte, field index, 4 bytes of value
  kNoticeOnly,      // notice byte: the block as it is
  kTick,            //
  kRemoval,         // 1 byte: the buttons down with the removal
  kArrival,         //
  kDisconnect,      //
  kConnect,         //
  kDeviceChange,    //
  kTaskbarCreated,  //
  kTrayClick,       // 1 byte: which click
  kCursor,          // 1 byte: the scene under the cursor
  kStepKinds
};

// The decoder's promises, kept on the side of the host's own decoder.
class ContractSink final : public hidhost::device::DeviceEventSink {
 public:
  void OnButtonPress(int index) override {
    FUZZ_CHECK(index >= 0 && index < 7 && !down_.test(static_cast<std::size_t>(index)));
    down_.set(static_cast<std::size_t>(index));
  }
  void OnButtonRelease(int index) override {
    FUZZ_CHECK(index >= 0 && index < 7 && down_.test(static_cast<std::size_t>(index)));
    down_.reset(static_cast<std::size_t>(index));
  }
  void RunSingleShot(int index) override {
    FUZZ_CHECK(index == 5 || index == 6);
    singleShots_ |= index == 5 ? 1 : 2;
  }
  void OnDeviceArrived() override { ++arrivals_; }
  void OnDeviceRemoved() override { ++removals_; }

  void Check(std::uint32_t word) {
    const auto byteAt = [&](int n) { return static_cast<std::uint8_t>(word >> (8 * n)); };
    FUZZ_CHECK(down_.to_ulong() == (word & 0x7Fu));
    const std::uint8_t tilt = byteAt(2);
    FUZZ_CHECK(singleShots_ == (tilt == 0xFF ? 1 : tilt == 0x01 ? 2 : 0));
    FUZZ_CHECK(arrivals_ == (byteAt(1) == hidhost::device::kDeviceArrived ? 1 : 0));
    FUZZ_CHECK(removals_ == (byteAt(1) == hidhost::device::kDeviceRemoved ? 1 : 0));
    singleShots_ = arrivals_ = removals_ = 0;
  }

 private:
  std::bitset<7> down_;
  int singleShots_ = 0;
  int arrivals_ = 0;
  int removals_ = 0;
};

class Session {
 public:
  Session(ByteReader& input, LightDesktop& desktop) : input_(input), desktop_(desktop) {}

  void operator()(LightHost& host) {
    record_ = host.Record();
    for (std::size_t n = 0; n < kMostSteps && host.Alive() && !input_.AtEnd(); ++n) Run(host);
  }

 private:
  void Word(LightHost& host, std::uint32_t word) {
    // The driver queues words only for a registered host; the side decoder
    // sees what the host's own decoder sees.
    if (desktop_.Driver().Registered()) {
      contract_.Decode(word);
      sink_.Check(word);
    }
    host.Word(word);
  }

  std::uint32_t Notice() { return kNotices[input_.Byte() % 4]; }

  void Run(LightHost& host) {
    switch (input_.Byte() % kStepKinds) {
      case kWord:
        return Word(host, input_.Number());
      case kButtons:
        return Word(host, input_.Byte());
      case kTilt:
        Word(host, (input_.Byte() & 1) ? 0xFF0000u : 0x010000u);
        return Word(host, 0);
      case kRecord: {
        const std::uint32_t notice = Notice();
        std::uint8_t bytes[hidhost::settings::kMouseSettingsSize] = {};
        for (std::uint8_t& byte : bytes) byte = input_.Byte();
        std::memcpy(&record_, bytes, sizeof bytes);
        return host.Update(notice, &record_, false);
      }
      case kAssignment: {
        const std::uint32_t notice = Notice();
        auto& assignment = record_.ButtonInfo[input_.Byte() % 7];
        assignment.actionCode = hidhost::fuzzing::ActionCodeFrom(input_.Byte());
        assignment.modifier = input_.Byte();
        assignment.keyUsage = input_.Byte();
        return host.Update(notice, &record_, false);
      }
      case kField: {
        const std::uint32_t notice = Notice();
        const std::size_t field = input_.Byte() % kFields;
        const std::uint32_t value = input_.Number();
        std::memcpy(reinterpret_cast<std::uint8_t*>(&record_) + 4 * field, &value, 4);
        return host.Update(notice, &record_, false);
      }
      case kNoticeOnly: {
        const std::uint8_t byte = input_.Byte();
        // A torn block: the writer died holding the mutex.
        return host.Update(kNotices[byte % 4], nullptr, (byte & 0x80) != 0);
      }
      case kTick:
        return host.TickTimers();
      case kRemoval:
        return Word(host, 0x0800u | input_.Byte());
      case kArrival:
        return Word(host, 0x0400u);
      case kDisconnect:
        return host.ConsoleSession(false);
      case kConnect:
        return host.ConsoleSession(true);
      case kDeviceChange:
        return host.DeviceChange();
      case kTaskbarCreated:
        return host.TaskbarCreated();
      case kTrayClick:
        return host.TrayClick(kTrayClicks[input_.Byte() % 3]);
      case kCursor:
        return hidhost::fuzzing::PointAtScene(desktop_, input_.Byte());
    }
  }

  ByteReader& input_;
  LightDesktop& desktop_;
  MouseSettings record_{};
  ContractSink sink_;
  hidhost::device::EventDecoder contract_{sink_};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const std::uint8_t flags = input.Byte();
  LightDesktop desktop;
  hidhost::fuzzing::FurnishDesktop(desktop, flags);

  Session session(input, desktop);
  LightHost host(desktop);
  host.Run(session);
  return 0;
}
