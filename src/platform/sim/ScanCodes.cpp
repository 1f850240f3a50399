#include "platform/sim/ScanCodes.h"

#include <array>
#include <utility>

namespace hidhost::sim {

namespace {

struct KeyRow {
  std::uint8_t vk;
  std::uint8_t scan;
};

// Built from the layout's scan-code tables (plain, then E0-prefixed); where
// two scan codes give one virtual key (the generic modifiers, Home on the
// keypad and on its own key), the system answers with the one it meets first.
// VK_PAUSE has no row: the layout knows Pause only as the E1-prefixed 1D, and
// this mapping has no way to say E1 (only MAPVK_VK_TO_VSC_EX does), so the
// system answers 0. The 0x45 that a physical Pause shows in a key message's
// lParam is Num Lock's code, put there by the keyboard driver, not the layout.
constexpr KeyRow kUsLayout[] = {
    {0x03, 0x46},  // VK_CANCEL (Ctrl+Break)
    {0x08, 0x0E},  // VK_BACK
    {0x09, 0x0F},  // VK_TAB
    {0x0C, 0x4C},  // VK_CLEAR
    {0x0D, 0x1C},  // VK_RETURN
    {0x10, 0x2A},  // VK_SHIFT
    {0x11, 0x1D},  // VK_CONTROL
    {0x12, 0x38},  // VK_MENU
    {0x14, 0x3A},  // VK_CAPITAL
    {0x1B, 0x01},  // VK_ESCAPE
    {0x20, 0x39},  // VK_SPACE
    {0x21, 0x49},  // VK_PRIOR
    {0x22, 0x51},  // VK_NEXT
    {0x23, 0x4F},  // VK_END
    {0x24, 0x47},  // VK_HOME
    {0x25, 0x4B},  // VK_LEFT
    {0x26, 0x48},  // VK_UP
    {0x27, 0x4D},  // VK_RIGHT
    {0x28, 0x50},  // VK_DOWN
    {0x2C, 0x54},  // VK_SNAPSHOT
    {0x2D, 0x52},  // VK_INSERT
    {0x2E, 0x53},  // VK_DELETE
    {0x2F, 0x63},  // VK_HELP
    {0x30, 0x0B},  // '0'
    {0x31, 0x02}, {0x32, 0x03}, {0x33, 0x04}, {0x34, 0x05}, {0x35, 0x06},
    {0x36, 0x07}, {0x37, 0x08}, {0x38, 0x09}, {0x39, 0x0A},                // '1'..'9'
    {0x41, 0x1E},                                                          // A
    {0x42, 0x30},                                                          // B
    {0x43, 0x2E},                                                          // C
    {0x44, 0x20},                                                          // D
    {0x45, 0x12},                                                          // E
    {0x46, 0x21},                                                          // F
    {0x47, 0x22},                                                          // G
    {0x48, 0x23},                                                          // H
    {0x49, 0x17},                                                          // I
    {0x4A, 0x24},                                                          // J
    {0x4B, 0x25},                                                          // K
    {0x4C, 0x26},                                                          // L
    {0x4D, 0x32},                                                          // M
    {0x4E, 0x31},                                                          // N
    {0x4F, 0x18},                                                          // O
    {0x50, 0x19},                                                          // P
    {0x51, 0x10},                                                          // Q
    {0x52, 0x13},                                                          // R
    {0x53, 0x1F},                                                          // S
    {0x54, 0x14},                                                          // T
    {0x55, 0x16},                                                          // U
    {0x56, 0x2F},                                                          // V
    {0x57, 0x11},                                                          // W
    {0x58, 0x2D},                                                          // X
    {0x59, 0x15},                                                          // Y
    {0x5A, 0x2C},                                                          // Z
    {0x5B, 0x5B},                                                          // VK_LWIN
    {0x5C, 0x5C},                                                          // VK_RWIN
    {0x5D, 0x5D},                                                          // VK_APPS
    {0x5F, 0x5F},                                                          // VK_SLEEP
    {0x60, 0x52},                                                          // VK_NUMPAD0
    {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51},                              // VK_NUMPAD1..3
    {0x64, 0x4B}, {0x65, 0x4C}, {0x66, 0x4D},                              // VK_NUMPAD4..6
    {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49},                              // VK_NUMPAD7..9
    {0x6A, 0x37},                                                          // VK_MULTIPLY
    {0x6B, 0x4E},                                                          // VK_ADD
    {0x6D, 0x4A},                                                          // VK_SUBTRACT
    {0x6E, 0x53},                                                          // VK_DECIMAL
    {0x6F, 0x35},                                                          // VK_DIVIDE
    {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F},  // F1..F5
    {0x75, 0x40}, {0x76, 0x41}, {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44},  // F6..F10
    {0x7A, 0x57}, {0x7B, 0x58},                                            // F11, F12
    {0x7C, 0x64}, {0x7D, 0x65}, {0x7E, 0x66}, {0x7F, 0x67}, {0x80, 0x68},  // F13..F17
    {0x81, 0x69}, {0x82, 0x6A}, {0x83, 0x6B}, {0x84, 0x6C}, {0x85, 0x6D},  // F18..F22
    {0x86, 0x6E}, {0x87, 0x76},                                            // F23, F24
    {0x90, 0x45},                                                          // VK_NUMLOCK
    {0x91, 0x46},                                                          // VK_SCROLL
    {0xA0, 0x2A},                                                          // VK_LSHIFT
    {0xA1, 0x36},                                                          // VK_RSHIFT
    {0xA2, 0x1D},                                                          // VK_LCONTROL
    {0xA3, 0x1D},                                                          // VK_RCONTROL
    {0xA4, 0x38},                                                          // VK_LMENU
    {0xA5, 0x38},                                                          // VK_RMENU
    {0xA6, 0x6A},                                                          // VK_BROWSER_BACK
    {0xA7, 0x69},                                                          // VK_BROWSER_FORWARD
    {0xA8, 0x67},                                                          // VK_BROWSER_REFRESH
    {0xA9, 0x68},                                                          // VK_BROWSER_STOP
    {0xAA, 0x65},                                                          // VK_BROWSER_SEARCH
    {0xAB, 0x66},                                                          // VK_BROWSER_FAVORITES
    {0xAC, 0x32},                                                          // VK_BROWSER_HOME
    {0xAD, 0x20},                                                          // VK_VOLUME_MUTE
    {0xAE, 0x2E},                                                          // VK_VOLUME_DOWN
    {0xAF, 0x30},                                                          // VK_VOLUME_UP
    {0xB0, 0x19},                                                          // VK_MEDIA_NEXT_TRACK
    {0xB1, 0x10},                                                          // VK_MEDIA_PREV_TRACK
    {0xB2, 0x24},                                                          // VK_MEDIA_STOP
    {0xB3, 0x22},                                                          // VK_MEDIA_PLAY_PAUSE
    {0xB4, 0x6C},                                                          // VK_LAUNCH_MAIL
    {0xB5, 0x6D},                                                          // VK_LAUNCH_MEDIA_SELECT
    {0xB6, 0x6B},                                                          // VK_LAUNCH_APP1
    {0xB7, 0x21},                                                          // VK_LAUNCH_APP2
    {0xBA, 0x27},                                                          // VK_OEM_1
    {0xBB, 0x0D},                                                          // VK_OEM_PLUS
    {0xBC, 0x33},                                                          // VK_OEM_COMMA
    {0xBD, 0x0C},                                                          // VK_OEM_MINUS
    {0xBE, 0x34},                                                          // VK_OEM_PERIOD
    {0xBF, 0x35},                                                          // VK_OEM_2
    {0xC0, 0x29},                                                          // VK_OEM_3
    {0xDB, 0x1A},                                                          // VK_OEM_4
    {0xDC, 0x2B},                                                          // VK_OEM_5
    {0xDD, 0x1B},                                                          // VK_OEM_6
    {0xDE, 0x28},                                                          // VK_OEM_7
    {0xE2, 0x56},                                                          // VK_OEM_102
    {0xC1, 0x73},                                                          // VK_ABNT_C1
    {0xC2, 0x7E},                                                          // VK_ABNT_C2
    {0xE9, 0x71},                                                          // VK_OEM_RESET
    {0xEA, 0x5C},                                                          // VK_OEM_JUMP
    {0xEB, 0x7B},                                                          // VK_OEM_PA1
    {0xEC, 0x7F},                                                          // VK_OEM_PA2
    {0xED, 0x6F},                                                          // VK_OEM_PA3
    {0xEE, 0x5A},                                                          // VK_OEM_WSCTRL
    {0xF1, 0x5B},                                                          // VK_OEM_FINISH
    {0xF3, 0x5F},                                                          // VK_OEM_AUTO
    {0xF5, 0x5E},                                                          // VK_OEM_BACKTAB
    {0xF9, 0x5D},                                                          // VK_EREOF
    {0xFB, 0x62},                                                          // VK_ZOOM
};

constexpr std::array<std::uint8_t, 256> BuildTable() {
  std::array<std::uint8_t, 256> table{};
  for (const auto& row : kUsLayout) table[row.vk] = row.scan;
  return table;
}

constexpr auto kScanOfVk = BuildTable();

}  // namespace

std::uint32_t ScanCodeOfVirtualKey(std::uint32_t vk) {
  return vk < 256 ? kScanOfVk[vk] : 0;
}

}  // namespace hidhost::sim
