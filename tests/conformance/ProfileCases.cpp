// The profile functions on odd and malformed INI text, and plain files.
// Wine rewrites a whole file when it writes one key, so the writes are
// compared by what reads back, not byte for byte.
#include <array>
#include <cstdio>
#include <string>

#include "Cases.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

struct IntRow {
  int row;
  std::string_view line;  // the key K's line; empty: no such key
  std::int32_t fallback;
  std::uint32_t expected;
};

struct StructRow {
  int row;
  std::string_view line;
  bool ok;
  std::array<std::uint8_t, 4> bytes;  // what the buffer holds afterwards
};

constexpr std::array<std::uint8_t, 4> kUntouched = {0xAA, 0xAA, 0xAA, 0xAA};

std::string Hex(const std::array<std::uint8_t, 4>& bytes) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

std::string Ini(std::string_view line) {
  std::string text = "[Setting]\r\n";
  text.append(line).append("\r\n");
  return text;
}

}  // namespace

void ProfileInt(Checks& check, Stage& stage) {
  auto& profile = stage.Seam().profile;
  const IntRow rows[] = {
      {1, "K=12", -1, 12},
      {2, "K=-1", 5, 0xFFFFFFFFu},
      {3, "K=0x10", 0, 16},
      {4, "K=12abc", 0, 12},  // digits up to the first other character
      {5, "K=abc", 7, 0},     // present but not a number: 0, not the fallback
      {6, "K=", 7, 7},        // an empty value falls back
      {7, "", -1, 0xFFFFFFFFu},
      {8, "K=\"7\"", 0, 7},  // surrounding quotes go
      {9, "K=+5", 0, 5},
      {10, "K=0b101", 0, 5},
      {11, "K=4294967297", 0, 1},  // wraps as a 32-bit number
      {12, "  k  =  9  ", 0, 9},   // blanks around the key and value, the key in any case
  };
  for (const IntRow& row : rows) {
    const std::string path = stage.WriteFile("int.ini", Ini(row.line));
    check.Equal(row.row, "GetPrivateProfileInt",
                profile.GetPrivateProfileInt("Setting", "K", row.fallback, path), row.expected);
  }
}

void ProfileKeys(Checks& check, Stage& stage) {
  auto& profile = stage.Seam().profile;
  const std::string path =
      stage.WriteFile("keys.ini",
                      "Top=1\r\n[setting]\r\n  HScrollWheelSpeed =  5  \r\nBare\r\n; Device=9\r\n"
                      "[Other]\r\nDevice=2\r\n[Setting]\r\nDevice=3\r\n");
  check.Equal(1, "a key in a section of another case",
              profile.GetPrivateProfileInt("SETTING", "hscrollwheelspeed", -1, path), 5u);
  check.Equal(2, "a key before any section belongs to none",
              profile.GetPrivateProfileInt("Setting", "Top", -1, path), 0xFFFFFFFFu);
  check.Equal(3, "another section's key", profile.GetPrivateProfileInt("Other", "Device", -1, path),
              2u);
  check.Equal(4, "a commented key, or one in a later section of the same name, is not read",
              profile.GetPrivateProfileInt("Setting", "Device", -1, path), 0xFFFFFFFFu);
  check.Equal(5, "a missing file",
              profile.GetPrivateProfileInt("Setting", "Device", 4, stage.PathOf("none.ini")), 4u);
}

void ProfileStruct(Checks& check, Stage& stage) {
  auto& profile = stage.Seam().profile;
  const StructRow rows[] = {
      {1, "K=0101000002", true, {1, 1, 0, 0}},
      {2, "K=040C000010", true, {4, 12, 0, 0}},
      {3, "K=040c000010", true, {4, 12, 0, 0}},     // lowercase digits
      {4, "K=0101000003", false, {1, 1, 0, 0}},     // a wrong checksum: decoded all the same
      {5, "K=010100000", false, kUntouched},        // a digit short
      {6, "K=01010000020", true, {1, 1, 0, 0}},     // a digit over is ignored
      {7, "K=0101000G02", false, {1, 1, 0, 0x10}},  // not hexadecimal: read as if it were
      {8, "", false, kUntouched},                   // missing
      {9, "K=FFFFFFFFFC", true, {0xFF, 0xFF, 0xFF, 0xFF}},  // the checksum keeps its low byte
  };
  for (const StructRow& row : rows) {
    const std::string path = stage.WriteFile("struct.ini", Ini(row.line));
    std::array<std::uint8_t, 4> buffer = kUntouched;
    check.Equal(row.row, "GetPrivateProfileStruct",
                profile.GetPrivateProfileStruct("setting", "k", buffer, path), row.ok);
    check.Equal(row.row, "the buffer afterwards", Hex(buffer), Hex(row.bytes));
  }
}

void ProfileWrite(Checks& check, Stage& stage) {
  auto& profile = stage.Seam().profile;
  constexpr std::uint32_t kMissing = 0xFFFFFFFFu;  // the fallback -1
  const struct {
    int row;
    std::string_view before;
    std::uint32_t otherSection;  // [X] B afterwards
    std::uint32_t sameSection;   // [Setting] Other afterwards
  } rows[] = {
      {1, "; top\n[Setting]\r\n device = 0 \r\nOther=1\n\n[X]\r\nB=2\r\n", 2, 1},
      {2, "[Setting]\r\nOther=1\r\n\r\n[X]\r\nB=2\r\n", 2, 1},
      {3, "[X]\r\nB=2", 2, kMissing},
      {4, "[Setting]", kMissing, kMissing},
      {5, "", kMissing, kMissing},
  };
  for (const auto& row : rows) {
    const std::string path = stage.WriteFile("write.ini", row.before);
    check.True(row.row, "WritePrivateProfileString",
               profile.WritePrivateProfileString("Setting", "Device", "1", path));
    check.Equal(row.row, "the key reads back",
                profile.GetPrivateProfileInt("Setting", "Device", -1, path), 1u);
    check.Equal(row.row, "the other sections' keys are kept",
                profile.GetPrivateProfileInt("X", "B", -1, path), row.otherSection);
    check.Equal(row.row, "and the section's",
                profile.GetPrivateProfileInt("Setting", "Other", -1, path), row.sameSection);
  }
  const std::string fresh = stage.PathOf("fresh.ini");
  check.True(6, "a missing file is made",
             profile.WritePrivateProfileString("Setting", "Device", "0", fresh) &&
                 profile.GetPrivateProfileInt("Setting", "Device", -1, fresh) == 0);

  const std::string held = stage.WriteFile("held.ini", Ini("OTGSpeed=7"));
  const int sharing = stage.HoldFile(held, platform::kFileShareRead | 2 /* FILE_SHARE_WRITE */);
  check.Equal(10, "a file another program holds open, sharing, reads",
              profile.GetPrivateProfileInt("Setting", "OTGSpeed", -1, held), 7u);
  stage.ReleaseFile(sharing);
  const int exclusive = stage.HoldFile(held, 0);
  check.Equal(11, "one held open exclusively gives the fallback",
              profile.GetPrivateProfileInt("Setting", "OTGSpeed", -1, held), 0xFFFFFFFFu);
  check.True(12, "and cannot be written",
             !profile.WritePrivateProfileString("Setting", "Device", "1", held));
  stage.ReleaseFile(exclusive);
}

void PlainFiles(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  const std::string path = stage.WriteFile("plain.ini", "[Setting]\r\n");
  const platform::Handle file =
      seam.profile.CreateFile(path, platform::kGenericRead, 0, platform::kOpenExisting);
  check.True(1, "an existing file opens", platform::IsSet(file));
  check.True(2, "our own exclusive open excludes the next",
             !platform::IsSet(seam.profile.CreateFile(
                 path, platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting)));
  check.True(3, "closed", seam.kernel.CloseHandle(file));
  check.True(
      4, "a missing file gives no handle (not INVALID_HANDLE_VALUE)",
      !platform::IsSet(seam.profile.CreateFile(stage.PathOf("missing.ini"), platform::kGenericRead,
                                               platform::kFileShareRead, platform::kOpenExisting)));
  const std::string module = seam.profile.GetModuleFileName();
  const std::string tail = std::string(1, '\\').append(stage.ExecutableName());
  check.True(5, "GetModuleFileName names this program",
             module.size() > tail.size() && module.ends_with(tail));
}

}  // namespace hidhost::conformance
