#include "device/EventDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hidhost::device {
namespace {

class RecordingSink : public DeviceEventSink {
 public:
  void OnButtonPress(int index) override { calls.push_back("press " + std::to_string(index)); }
  void OnButtonRelease(int index) override {
    calls.push_back("release " + std::to_string(index));
  }
  void RunSingleShot(int index) override { calls.push_back("shot " + std::to_string(index)); }
  void OnDeviceArrived() override { calls.push_back("arrived"); }
  void OnDeviceRemoved() override { calls.push_back("removed"); }
  std::vector<std::string> calls;
};

struct DecodeCase {
  int row;
  const char* what;
  std::vector<std::uint32_t> words;
  std::vector<std::string> expected;
};

class EventDecoderTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(EventDecoderTable, Decode_WordSequence_CallsSinkInOrder) {
  const DecodeCase& c = GetParam();
  RecordingSink sink;
  EventDecoder decoder(sink);
  for (std::uint32_t word : c.words) decoder.Decode(word);
  EXPECT_EQ(sink.calls, c.expected) << "row " << c.row << ": " << c.what;
  EXPECT_EQ(decoder.PreviousWord(), c.words.back()) << "row " << c.row;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EventDecoderTable,
    ::testing::Values(
        DecodeCase{1, "first word is compared with no button down", {0x05}, {"press 0", "press 2"}},
        DecodeCase{2, "press then release", {0x08, 0x00}, {"press 3", "release 3"}},
        DecodeCase{3, "release before press in one word (ascending bits)",
                   {0x01, 0x02},
                   {"press 0", "release 0", "press 1"}},
        DecodeCase{4, "unchanged buttons give nothing", {0x10, 0x10}, {"press 4"}},
        DecodeCase{5, "repeated tilt right shoots assignment 6 each time",
                   {0x010000, 0x010000},
                   {"shot 6", "shot 6"}},
        DecodeCase{6, "tilt left shoots assignment 5", {0xFF0000}, {"shot 5"}},
        DecodeCase{7, "other tilt values do nothing", {0x020000, 0xFE0000}, {}},
        DecodeCase{8, "device state repeated acts every time",
                   {0x0400, 0x0400, 0x0800},
                   {"arrived", "arrived", "removed"}},
        DecodeCase{9, "other device states do nothing", {0x0100, 0x0C00}, {}},
        DecodeCase{10, "bit 7 is stored but causes no action", {0x80, 0x81, 0x01}, {"press 0"}},
        DecodeCase{11, "removal releases nothing by itself",
                   {0x03, 0x0803, 0x0400},
                   {"press 0", "press 1", "removed", "release 0", "release 1", "arrived"}},
        DecodeCase{12, "buttons, then device state, then tilt",
                   {0xFF0420},
                   {"press 5", "arrived", "shot 5"}},
        DecodeCase{13, "byte 3 is ignored", {0xFF000000}, {}},
        DecodeCase{14, "bit 5 release runs the release half",
                   {0x20, 0x00},
                   {"press 5", "release 5"}}));

}  // namespace
}  // namespace hidhost::device
