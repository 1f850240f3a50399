// What happens when the host crashes: an unhandled exception on any thread
// first lets the host give back what it holds (keys, buttons, the driver's
// mask, the icon), then leaves a minidump in %LOCALAPPDATA%\HidHost\crashes
// (the newest five are kept) and lets the process end with the exception's
// code.
#pragma once

#include <array>
#include <cstddef>

namespace hidhost::platform::win32 {

// Runs on the crashing thread, whatever it was doing: it may take no lock
// that thread could hold.
class CrashResponse {
 public:
  virtual void LetGo() noexcept = 0;

 protected:
  ~CrashResponse() = default;
};

// Installs the process's unhandled-exception filter for its own lifetime; one
// at a time.
class CrashFilter {
 public:
  explicit CrashFilter(CrashResponse& response);
  ~CrashFilter();
  CrashFilter(const CrashFilter&) = delete;
  CrashFilter& operator=(const CrashFilter&) = delete;

  // The filter's work; public for the system's callback alone.
  void Respond(void* exceptionPointers) noexcept;

  static constexpr std::size_t kDumpsKept = 5;

 private:
  void WriteDump(void* exceptionPointers) noexcept;
  void KeepNewestDumps() noexcept;

  CrashResponse& response_;
  // Found at start, so that the crash itself needs no environment or shell call.
  std::array<wchar_t, 512> folder_{};  // ...\HidHost\crashes, empty when unknown
  std::array<wchar_t, 512> parent_{};  // ...\HidHost
};

}  // namespace hidhost::platform::win32
