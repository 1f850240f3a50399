// One line per thing that happened, each stamped with the system's tick count
// so that lines from different processes can be put in order. Every line is
// flushed at once: the test runner reads the file while the emulator runs.
// A latency measurement also wants each line's performance-counter value,
// which processes on one machine share and which resolves far below a tick.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace hidhost::driver_emu {

class EventLog {
 public:
  // An empty path writes to standard output. With `stampCounter` every line
  // ends in " qpc=N", the performance counter when it was written.
  explicit EventLog(const std::string& path, bool stampCounter = false);
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view line);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
  bool stampCounter_ = false;
};

// Eight upper-case hex digits of a 32-bit value.
std::string Hex32(unsigned long value);
// The four bytes of a little-endian value in memory order, as the driver sees them.
std::string BytesInMemoryOrder(unsigned long value);

}  // namespace hidhost::driver_emu
