#include "EventLog.h"

#include <windows.h>

namespace hidhost::driver_emu {

EventLog::EventLog(const std::string& path, bool stampCounter) : stampCounter_(stampCounter) {
  if (path.empty()) {
    file_ = stdout;
  } else {
    file_ = std::fopen(path.c_str(), "wb");
    ownsFile_ = true;
  }
}

EventLog::~EventLog() {
  if (ownsFile_ && file_ != nullptr) std::fclose(file_);
}

void EventLog::Write(std::string_view line) {
  std::lock_guard lock(mutex_);
  if (file_ == nullptr) return;
  std::fprintf(file_, "%llu %.*s", static_cast<unsigned long long>(GetTickCount64()),
               static_cast<int>(line.size()), line.data());
  if (stampCounter_) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    std::fprintf(file_, " qpc=%lld", static_cast<long long>(counter.QuadPart));
  }
  std::fputc('\n', file_);
  std::fflush(file_);
}

std::string Hex32(unsigned long value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08lX", value & 0xFFFFFFFFul);
  return text;
}

std::string BytesInMemoryOrder(unsigned long value) {
  char text[9];
  std::snprintf(text, sizeof text, "%02lX%02lX%02lX%02lX", value & 0xFF, (value >> 8) & 0xFF,
                (value >> 16) & 0xFF, (value >> 24) & 0xFF);
  return text;
}

}  // namespace hidhost::driver_emu
