#include "platform/win32/EmulatedDriverDevice.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/win32/EmulatedDriverProtocol.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {
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

}  // namespace hidhost::platform::win32
