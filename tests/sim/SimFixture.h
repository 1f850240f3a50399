// A fresh simulated desktop with one process, and a window procedure that
// remembers what it received.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::sim::testing {

struct ReceivedMessage {
  platform::Hwnd hwnd;
  std::uint32_t message;
  platform::WParam wParam;
  platform::LParam lParam;
};

class RecordingProcedure : public platform::WindowProcedure {
 public:
  explicit RecordingProcedure(platform::Windows& windows) : windows_(windows) {}

  platform::LResult OnMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                              platform::LParam lParam) override {
    received.push_back({hwnd, message, wParam, lParam});
    return windows_.DefWindowProc(hwnd, message, wParam, lParam);
  }

  std::vector<ReceivedMessage> received;

 private:
  platform::Windows& windows_;
};

struct SimFixture {
  SimDesktop desktop;
  SimProcess& process = desktop.StartProcess();
  platform::Platform& platform = process.Platform();

  platform::Hwnd CreateWindow(RecordingProcedure& procedure) {
    platform::WindowAttributes attributes;
    attributes.title = "Test";
    attributes.style = platform::kWsPopup;
    attributes.x = 100;
    attributes.y = 100;
    attributes.width = 100;
    attributes.height = 100;
    return platform.windows.CreateFrameworkWindow(attributes, procedure);
  }
};

}  // namespace hidhost::sim::testing
