#include "device/EventDecoder.h"

#include "settings/ButtonLayout.h"

namespace hidhost::device {

namespace {

std::uint8_t ByteOf(std::uint32_t word, int byte) {
  return static_cast<std::uint8_t>(word >> (8 * byte));
}

}  // namespace

void EventDecoder::Decode(std::uint32_t word) {
  DecodeButtons(ByteOf(word, 0));
  DecodeDeviceState(ByteOf(word, 1));
  DecodeTilt(ByteOf(word, 2));
  previous_ = word;
}

void EventDecoder::DecodeButtons(std::uint8_t buttons) {
  const std::uint8_t before = ByteOf(previous_, 0);
  for (int bit = 0; bit < settings::kButtonCount; ++bit) {
    const bool wasDown = (before >> bit) & 1u;
    const bool isDown = (buttons >> bit) & 1u;
    if (!wasDown && isDown) sink_.OnButtonPress(bit);
    if (wasDown && !isDown) sink_.OnButtonRelease(bit);
  }
}

void EventDecoder::DecodeDeviceState(std::uint8_t state) {
  if (state == kDeviceArrived) sink_.OnDeviceArrived();
  if (state == kDeviceRemoved) sink_.OnDeviceRemoved();
}

void EventDecoder::DecodeTilt(std::uint8_t tilt) {
  if (tilt == kTiltRight) sink_.RunSingleShot(settings::kTiltRightIndex);
  if (tilt == kTiltLeft) sink_.RunSingleShot(settings::kTiltLeftIndex);
}

}  // namespace hidhost::device
