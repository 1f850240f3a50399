// The driver facet. Without a driver (or emulator) the device does not
// open. In the emulated build a stand-in server on the emulator's pipe
// checks that each request carries the device's code and buffers and that
// the response's bytes land in the caller's output buffer.
#include <cstring>
#include <vector>

#include "Checks.h"
#include "platform/Constants.h"
#include "platform/win32/EmulatedDriverProtocol.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

constexpr const char* kDeviceName = "\\\\.\\ZWTRQUILL48";

Handle OpenDevice(DriverDevice& driver) {
  return driver.Open(kDeviceName, kGenericRead | kGenericWrite, kFileShareRead, kOpenExisting);
}

#ifdef HIDHOST_EMULATED_DRIVER
namespace protocol = emulated_driver;

// Answers each request with the next of these, and keeps the requests.
struct StandInServer {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  std::vector<protocol::Response> answers;
  std::vector<protocol::Request> requests;
};

std::uint32_t Serve(void* raw) {
  auto* server = static_cast<StandInServer*>(raw);
  if (!ConnectNamedPipe(server->pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return 1;
  for (const protocol::Response& answer : server->answers) {
    protocol::Request request{};
    DWORD read = 0;
    if (!ReadFile(server->pipe, &request, sizeof(request), &read, nullptr)) return 1;
    server->requests.push_back(request);
    DWORD written = 0;
    WriteFile(server->pipe, &answer, sizeof(answer), &written, nullptr);
  }
  return 0;
}

void CheckRoundTrips(Checks& check, Win32Platform& platform) {
  StandInServer server;
  server.pipe = CreateNamedPipeA(protocol::kPipeName, PIPE_ACCESS_DUPLEX,
                                 PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 64, 64,
                                 0, nullptr);
  if (!check.True(10, "stand-in pipe created", server.pipe != INVALID_HANDLE_VALUE)) return;
  server.answers = {{1, 4, {0xE0, 0xFF, 0x00, 0x01}}, {0, 0, {}}};
  const Handle thread = platform.kernel.CreateThread(0, Serve, &server);

  const Handle device = OpenDevice(platform.driver);
  check.True(11, "the device opens while the emulator listens", IsSet(device));
  std::uint8_t word[4] = {1, 2, 3, 4};
  check.True(12, "request answered with success",
             platform.driver.IoControl(device, 0x222408, word, 4, word, 4));
  check.True(13, "the response's bytes in the output buffer",
             word[0] == 0xE0 && word[1] == 0xFF && word[2] == 0x00 && word[3] == 0x01);
  check.True(14, "a refused request reports failure",
             !platform.driver.IoControl(device, 0x222404, nullptr, 0, nullptr, 0));
  std::uint8_t tooLong[protocol::kMaxBuffer + 1] = {};
  check.True(15, "an input longer than the protocol carries is refused unsent",
             !platform.driver.IoControl(device, 0x222420, tooLong, sizeof(tooLong), nullptr, 0));
  check.True(16, "closed", platform.driver.Close(device));
  platform.kernel.WaitForSingleObject(thread, kInfinite);
  platform.kernel.CloseHandle(thread);
  CloseHandle(server.pipe);

  if (!check.Equal(17, "requests the stand-in saw", server.requests.size(), 2u)) return;
  const protocol::Request& read = server.requests[0];
  check.True(18, "code and sizes", read.code == 0x222408 && read.inSize == 4 && read.outSize == 4);
  check.True(19, "input bytes", std::memcmp(read.in, "\x01\x02\x03\x04", 4) == 0);
  const protocol::Request& close = server.requests[1];
  check.True(20, "no buffers", close.code == 0x222404 && close.inSize == 0 && close.outSize == 0);
}
#endif

}  // namespace

int CheckDriverDevice() {
  Checks check("driver");
  Win32Platform platform;
  check.True(1, "no driver (or emulator): the device does not open",
             !IsSet(OpenDevice(platform.driver)));
#ifdef HIDHOST_EMULATED_DRIVER
  CheckRoundTrips(check, platform);
#endif
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
