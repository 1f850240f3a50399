// Turns each event word from the driver into button presses and releases,
// device arrival and removal, and wheel tilt.
//
// Word layout (little-endian): byte 0 the buttons down (bit i = button index
// i; bit 7 belongs to no button), byte 1 the device state (4 arrived,
// 8 removed), byte 2 the tilt (0x01 and 0xFF), byte 3 unused.
#pragma once

#include <cstdint>

namespace hidhost::device {

inline constexpr std::uint8_t kDeviceArrived = 4;
inline constexpr std::uint8_t kDeviceRemoved = 8;
inline constexpr std::uint8_t kTiltRight = 0x01;  // single shot of assignment 6
inline constexpr std::uint8_t kTiltLeft = 0xFF;   // single shot of assignment 5

class DeviceEventSink {
 public:
  virtual ~DeviceEventSink() = default;
  virtual void OnButtonPress(int index) = 0;
  virtual void OnButtonRelease(int index) = 0;
  virtual void RunSingleShot(int index) = 0;
  virtual void OnDeviceArrived() = 0;
  virtual void OnDeviceRemoved() = 0;
};

class EventDecoder {
 public:
  explicit EventDecoder(DeviceEventSink& sink) : sink_(sink) {}

  // Event thread only.
  void Decode(std::uint32_t word);
  std::uint32_t PreviousWord() const { return previous_; }

 private:
  void DecodeButtons(std::uint8_t buttons);
  void DecodeDeviceState(std::uint8_t state);
  void DecodeTilt(std::uint8_t tilt);

  DeviceEventSink& sink_;
  std::uint32_t previous_ = 0;  // event thread only; starts with no button down
};

}  // namespace hidhost::device
