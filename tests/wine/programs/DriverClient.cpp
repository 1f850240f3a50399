// wine-driver-client: plays the host's side of the emulated driver channel,
// so that hidhost-driver-emu can be checked on its own.
//
//   wine-driver-client.exe "COMMAND" ...
//
//   open                  open the pipe and register a fresh semaphore; prints "open
//   ok|refused|failed" wait-read[|N]         N times: wait for the semaphore (5 s), read a word;
//   "word XXXXXXXX" read                  read without waiting; "word XXXXXXXX" or "read failed"
//   mask|VALUE            send a pass-through mask
//   close                 mask 0, the close request, close the pipe
//   drop                  close the pipe without the close requests (a host that died)
//   count                 how many words the semaphore promises now; "pending N"
//   timed-wait-read|N     as wait-read, each read timed by the performance counter:
//                         "word XXXXXXXX sent=QPC got=QPC" around the request, after
//                         "clock qpc-frequency=N"
#include <cstring>
#include <string>
#include <vector>

#include "Support.h"
#include "platform/win32/EmulatedDriverProtocol.h"

namespace hidhost::wine_tests {
namespace {

namespace protocol = emulated_driver;

struct Channel {
  OwnedHandle pipe;
  OwnedHandle semaphore;
};

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool Request(Channel& channel, std::uint32_t code, const void* in, std::uint32_t inSize,
             std::uint32_t outSize, std::uint32_t* out) {
  protocol::Request request{};
  request.code = code;
  request.inSize = inSize;
  request.outSize = outSize;
  if (in != nullptr) std::memcpy(request.in, in, inSize);
  protocol::Response response{};
  DWORD got = 0;
  if (!TransactNamedPipe(channel.pipe.get(), &request, sizeof request, &response, sizeof response,
                         &got, nullptr)) {
    return false;
  }
  if (out != nullptr && response.ok && response.outSize >= 4) std::memcpy(out, response.out, 4);
  return response.ok != 0;
}

bool Open(Channel& channel) {
  channel.pipe.reset(CreateFileA(protocol::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  if (channel.pipe.get() == INVALID_HANDLE_VALUE) channel.pipe.release();
  if (!channel.pipe) {
    Print(Format("open failed error=%lu", GetLastError()));
    return true;
  }
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(channel.pipe.get(), &mode, nullptr, nullptr);
  channel.semaphore.reset(CreateSemaphoreA(nullptr, 0, 100, nullptr));
  const auto value =
      static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(channel.semaphore.get()));
  if (!Request(channel, 0x222400, &value, 4, 0, nullptr)) {
    channel.pipe.reset();
    Print("open refused");
    return true;
  }
  Print("open ok");
  return true;
}

bool ReadWord(Channel& channel) {
  std::uint32_t word = 0;
  if (!Request(channel, 0x222408, &word, 4, 4, &word)) {
    Print("read failed");
  } else {
    Print(Format("word %08X", word));
  }
  return true;
}

// Waits for each of `times` words and reads it, stamping the performance
// counter just before the request and just after its response.
bool TimedWaitRead(Channel& channel, std::int64_t times) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  Print(Format("clock qpc-frequency=%lld", static_cast<long long>(frequency.QuadPart)));
  for (std::int64_t i = 0; i < times; ++i) {
    if (WaitForSingleObject(channel.semaphore.get(), 5000) != WAIT_OBJECT_0) {
      Print("wait timed out");
      return false;
    }
    std::uint32_t word = 0;
    const long long sent = CounterNow();
    const bool ok = Request(channel, 0x222408, &word, 4, 4, &word);
    const long long got = CounterNow();
    Print(ok ? Format("word %08X sent=%lld got=%lld", word, sent, got) : "read failed");
  }
  return true;
}

bool Run(Channel& channel, const std::vector<std::string>& w) {
  if (w[0] == "open") return Open(channel);
  if (w[0] == "read") return ReadWord(channel);
  if (w[0] == "wait-read") {
    const auto times = w.size() > 1 ? ParseNumber(w[1]).value_or(1) : 1;
    for (std::int64_t i = 0; i < times; ++i) {
      if (WaitForSingleObject(channel.semaphore.get(), 5000) != WAIT_OBJECT_0) {
        Print("wait timed out");
        return false;
      }
      ReadWord(channel);
    }
    return true;
  }
  if (w[0] == "timed-wait-read") {
    return TimedWaitRead(channel, w.size() > 1 ? ParseNumber(w[1]).value_or(1) : 1);
  }
  if (w[0] == "mask" && w.size() > 1) {
    const auto mask = static_cast<std::uint32_t>(ParseNumber(w[1]).value_or(0));
    Print(Request(channel, 0x222420, &mask, 4, 0, nullptr) ? "mask ok" : "mask failed");
    return true;
  }
  if (w[0] == "close") {
    const std::uint32_t open = 0;
    Request(channel, 0x222420, &open, 4, 0, nullptr);
    Request(channel, 0x222404, nullptr, 0, 0, nullptr);
    channel.pipe.reset();
    return true;
  }
  if (w[0] == "drop") {
    channel.pipe.reset();
    return true;
  }
  if (w[0] == "count") {
    int pending = 0;
    while (WaitForSingleObject(channel.semaphore.get(), 0) == WAIT_OBJECT_0) ++pending;
    ReleaseSemaphore(channel.semaphore.get(), pending, nullptr);
    Print(Format("pending %d", pending));
    return true;
  }
  Print("unknown command " + w[0]);
  return false;
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  hidhost::wine_tests::Channel channel;
  for (int i = 1; i < argc; ++i) {
    if (!hidhost::wine_tests::Run(channel, hidhost::wine_tests::Split(argv[i]))) return 1;
  }
  return 0;
}
