// The wire format between HidHost.exe built with HIDHOST_EMULATED_DRIVER and
// hidhost-driver-emu.exe, which stands in for the kernel driver where none
// can be loaded (Wine). One request, one response, over a message-mode pipe;
// the requests and buffers are exactly the device's.
#pragma once

#include <cstdint>

namespace hidhost::emulated_driver {

inline constexpr const char* kPipeName = "\\\\.\\pipe\\hidhost-driver-emu";
inline constexpr std::uint32_t kMaxBuffer = 16;

#pragma pack(push, 1)
// Host to emulator: the I/O control code, the input bytes and the size of
// the output buffer the host offers.
struct Request {
  std::uint32_t code;
  std::uint32_t inSize;
  std::uint32_t outSize;
  std::uint8_t in[kMaxBuffer];
};
// Emulator to host: the request's result (1/0) and the output bytes.
struct Response {
  std::uint32_t ok;
  std::uint32_t outSize;
  std::uint8_t out[kMaxBuffer];
};
#pragma pack(pop)

// Registration (0x222400) carries the host's semaphore handle value; the
// emulator finds the host's process id with GetNamedPipeClientProcessId,
// duplicates the handle into itself and releases it once per queued word.

}  // namespace hidhost::emulated_driver
