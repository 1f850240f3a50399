// The host's side of the connection to the mouse driver's control device.
//
// The window thread opens and closes the channel and sends the mask on
// update notices; the event thread reads events and, on an arrival, sends the
// mask too. Every request and the close itself run under one lock, so a
// request in flight finishes before the handle is closed and no request is
// ever made on a closed handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "contracts/DriverProtocol.h"
#include "platform/Platform.h"
#include "platform/UniqueResource.h"
#include "settings/LiveSettings.h"

namespace hidhost::device {

class DriverChannel {
 public:
  DriverChannel(platform::Platform& platform, const settings::LiveSettings& settings);
  ~DriverChannel();
  DriverChannel(const DriverChannel&) = delete;
  DriverChannel& operator=(const DriverChannel&) = delete;

  // The semaphore registered with the driver at every open. Set once, before
  // the event thread starts.
  void SetSemaphore(platform::Handle semaphore) { semaphore_ = semaphore; }

  // True when the device is open and the semaphore registered.
  [[nodiscard]] bool Open();
  // Lets every button's own input through and closes the device.
  void Close();
  // False when the channel is closed; true when the mask was sent (accepted or not).
  bool SendPassThroughMask();
  bool IsOpen() const;

  // The process has crashed: lets every button's own input through on the
  // open device, through `direct`, without the lock (the crashed thread may
  // hold it inside a request). A close racing with this at worst makes the
  // request fail on a closed handle.
  void PassEverythingAfterCrash(platform::DriverDevice& direct) const noexcept;

  enum class ReadResult { Event, Failed, Closed };
  // One event word (event thread only).
  ReadResult ReadEvent(std::uint32_t& word);

 private:
  bool Request(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
               std::uint32_t outSize);

  platform::Platform& platform_;
  const settings::LiveSettings& settings_;
  platform::Handle semaphore_ = platform::Handle::None;

  mutable std::mutex guard_;  // guards device_ and every request on it
  platform::UniqueResource<platform::DeviceTraits> device_;
  // device_ once the semaphore is registered, for the crash path; None before
  // the close begins. Written under guard_, read without it.
  std::atomic<platform::Handle> openDevice_{platform::Handle::None};
  // The read request's in-and-out buffer; it still holds the word read last.
  std::uint32_t readBuffer_ = 0;  // event thread only
};

}  // namespace hidhost::device
