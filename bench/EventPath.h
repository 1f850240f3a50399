// The event thread's half of the host, wired as the host window wires it:
// the decoder hands each press, release and tilt to the dispatcher. Any
// platform will do; the benchmarks give it the null one or the simulator's.
#pragma once

#include <cstdint>

#include "actions/ActionDispatcher.h"
#include "actions/HeldFunctionFlags.h"
#include "device/DriverChannel.h"
#include "device/EventDecoder.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"
#include "settings/MouseSettings.h"

namespace hidhost::bench {

// Forwards to the dispatcher as the host window does. Arrival and removal
// are left out: the streams hold none (an arrival waits 8 s by design).
class DispatchingSink final : public device::DeviceEventSink {
 public:
  explicit DispatchingSink(actions::ActionDispatcher& dispatcher) : dispatcher_(dispatcher) {}
  void OnButtonPress(int index) override { dispatcher_.OnButtonPress(index); }
  void OnButtonRelease(int index) override { dispatcher_.OnButtonRelease(index); }
  void RunSingleShot(int index) override { dispatcher_.RunSingleShot(index); }
  void OnDeviceArrived() override {}
  void OnDeviceRemoved() override {}

 private:
  actions::ActionDispatcher& dispatcher_;
};

// Does nothing with what the decoder finds: the decoder's own cost.
class NullSink final : public device::DeviceEventSink {
 public:
  void OnButtonPress(int) override {}
  void OnButtonRelease(int) override {}
  void RunSingleShot(int) override {}
  void OnDeviceArrived() override {}
  void OnDeviceRemoved() override {}
};

struct EventPath {
  EventPath(platform::Platform& platform, const settings::MouseSettings& record,
            platform::Hwnd hostWindow)
      : settings(record),
        dispatcher(platform, settings, flags),
        sink(dispatcher),
        decoder(sink),
        channel(platform, settings) {
    dispatcher.AttachWindow(hostWindow);
  }

  settings::LiveSettings settings;
  actions::HeldFunctionFlags flags;
  actions::ActionDispatcher dispatcher;
  DispatchingSink sink;
  device::EventDecoder decoder;
  device::DriverChannel channel;
};

}  // namespace hidhost::bench
