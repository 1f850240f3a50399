// hidhost-timer: starts HidHost.exe and times it from the outside, in one
// Wine process, so that no other process start falls inside a measurement.
//
//   hidhost-timer.exe EXE CLOSE_FILE
//
// Prints, one line each, as they happen:
//   launched pid=N            the host's process exists
//   window ms=T               its window can be found (from just before CreateProcess)
//   ready ms=T                its window thread has finished the start-up and answers
//   (waits until CLOSE_FILE exists, polling every 50 ms)
//   exit ms=T code=N          WM_CLOSE posted -> process ended
// or "FAIL <why>" and exit code 1.
#include <windows.h>

#include <cstdio>

namespace {

constexpr const char* kHostTitle = "QUILL48HidHost";
constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kClosePollMs = 50;

struct Clock {
  LARGE_INTEGER frequency{};
  Clock() { QueryPerformanceFrequency(&frequency); }
  LONGLONG Now() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
  }
  double MsSince(LONGLONG start) const {
    return static_cast<double>(Now() - start) * 1000.0 / static_cast<double>(frequency.QuadPart);
  }
};

class ProcessHandles {
 public:
  PROCESS_INFORMATION info{};
  ProcessHandles() = default;
  ProcessHandles(const ProcessHandles&) = delete;
  ProcessHandles& operator=(const ProcessHandles&) = delete;
  ~ProcessHandles() {
    if (info.hThread != nullptr) CloseHandle(info.hThread);
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  }
};

int Fail(const char* why) {
  std::printf("FAIL %s (error %lu)\n", why, GetLastError());
  std::fflush(stdout);
  return 1;
}

void Line(const char* format, double ms) {
  std::printf(format, ms);
  std::fflush(stdout);
}

HWND WaitForWindow(const Clock& clock, LONGLONG start) {
  for (;;) {
    if (HWND window = FindWindowA(nullptr, kHostTitle)) return window;
    if (clock.MsSince(start) > kWindowTimeoutMs) return nullptr;
    Sleep(1);
  }
}

bool FileExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hidhost-timer.exe EXE CLOSE_FILE\n");
    return 2;
  }
  const Clock clock;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ProcessHandles process;

  const LONGLONG start = clock.Now();
  if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process.info)) {
    return Fail("CreateProcess");
  }
  std::printf("launched pid=%lu\n", process.info.dwProcessId);
  std::fflush(stdout);

  const HWND window = WaitForWindow(clock, start);
  if (window == nullptr) return Fail("no host window");
  Line("window ms=%.1f\n", clock.MsSince(start));

  // Answered only once the creation handler, and so the whole start-up, has returned.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kReadyTimeoutMs, &answer)) {
    return Fail("host window does not answer");
  }
  Line("ready ms=%.1f\n", clock.MsSince(start));

  while (!FileExists(argv[2])) Sleep(kClosePollMs);

  const LONGLONG closing = clock.Now();
  if (!PostMessageA(window, WM_CLOSE, 0, 0)) return Fail("PostMessage WM_CLOSE");
  if (WaitForSingleObject(process.info.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
    return Fail("host still running");
  }
  const double ms = clock.MsSince(closing);
  DWORD code = 0;
  GetExitCodeProcess(process.info.hProcess, &code);
  std::printf("exit ms=%.1f code=%lu\n", ms, code);
  std::fflush(stdout);
  return 0;
}
