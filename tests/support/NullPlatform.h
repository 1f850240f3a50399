// A platform that does the least it can: every call answers at once, records
// nothing and allocates nothing (GetModuleFileName's string aside), so that a
// benchmark on it measures the host's own code. Where the logic needs an
// answer to go on (a key that opens, a mutex that is taken, a view to copy
// into, the window under the cursor) it gets a fixed, plausible one.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "device/DriverChannel.h"
#include "platform/Constants.h"
#include "platform/FacetBases.h"
#include "platform/Platform.h"
#include "settings/MouseSettings.h"
#include "support/TreeWindows.h"

namespace hidhost::bench {

class NullInput final : public platform::QuietInput {
 public:
  void SetCursor(platform::Point p) { cursor_ = p; }
  bool GetCursorPos(platform::Point& out) override {
    out = cursor_;
    return true;
  }

 private:
  platform::Point cursor_{};
};

class NullWindows final : public TreeWindows {
 public:
  // Fixes WindowFromPoint's answer, so that finding the window under the
  // cursor in a tree of many siblings costs nothing (None: search the tree).
  void SetWindowUnderCursor(platform::Hwnd hwnd) { underCursor_ = hwnd; }

  std::uint32_t RegisterWindowMessage(std::string_view) override { return 0xC000; }
  platform::Hwnd WindowFromPoint(platform::Point screen) override {
    return platform::IsSet(underCursor_) ? underCursor_ : TreeWindows::WindowFromPoint(screen);
  }

 private:
  platform::Hwnd underCursor_ = platform::Hwnd::None;
};

// Every key opens and every value reads as the same short number.
class NullRegistry final : public platform::QuietRegistry {
 public:
  platform::RegKey OpenKey(platform::RegKey, std::string_view, std::uint32_t) override {
    return kKey;
  }
  platform::RegKey CreateKey(platform::RegKey, std::string_view) override { return kKey; }
  bool QueryValue(platform::RegKey, std::string_view, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override {
    constexpr std::string_view kValue = "10";
    if (buffer.size() < kValue.size()) return false;
    std::memcpy(buffer.data(), kValue.data(), kValue.size());
    if (type != nullptr) *type = platform::kRegSz;
    if (size != nullptr) *size = static_cast<std::uint32_t>(kValue.size());
    return true;
  }

 private:
  static constexpr platform::RegKey kKey = static_cast<platform::RegKey>(0x100);
};

// config.ini exists and every key in it is missing: the reader takes every
// fallback, which is the whole of its work without the file system's.
class NullProfileFiles final : public platform::QuietProfileFiles {
 public:
  platform::Handle CreateFile(std::string_view, std::uint32_t, std::uint32_t,
                              std::uint32_t) override {
    return static_cast<platform::Handle>(0x200);
  }
  std::string GetModuleFileName() override { return "C:\\HidHost\\HidHost.exe"; }
};

// Named objects that are always created fresh, waits that always succeed,
// and one 116-byte block behind every mapping.
class NullKernel final : public platform::QuietKernel {
 public:
  platform::CreatedMutex CreateMutex(std::string_view) override { return {kObject, false}; }
  platform::Handle CreateSemaphore(std::int32_t, std::int32_t) override { return kObject; }
  platform::Handle CreateEvent(bool, bool) override { return kObject; }
  platform::Handle CreateFileMapping(std::string_view, std::uint32_t) override { return kObject; }
  void* MapViewOfFile(platform::Handle, std::uint32_t) override { return block_.data(); }

 private:
  static constexpr platform::Handle kObject = static_cast<platform::Handle>(0x300);
  alignas(8) std::array<std::uint8_t, settings::kMouseSettingsSize> block_{};
};

// A device that opens, accepts every request and answers each read with the
// next word of a stream, round and round.
class NullDriver final : public platform::QuietDriverDevice {
 public:
  void SetStream(std::span<const std::uint32_t> words) {
    words_ = words;
    next_ = 0;
  }

  platform::Handle Open(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) override {
    return static_cast<platform::Handle>(0x400);
  }
  bool IoControl(platform::Handle, std::uint32_t code, const void*, std::uint32_t, void* out,
                 std::uint32_t outSize) override {
    if (code != contracts::kIoctlReadEvent || words_.empty() || outSize < sizeof(std::uint32_t))
      return true;
    std::memcpy(out, &words_[next_], sizeof(std::uint32_t));
    next_ = next_ + 1 == words_.size() ? 0 : next_ + 1;
    return true;
  }

 private:
  std::span<const std::uint32_t> words_;
  std::size_t next_ = 0;
};

class NullPlatform {
 public:
  NullPlatform() = default;
  NullPlatform(const NullPlatform&) = delete;
  NullPlatform& operator=(const NullPlatform&) = delete;

  platform::Platform& Get() { return platform_; }
  NullInput& Input() { return input_; }
  NullWindows& Windows() { return windows_; }
  NullKernel& Kernel() { return kernel_; }
  NullDriver& Driver() { return driver_; }

 private:
  NullInput input_;
  NullWindows windows_;
  platform::QuietTimers timers_;
  NullRegistry registry_;
  NullProfileFiles profile_;
  NullKernel kernel_;
  platform::QuietShell shell_;
  NullDriver driver_;
  platform::Platform platform_{input_,   windows_, timers_, registry_,
                               profile_, kernel_,  shell_,  driver_};
};

}  // namespace hidhost::bench
