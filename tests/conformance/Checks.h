// The conformance suite's harness: each check names its case and row, so a
// failure names both. A check may be marked as one Wine answers otherwise
// than Windows; under Wine it then reports the difference instead of failing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace hidhost::conformance {

class Checks {
 public:
  Checks(std::string_view name, bool onWine) : name_(name), onWine_(onWine) {}

  bool True(int row, std::string_view what, bool ok) { return Report(row, what, ok, {}); }

  template <typename A, typename B>
  bool Equal(int row, std::string_view what, const A& actual, const B& expected) {
    const bool ok = actual == expected;
    return Report(row, what, ok,
                  ok ? std::string() : Describe(actual) + ", expected " + Describe(expected));
  }

  // The next check holds on Windows but not on Wine, for this reason.
  Checks& KnownOnWine(std::string_view reason) {
    wineReason_ = reason;
    return *this;
  }

  bool OnWine() const { return onWine_; }
  int Failures() const { return failures_; }
  int WineDifferences() const { return wineDifferences_; }

 private:
  static std::string Describe(std::string_view text) { return '"' + std::string(text) + '"'; }
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

  bool Report(int row, std::string_view what, bool ok, const std::string& detail) {
    const std::string_view reason = std::exchange(wineReason_, {});
    const bool excused = !ok && onWine_ && !reason.empty();
    if (excused) {
      ++wineDifferences_;
    } else if (!ok) {
      ++failures_;
    }
    std::printf("%s %.*s %d: %.*s%s%s%s%.*s\n",
                ok        ? "ok  "
                : excused ? "wine"
                          : "FAIL",
                static_cast<int>(name_.size()), name_.data(), row, static_cast<int>(what.size()),
                what.data(), detail.empty() ? "" : ": got ", detail.c_str(),
                excused ? "; wine differs: " : "", excused ? static_cast<int>(reason.size()) : 0,
                reason.data());
    std::fflush(stdout);
    return ok;
  }

  std::string_view name_;
  bool onWine_;
  std::string_view wineReason_;
  int failures_ = 0;
  int wineDifferences_ = 0;
};

}  // namespace hidhost::conformance
