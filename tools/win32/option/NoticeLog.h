// What the window lets scripts see of it: its start, the host's device-ready
// notices and its close, one line each with the time in milliseconds.
#pragma once

#include <cstdio>
#include <string>

#include "Win32Ui.h"

namespace hidhost::option {

class NoticeLog {
 public:
  // Appends: the host may start the program again after a previous run.
  explicit NoticeLog(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}
  ~NoticeLog() {
    if (file_ != nullptr) std::fclose(file_);
  }
  NoticeLog(const NoticeLog&) = delete;
  NoticeLog& operator=(const NoticeLog&) = delete;

  void Write(const char* text, WPARAM wParam = 0, LPARAM lParam = 0) {
    if (file_ == nullptr) return;
    std::fprintf(file_, "%llu %s wParam=%llX lParam=%llX\n",
                 static_cast<unsigned long long>(GetTickCount64()), text,
                 static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
};

}  // namespace hidhost::option
