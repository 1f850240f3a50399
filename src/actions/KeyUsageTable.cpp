#include "actions/KeyUsageTable.h"

#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

// Filled run by run at compile time, with room to spare so that a miscounted
// run shows up as a wrong row count rather than as an overrun.
struct TableBuilder {
  std::array<KeyUsageRow, kKeyUsageRowCount + 32> rows{};
  std::size_t count = 0;

  constexpr void Row(std::uint32_t usage, std::uint32_t key, std::uint32_t flags = 0) {
    rows[count++] = {key, usage, flags};
  }
  // Usages and key codes that run up together.
  constexpr void Run(std::uint32_t firstUsage, std::uint32_t lastUsage, std::uint32_t firstKey) {
    for (std::uint32_t usage = firstUsage; usage <= lastUsage; ++usage) {
      Row(usage, firstKey + (usage - firstUsage));
    }
  }
};

constexpr TableBuilder BuildTable() {
  TableBuilder t;
  t.Run(4, 29, 0x41);   // a..z
  t.Run(30, 38, 0x31);  // 1..9
  t.Row(39, 0x30);      // 0
  t.Row(40, 0x0D);
  t.Row(41, 0x1B);
  t.Row(42, 0x08);
  t.Row(43, 0x09);
  t.Row(44, 0x20);
  t.Row(45, 0xBD);
  t.Row(46, 0xBB);
  t.Row(47, 0xDB);
  t.Row(48, 0xDD);
  t.Row(49, 0xDC);
  // 50 (non-US #) has no row: the configuration program never offers it.
  t.Row(51, 0xBA);
  t.Row(52, 0xDE);
  t.Row(53, 0xC0);
  t.Row(54, 0xBC);
  t.Row(55, 0xBE);
  t.Row(56, 0xBF);
  t.Row(57, 0x14);
  t.Run(58, 69, 0x70);  // F1..F12
  t.Row(70, 0x2C);      // VK_SNAPSHOT: VK_PRINT (0x2A) has no key on any keyboard
  t.Row(71, 0x91);
  t.Row(72, 0x13);
  t.Row(73, 0x2D);
  t.Row(74, 0x24);
  t.Row(75, 0x21);
  t.Row(76, 0x2E);
  t.Row(77, 0x23);
  t.Row(78, 0x22);
  t.Row(79, 0x27);
  t.Row(80, 0x25);
  t.Row(81, 0x28);
  t.Row(82, 0x26);
  t.Row(83, 0x90);
  t.Row(84, 0x6F);
  t.Row(85, 0x6A);
  t.Row(86, 0x6D);
  t.Row(87, 0x6B);
  t.Row(88, 0x0D, platform::kKeyExtended);  // keypad Enter: VK_SEPARATOR types nothing
  t.Run(89, 93, 0x61);                      // keypad 1..5
  t.Row(95, 0x67);                          // 7 is stored ahead of 6
  t.Row(94, 0x66);
  t.Row(96, 0x68);
  t.Row(97, 0x69);
  t.Row(98, 0x60);
  t.Row(99, 0x6E);
  t.Row(101, 0x5D);
  t.Row(224, 0xA2);
  t.Row(225, 0xA0);
  t.Row(226, 0xA4);
  t.Row(227, 0x5B);
  t.Row(228, 0xA3);
  t.Row(229, 0xA1);
  t.Row(230, 0xA5);
  t.Row(231, 0x5C);
  t.Run(240, 244, 0xF0);
  return t;
}

constexpr TableBuilder kBuilt = BuildTable();
static_assert(kBuilt.count == kKeyUsageRowCount);

constexpr bool UsagesAreUnique() {
  for (std::size_t i = 0; i < kBuilt.count; ++i) {
    for (std::size_t j = i + 1; j < kBuilt.count; ++j) {
      if (kBuilt.rows[i].usage == kBuilt.rows[j].usage) return false;
    }
  }
  return true;
}
static_assert(UsagesAreUnique());

constexpr std::array<KeyUsageRow, kKeyUsageRowCount> Trimmed() {
  std::array<KeyUsageRow, kKeyUsageRowCount> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = kBuilt.rows[i];
  return rows;
}

}  // namespace

const std::array<KeyUsageRow, kKeyUsageRowCount> kKeyUsageTable = Trimmed();

}  // namespace hidhost::actions
