// The profile (INI) functions' reading of a file's text and their one-key
// edit, with the system's rules: names compared without regard to case, the
// first section of a name wins, white space around names and values ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hidhost::sim {

// The value of the first matching key in the first matching section, white
// space trimmed; an empty text for a key line without '='. nullopt when absent.
std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The non-blank lines of the first section of that name, as key and value
// (views into text), in order: what ProfileValue searches, read once for a
// reader that asks for many keys of one section.
struct ProfileLine {
  std::string_view key;
  std::string_view value;
};
std::vector<ProfileLine> ProfileSection(std::string_view text, std::string_view section);
// ProfileValue's answer from the section's lines.
std::optional<std::string> ProfileValueIn(const std::vector<ProfileLine>& lines,
                                          std::string_view key);

// GetPrivateProfileIntA on a found value (nullopt: key or file missing).
std::uint32_t ProfileInt(const std::optional<std::string>& value, std::int32_t fallback);

// GetPrivateProfileStructA: the value must be 2 * out.size() + 2 digits (one
// more is let through and ignored), the two after the data the low byte of
// the sum of the data's bytes. The digits are not checked, and the data bytes
// are stored as they are decoded, before the checksum is compared.
bool ProfileStruct(const std::optional<std::string>& value, std::span<std::uint8_t> out);

// The text after WritePrivateProfileStringA: the key's line rewritten, or a
// line added at the end of its section, or the section added at the end of
// the text; every other byte as it was.
std::string ProfileWithValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

// RtlCharToInteger with base 0, as the profile functions convert numbers.
std::uint32_t ParseSystemInteger(std::string_view text);

}  // namespace hidhost::sim
