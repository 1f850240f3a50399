// A small harness for checks of the Win32 backend against the real system
// (or Wine): each check names its group and row, so a failure names both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

namespace hidhost::platform::win32::checks {

class Checks {
 public:
  explicit Checks(std::string_view group) : group_(group) {}

  bool True(int row, std::string_view what, bool ok) {
    Report(row, what, ok, {});
    return ok;
  }

  template <typename A, typename B>
  bool Equal(int row, std::string_view what, const A& actual, const B& expected) {
    const bool ok = actual == expected;
    Report(row, what, ok,
           ok ? std::string() : Describe(actual) + ", expected " + Describe(expected));
    return ok;
  }

  int Failures() const { return failures_; }

 private:
  static std::string Describe(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
  }
  static std::string Describe(const std::string& text) { return Describe(std::string_view(text)); }
  static std::string Describe(const char* text) { return Describe(std::string_view(text)); }
  template <typename T>
  static std::string Describe(const T& value) {
    if constexpr (std::is_enum_v<T>) {
      return std::to_string(static_cast<std::uintmax_t>(value));
    } else {
      return std::to_string(value);
    }
  }

  void Report(int row, std::string_view what, bool ok, const std::string& detail) {
    if (!ok) ++failures_;
    std::printf("%s %.*s %d: %.*s%s%s\n", ok ? "ok  " : "FAIL", static_cast<int>(group_.size()),
                group_.data(), row, static_cast<int>(what.size()), what.data(),
                detail.empty() ? "" : ": got ", detail.c_str());
    std::fflush(stdout);
  }

  std::string_view group_;
  int failures_ = 0;
};

// Each group of checks; the result is its number of failures.
int CheckWindows();
int CheckTimers();
int CheckKernel();
int CheckRegistryAndFiles();
int CheckInputSettings();
int CheckShellStrings();
int CheckDriverDevice();

}  // namespace hidhost::platform::win32::checks
