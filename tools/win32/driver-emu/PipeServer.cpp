#include "PipeServer.h"

#include <cstring>
#include <string>
#include <thread>

#include "contracts/DriverProtocol.h"
namespace hidhost::driver_emu {
namespace {

namespace protocol = emulated_driver;

constexpr std::size_t kRequestHeader = offsetof(protocol::Request, in);

SystemHandle CreateInstance() {
  return OwnHandle(CreateNamedPipeA(protocol::kPipeName, PIPE_ACCESS_DUPLEX,
                                    PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                    PIPE_UNLIMITED_INSTANCES, sizeof(protocol::Response),
                                    sizeof(protocol::Request), 0, nullptr));
}

std::uint32_t Word(const std::uint8_t* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

protocol::Response Result(bool ok) {
  protocol::Response response{};
  response.ok = ok ? 1 : 0;
  return response;
}

// Reads one whole message. A message longer than a request is swallowed and
// answered as a failed request rather than read as two.
enum class ReadOutcome { Request, Malformed, Closed };

ReadOutcome ReadRequest(HANDLE pipe, protocol::Request& request) {
  DWORD got = 0;
  if (ReadFile(pipe, &request, sizeof request, &got, nullptr)) {
    if (got < kRequestHeader || request.inSize > protocol::kMaxBuffer ||
        got < kRequestHeader + request.inSize) {
      return ReadOutcome::Malformed;
    }
    return ReadOutcome::Request;
  }
  if (GetLastError() != ERROR_MORE_DATA) return ReadOutcome::Closed;
  std::uint8_t rest[256];
  while (!ReadFile(pipe, rest, sizeof rest, &got, nullptr)) {
    if (GetLastError() != ERROR_MORE_DATA) return ReadOutcome::Closed;
  }
  return ReadOutcome::Malformed;
}

}  // namespace

bool PipeServer::Listen() {
  listening_ = CreateInstance();
  if (!listening_) log_.Write("pipe create failed error=" + std::to_string(GetLastError()));
  return static_cast<bool>(listening_);
}

void PipeServer::AcceptForever() {
  for (;;) {
    if (!listening_ && !Listen()) {
      Sleep(100);  // nothing to accept on; try again rather than spin
      continue;
    }
    const bool connected =
        ConnectNamedPipe(listening_.Get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    SystemHandle pipe = std::move(listening_);
    if (!connected) continue;
    const ConnectionId connection = nextConnection_++;
    // A fresh instance before serving, so that a second open by the host
    // finds the device while the first connection is still up.
    Listen();
    std::thread([this, connection, p = std::move(pipe)]() mutable {
      Serve(std::move(p), connection);
    }).detach();
  }
}

void PipeServer::Serve(SystemHandle pipe, ConnectionId connection) {
  log_.Write("connected connection=" + std::to_string(connection));
  for (;;) {
    protocol::Request request{};
    const ReadOutcome outcome = ReadRequest(pipe.Get(), request);
    if (outcome == ReadOutcome::Closed) break;
    const protocol::Response response =
        outcome == ReadOutcome::Request ? Answer(request, pipe.Get(), connection) : Result(false);
    if (outcome == ReadOutcome::Malformed) log_.Write("malformed request");
    DWORD written = 0;
    if (!WriteFile(pipe.Get(), &response, sizeof response, &written, nullptr)) break;
  }
  driver_.Unregister(connection);
  DisconnectNamedPipe(pipe.Get());
  log_.Write("disconnected connection=" + std::to_string(connection));
}

protocol::Response PipeServer::Answer(const protocol::Request& request, HANDLE pipe,
                                      ConnectionId connection) {
  switch (request.code) {
    case contracts::kIoctlRegisterSemaphore:
      return Result(Register(request, pipe, connection));
    case contracts::kIoctlUnregister:
      log_.Write("close connection=" + std::to_string(connection));
      driver_.Unregister(connection);
      return Result(true);
    case contracts::kIoctlReadEvent: {
      if (request.outSize < 4) return Result(false);
      const std::optional<std::uint32_t> word = driver_.PopWord();
      if (!word) return Result(false);
      protocol::Response response = Result(true);
      response.outSize = 4;
      std::memcpy(response.out, &*word, 4);
      return response;
    }
    case contracts::kIoctlSetPassThroughMask:
      if (request.inSize < 4) return Result(false);
      driver_.RecordMask(Word(request.in));
      return Result(true);
    default:
      log_.Write("unknown request code=" + Hex32(request.code));
      return Result(false);
  }
}

bool PipeServer::Register(const protocol::Request& request, HANDLE pipe, ConnectionId connection) {
  if (request.inSize < 4) return false;
  if (driver_.Refusing()) {
    log_.Write("register refused connection=" + std::to_string(connection));
    return false;
  }
  ULONG pid = 0;
  if (!GetNamedPipeClientProcessId(pipe, &pid)) {
    log_.Write("register failed: no client pid error=" + std::to_string(GetLastError()));
    return false;
  }
  const SystemHandle host = OwnHandle(OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid));
  if (!host) {
    log_.Write("register failed: OpenProcess error=" + std::to_string(GetLastError()));
    return false;
  }
  const auto value = static_cast<std::uintptr_t>(Word(request.in));
  HANDLE duplicate = nullptr;
  if (!DuplicateHandle(host.Get(), reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &duplicate,
                       0, FALSE, DUPLICATE_SAME_ACCESS)) {
    log_.Write("register failed: DuplicateHandle error=" + std::to_string(GetLastError()));
    return false;
  }
  log_.Write("register pid=" + std::to_string(pid) + " semaphore=" + Hex32(Word(request.in)));
  driver_.Register(connection, OwnHandle(duplicate));
  return true;
}

}  // namespace hidhost::driver_emu
