#include <gtest/gtest.h>

#include <cstdint>

#include "actions/KeyCombination.h"
#include "actions/KeyUsageTable.h"

namespace hidhost::actions {
namespace {

constexpr std::uint32_t kMarker = 0xDEADBEEF;

TEST(KeyUsageTable, lookup_givesTheStoredKey) {
  const struct {
    int row;
    std::uint32_t usage;
    std::uint32_t vk;
  } rows[] = {
      {1, 4, 0x41},    {2, 29, 0x5A},   {3, 30, 0x31},   {4, 38, 0x39},   {5, 39, 0x30},
      {6, 40, 0x0D},   {7, 44, 0x20},   {8, 45, 0xBD},   {9, 49, 0xDC},   {10, 51, 0xBA},
      {11, 56, 0xBF},  {12, 57, 0x14},  {13, 58, 0x70},  {14, 69, 0x7B},  {15, 70, 0x2C},
      {16, 71, 0x91},  {17, 72, 0x13},  {18, 78, 0x22},  {19, 82, 0x26},  {20, 83, 0x90},
      {21, 87, 0x6B},  {22, 88, 0x0D},  {23, 89, 0x61},  {24, 93, 0x65},  {25, 94, 0x66},
      {26, 95, 0x67},  {27, 98, 0x60},  {28, 99, 0x6E},  {29, 101, 0x5D}, {30, 224, 0xA2},
      {31, 225, 0xA0}, {32, 226, 0xA4}, {33, 227, 0x5B}, {34, 228, 0xA3}, {35, 229, 0xA1},
      {36, 230, 0xA5}, {37, 231, 0x5C}, {38, 240, 0xF0}, {39, 244, 0xF4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    std::uint32_t vk = kMarker;
    EXPECT_TRUE(VirtualKeyFromUsage(row.usage, vk));
    EXPECT_EQ(vk, row.vk);
  }
}

TEST(KeyUsageTable, usagesWithoutARow_reportFailureAndLeaveTheKeyAlone) {
  for (std::uint32_t usage :
       {0u, 3u, 50u, 100u, 102u, 223u, 232u, 239u, 245u, 255u, 256u, 0x104u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(usage);
    std::uint32_t vk = kMarker;
    EXPECT_FALSE(VirtualKeyFromUsage(usage, vk));
    EXPECT_EQ(vk, kMarker);
  }
}

TEST(KeyUsageTable, rows_areTheFullSetInStoredOrder) {
  ASSERT_EQ(kKeyUsageTable.size(), 109u);
  int found = 0;
  std::size_t at94 = 0;
  std::size_t at95 = 0;
  for (std::size_t i = 0; i < kKeyUsageTable.size(); ++i) {
    if (kKeyUsageTable[i].usage == 94) at94 = i;
    if (kKeyUsageTable[i].usage == 95) at95 = i;
  }
  for (std::uint32_t usage = 0; usage < 256; ++usage) {
    std::uint32_t vk = 0;
    found += VirtualKeyFromUsage(usage, vk) ? 1 : 0;
  }
  EXPECT_EQ(found, 109);  // every row reachable: no usage stored twice
  for (const KeyUsageRow& row : kKeyUsageTable) {
    SCOPED_TRACE(::testing::Message() << "usage " << row.usage);
    // Keypad Enter alone needs the extended flag to be told from Enter.
    EXPECT_EQ(row.keyFlags, row.usage == 88 ? 1u : 0u);
  }
  EXPECT_EQ(at95 + 1, at94);
  EXPECT_EQ(kKeyUsageTable.front().usage, 4u);
  EXPECT_EQ(kKeyUsageTable.back().usage, 244u);
}

}  // namespace
}  // namespace hidhost::actions
