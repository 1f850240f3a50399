// One line per thing that happened, each stamped with the system's tick count
// so that lines from different processes can be put in order. Every line is
// flushed at once: the test runner reads the file while the emulator runs.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace hidhost::driver_emu {

class EventLog {
 public:
  // An empty path writes to standard output.
  explicit EventLog(const std::string& path);
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view line);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
};

// Eight upper-case hex digits of a 32-bit value.
std::string Hex32(unsigned long value);
// The four bytes of a little-endian value in memory order, as the driver sees them.
std::string BytesInMemoryOrder(unsigned long value);

}  // namespace hidhost::driver_emu
