#include <gtest/gtest.h>

#include <array>

#include "settings/LeadingDecimal.h"

namespace hidhost::settings {
namespace {

struct DecimalRow {
  const char* text;
  std::int32_t value;
};

constexpr std::array<DecimalRow, 12> kDecimalRows = {{
    {"500", 500},                                // 1
    {"", 0},                                     // 2
    {"abc", 0},                                  // 3
    {"  \t\n42", 42},                            // 4
    {"-1", -1},                                  // 5
    {"+7x", 7},                                  // 6
    {"12 34", 12},                               // 7
    {"- 5", 0},                                  // 8: the sign must touch the digits
    {"2147483647", 2147483647},                  // 9
    {"2147483648", 2147483647},                  // 10: saturates
    {"-2147483648", -2147483647 - 1},            // 11
    {"-99999999999999999999", -2147483647 - 1},  // 12
}};

TEST(LeadingDecimal, ReadsAsAtoi) {
  for (std::size_t i = 0; i < kDecimalRows.size(); ++i) {
    EXPECT_EQ(LeadingDecimal(kDecimalRows[i].text), kDecimalRows[i].value) << "row " << i + 1;
  }
}

}  // namespace
}  // namespace hidhost::settings
