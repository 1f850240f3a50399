// What the Wine test programs share: owned handles, a line log that the test
// runner can read while the program runs, and a message loop that ends when
// the runner signals a named event.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace hidhost::wine_tests {

// Named events by which the runner ends the long-running programs.
inline constexpr const char* kRecorderStopEvent = "HidHostWineRecorderStop";
inline constexpr const char* kTargetsStopEvent = "HidHostWineTargetsStop";
// Posted by the agent to a target window; the target logs "marker N" with
// wParam N. Messages posted earlier to the same window have all been logged
// by then.
inline constexpr UINT kMarkerMessage = WM_APP + 1;

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using OwnedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct HookRemover {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using OwnedHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookRemover>;

// The performance counter now: shared by the processes of one machine, so a
// latency can be taken between a line of one program and a line of another.
inline long long CounterNow() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// Lines "<tick> <text>", flushed one by one; with `stampCounter` each ends in
// " qpc=N" (CounterNow when it was written).
class LineLog {
 public:
  explicit LineLog(const std::string& path, bool stampCounter = false)
      : file_(path.empty() ? stdout : std::fopen(path.c_str(), "wb")),
        owns_(!path.empty()),
        stampCounter_(stampCounter) {}
  ~LineLog() {
    if (owns_ && file_ != nullptr) std::fclose(file_);
  }
  LineLog(const LineLog&) = delete;
  LineLog& operator=(const LineLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view line) {
    if (file_ == nullptr) return;
    std::fprintf(file_, "%llu %.*s", static_cast<unsigned long long>(GetTickCount64()),
                 static_cast<int>(line.size()), line.data());
    if (stampCounter_) std::fprintf(file_, " qpc=%lld", CounterNow());
    std::fputc('\n', file_);
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
  bool owns_;
  bool stampCounter_;
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Decimal, or hex with 0x.
std::optional<std::int64_t> ParseNumber(std::string_view text);

// Pumps the thread's messages until `stop` is signalled or WM_QUIT arrives.
void PumpUntil(HANDLE stop);

// The value of "--name VALUE" among the arguments, or the fallback.
std::string OptionValue(int argc, char** argv, std::string_view name, std::string fallback = {});
bool HasFlag(int argc, char** argv, std::string_view name);

// A command's words, as the scripts join them with '|'.
using Words = std::vector<std::string>;
Words Split(const std::string& text);

}  // namespace hidhost::wine_tests
