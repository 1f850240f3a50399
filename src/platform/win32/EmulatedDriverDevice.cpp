#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/win32/EmulatedDriverProtocol.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// The driver's stand-in for systems where no kernel driver can be loaded
// (Wine): the same requests and buffers, carried over the emulator's pipe.
class EmulatedDriverDevice final : public DriverDevice {
 public:
  // Connects to the emulator's pipe, whatever the device name; None when no
  // emulator is listening, as for an absent device.
  Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) override;
  bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
  bool Close(Handle device) override;

 private:
  // The window thread and the event thread both send requests. A device
  // serves them one at a time; a pipe would interleave the two threads'
  // writes and reads, so each round trip holds this lock. A thread that
  // crashed inside a round trip never lets go of it, and the crash handler's
  // own request must not wait for it for ever: a round trip takes well under
  // a millisecond, so one that cannot have the lock within the bound fails.
  std::timed_mutex roundTrip_;
};
namespace {

namespace protocol = emulated_driver;

// How long to wait for the emulator to finish with another client.
constexpr DWORD kBusyPipeWaitMs = 2000;
// How long a request waits for another thread's round trip on the same pipe.
constexpr std::chrono::milliseconds kRoundTripLockWait{2000};

using Pipe = UniqueResource<SystemHandleTraits<EmulatedDriverDevice>>;

HANDLE ConnectPipe() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const HANDLE pipe = ::CreateFileA(protocol::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    if (::GetLastError() != ERROR_PIPE_BUSY) return nullptr;
    if (!::WaitNamedPipeA(protocol::kPipeName, kBusyPipeWaitMs)) return nullptr;
  }
  return nullptr;
}

bool WriteWhole(HANDLE pipe, const void* data, DWORD size) {
  DWORD written = 0;
  return ::WriteFile(pipe, data, size, &written, nullptr) && written == size;
}

bool ReadWhole(HANDLE pipe, void* data, DWORD size) {
  DWORD read = 0;
  return ::ReadFile(pipe, data, size, &read, nullptr) && read == size;
}

}  // namespace

Handle EmulatedDriverDevice::Open(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) {
  Pipe pipe(*this, ConnectPipe());
  if (!pipe) return Handle::None;
  // One ReadFile, one whole response.
  DWORD mode = PIPE_READMODE_MESSAGE;
  if (!::SetNamedPipeHandleState(pipe.Get(), &mode, nullptr, nullptr)) return Handle::None;
  return FromHandle(pipe.Release());
}

bool EmulatedDriverDevice::IoControl(Handle device, std::uint32_t code, const void* in,
                                     std::uint32_t inSize, void* out, std::uint32_t outSize) {
  if (inSize > protocol::kMaxBuffer || outSize > protocol::kMaxBuffer) return false;
  protocol::Request request{};
  request.code = code;
  request.inSize = inSize;
  request.outSize = outSize;
  if (inSize != 0) std::memcpy(request.in, in, inSize);

  protocol::Response response{};
  {
    const std::unique_lock lock(roundTrip_, kRoundTripLockWait);
    if (!lock.owns_lock()) return false;
    const HANDLE pipe = ToHandle(device);
    if (!WriteWhole(pipe, &request, sizeof(request))) return false;
    if (!ReadWhole(pipe, &response, sizeof(response))) return false;
  }
  const std::uint32_t returned = std::min(response.outSize, outSize);
  if (returned != 0) std::memcpy(out, response.out, returned);
  return response.ok != 0;
}

bool EmulatedDriverDevice::Close(Handle device) {
  return ::CloseHandle(ToHandle(device));
}

std::unique_ptr<DriverDevice> MakeEmulatedDriverDevice() {
  return std::make_unique<EmulatedDriverDevice>();
}

}  // namespace hidhost::platform::win32
