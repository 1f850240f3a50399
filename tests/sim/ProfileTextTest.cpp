// The profile functions' reading and writing of INI text.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/ProfileText.h"

namespace hidhost::sim {
namespace {

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
