// A window procedure that keeps every message it sees, in order, with the
// thread it saw it on, and otherwise behaves as the system's default.
#pragma once

#include <cstdint>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace hidhost::conformance {

class RecordingProcedure : public platform::WindowProcedure {
 public:
  explicit RecordingProcedure(platform::Windows& windows, bool refuseCreation = false)
      : windows_(windows), refuseCreation_(refuseCreation) {}

  platform::LResult OnMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                              platform::LParam lParam) override {
    seen_.push_back({hwnd, message, wParam, std::this_thread::get_id()});
    if (message == kWmCreate && refuseCreation_) return -1;
    if (message == answeredMessage) return answer;
    return windows_.DefWindowProc(hwnd, message, wParam, lParam);
  }

  struct Seen {
    platform::Hwnd hwnd;
    std::uint32_t message;
    platform::WParam wParam;
    std::thread::id thread;
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
  const Seen* Find(std::uint32_t message, platform::WParam wParam) const {
    for (const Seen& seen : seen_) {
      if (seen.message == message && seen.wParam == wParam) return &seen;
    }
    return nullptr;
  }
  bool SawRegisteredMessage() const {
    for (const Seen& seen : seen_) {
      if (seen.message >= 0xC000 && seen.message <= 0xFFFF) return true;
    }
    return false;
  }

  std::uint32_t answeredMessage = 0;  // answered with `answer`, not the default
  platform::LResult answer = 0;

 private:
  static constexpr std::uint32_t kWmCreate = 0x0001;
  platform::Windows& windows_;
  bool refuseCreation_;
  std::vector<Seen> seen_;
};

}  // namespace hidhost::conformance
