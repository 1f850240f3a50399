// The profile functions' reading and writing of INI text.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "platform/sim/ProfileText.h"

namespace hidhost::sim {
namespace {

struct IntRow {
  std::optional<std::string> value;
  std::int32_t fallback;
  std::uint32_t expected;
};

TEST(ProfileInt, ParsesAsTheSystemDoes) {
  const IntRow rows[] = {
      {"12", -1, 12},                   // 1
      {"-1", 5, 0xFFFFFFFFu},           // 2
      {"0x10", 0, 16},                  // 3
      {"12abc", 0, 12},                 // 4 digits up to the first other character
      {"abc", 7, 0},                    // 5 present but not a number: 0, not the fallback
      {"", 7, 7},                       // 6 an empty value falls back
      {std::nullopt, -1, 0xFFFFFFFFu},  // 7 missing
      {"\"7\"", 0, 7},                  // 8 surrounding quotes go
      {"+5", 0, 5},                     // 9
      {"0b101", 0, 5},                  // 10
      {"4294967297", 0, 1},             // 11 wraps as a 32-bit number
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(ProfileInt(rows[i].value, rows[i].fallback), rows[i].expected) << "row " << i + 1;
  }
}

TEST(ProfileValue, FindsKeysWithoutRegardToCaseInTheFirstMatchingSection) {
  const std::string text =
      "Top=1\r\n[setting]\r\n  HScrollWheelSpeed =  5  \r\nBare\r\n; Device=9\r\n"
      "[Other]\r\nDevice=2\r\n[Setting]\r\nDevice=3\r\n";
  EXPECT_EQ(ProfileValue(text, "Setting", "hscrollwheelspeed"), "5");
  EXPECT_EQ(ProfileValue(text, "SETTING", "Bare"), "");
  EXPECT_EQ(ProfileValue(text, "Setting", "Device"), std::nullopt)
      << "a later section of the same name is not looked at";
  EXPECT_EQ(ProfileValue(text, "Setting", "Top"), std::nullopt);
  EXPECT_EQ(ProfileValue(text, "Other", "Device"), "2");
}

struct StructRow {
  std::optional<std::string> value;
  bool ok;
  std::array<std::uint8_t, 4> bytes;  // what the buffer holds afterwards
};

TEST(ProfileStruct, NeedsTwoDigitsPerByteAndTheChecksum) {
  constexpr std::array<std::uint8_t, 4> kUntouched = {0xAA, 0xAA, 0xAA, 0xAA};
  const StructRow rows[] = {
      {"0101000002", true, {1, 1, 0, 0}},              // 1
      {"040C000010", true, {4, 12, 0, 0}},             // 2
      {"040c000010", true, {4, 12, 0, 0}},             // 3 lowercase digits
      {"0101000003", false, {1, 1, 0, 0}},             // 4 wrong checksum: decoded all the same
      {"010100000", false, kUntouched},                // 5 one digit short
      {"01010000020", false, kUntouched},              // 6 one digit long
      {"0101000G02", false, kUntouched},               // 7 not hexadecimal
      {std::nullopt, false, kUntouched},               // 8 missing
      {"FFFFFFFFFC", true, {0xFF, 0xFF, 0xFF, 0xFF}},  // 9 the checksum keeps the low byte
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    std::array<std::uint8_t, 4> buffer = kUntouched;
    EXPECT_EQ(ProfileStruct(rows[i].value, buffer), rows[i].ok) << "row " << i + 1;
    EXPECT_EQ(buffer, rows[i].bytes) << "row " << i + 1;
  }
}

struct WriteRow {
  std::string before;
  std::string after;
};

TEST(ProfileWithValue, ChangesOnlyTheKeyItWrites) {
  const WriteRow rows[] = {
      // 1 the key's line is rewritten, everything else kept byte for byte
      {"; top\n[Setting]\r\n device = 0 \r\nOther=1\n\n[X]\r\n",
       "; top\n[Setting]\r\ndevice=1\r\nOther=1\n\n[X]\r\n"},
      // 2 a new key goes after the section's last line, before blank lines
      {"[Setting]\r\nA=1\r\n\r\n[X]\r\nB=2\r\n",
       "[Setting]\r\nA=1\r\nDevice=1\r\n\r\n[X]\r\nB=2\r\n"},
      // 3 a missing section is added at the end
      {"[X]\r\nB=2", "[X]\r\nB=2\r\n[Setting]\r\nDevice=1\r\n"},
      // 4 a new file
      {"", "[Setting]\r\nDevice=1\r\n"},
      // 5 a section header on the last line without an ending
      {"[Setting]", "[Setting]\r\nDevice=1\r\n"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(ProfileWithValue(rows[i].before, "Setting", "Device", "1"), rows[i].after)
        << "row " << i + 1;
  }
}

}  // namespace
}  // namespace hidhost::sim
