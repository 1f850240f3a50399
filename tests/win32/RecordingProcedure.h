// A window procedure that keeps every message it sees, in order, and
// otherwise behaves as the system's default.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace hidhost::platform::win32::checks {

class RecordingProcedure : public WindowProcedure {
 public:
  explicit RecordingProcedure(Windows& windows, bool refuseCreation = false)
      : windows_(windows), refuseCreation_(refuseCreation) {}

  LResult OnMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override {
    seen_.push_back({hwnd, message, wParam});
    if (message == kWmCreateMessage && refuseCreation_) return -1;
    return windows_.DefWindowProc(hwnd, message, wParam, lParam);
  }

  struct Seen {
    Hwnd hwnd;
    std::uint32_t message;
    WParam wParam;
  };
  const std::vector<Seen>& Messages() const { return seen_; }

  // The recorded messages that are in the given set, in order.
  std::vector<std::uint32_t> Only(const std::vector<std::uint32_t>& wanted) const {
    std::vector<std::uint32_t> kept;
    for (const Seen& seen : seen_) {
      for (std::uint32_t message : wanted) {
        if (seen.message == message) kept.push_back(message);
      }
    }
    return kept;
  }

 private:
  static constexpr std::uint32_t kWmCreateMessage = 0x0001;
  Windows& windows_;
  bool refuseCreation_;
  std::vector<Seen> seen_;
};

}  // namespace hidhost::platform::win32::checks
