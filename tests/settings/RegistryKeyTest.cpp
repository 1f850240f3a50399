#include <array>
#include <cstring>
#include <optional>

#include "SettingsWorld.h"
#include "platform/FacetBases.h"
#include "settings/RegistryKey.h"

namespace hidhost::settings::testing {
namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentConfig;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

struct ParseRow {
  const char* path;
  platform::RegKey root;
  const char* subkey;
};

const std::array<ParseRow, 9> kParseRows = {{
    {"HKEY_CURRENT_USER\\Control Panel\\Mouse", kHkeyCurrentUser, "Control Panel\\Mouse"},  // 1
    {"hkey_current_user\\Software\\A", kHkeyCurrentUser, "Software\\A"},                    // 2
    {"HKEY_LOCAL_MACHINE\\Software\\A", kHkeyLocalMachine, "Software\\A"},                  // 3
    {"Hkey_Local_Machine\\Software\\A", kHkeyLocalMachine, "Software\\A"},                  // 4
    {"HKEY_CURRENT_CONFIG\\System", kHkeyCurrentConfig, "System"},                          // 5
    {"hKeY_cLaSsEs_RoOt\\.txt", kHkeyClassesRoot, ".txt"},                                  // 6
    {"Software\\Test", kHkeyLocalMachine, "Software\\Test"},                                // 7
    {"HKEY_USERS\\.DEFAULT", kHkeyLocalMachine, "HKEY_USERS\\.DEFAULT"},                    // 8
    {"HKEY_CURRENT_USERS\\A", kHkeyLocalMachine, "HKEY_CURRENT_USERS\\A"},                  // 9
}};

using RegistryKeyTest = SettingsWorld;

TEST_F(RegistryKeyTest, Open_parsesRootAndSubkey) {
  for (std::size_t i = 0; i < kParseRows.size(); ++i) {
    RegistryKey key(platform.registry);
    key.Open(kParseRows[i].path, platform::kKeyAllAccess);
    EXPECT_EQ(key.Root(), kParseRows[i].root) << "row " << i + 1;
    EXPECT_EQ(key.Subkey(), kParseRows[i].subkey) << "row " << i + 1;
  }
}

TEST_F(RegistryKeyTest, Open_missingKeyUnderCurrentUser_createsIt) {
  RegistryKey key(platform.registry);
  Trace();
  EXPECT_TRUE(key.Open("HKEY_CURRENT_USER\\Software\\Tarno", platform::kKeyAllAccess));
  EXPECT_TRUE(key.IsOpen());
  EXPECT_EQ(Trace(),
            std::vector<std::string>{R"(RegCreateKeyA key="HKEY_CURRENT_USER\Software\Tarno")"});
}

TEST_F(RegistryKeyTest, Open_withoutBackslash_failsAndKeepsRoot) {
  RegistryKey key(platform.registry);
  ASSERT_TRUE(key.Open("HKEY_CLASSES_ROOT\\.txt", platform::kKeyAllAccess));
  Trace();
  EXPECT_FALSE(key.Open("HKEY_CURRENT_USER", platform::kKeyAllAccess));
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(key.Root(), kHkeyClassesRoot);
  EXPECT_EQ(key.Subkey(), "");
  EXPECT_TRUE(Trace().empty());
}

TEST_F(RegistryKeyTest, Open_subkeyLongerThanItsText_fails) {
  RegistryKey key(platform.registry);
  const std::string fits = "HKEY_CURRENT_USER\\" + std::string(kMaxSubkeyLength, 'a');
  const std::string tooLong = fits + "a";
  EXPECT_FALSE(key.Open(tooLong, platform::kKeyAllAccess));
  EXPECT_FALSE(key.IsOpen());
  key.Open(fits, platform::kKeyAllAccess);
  EXPECT_EQ(key.Subkey().size(), kMaxSubkeyLength);
}

TEST_F(RegistryKeyTest, LockedKey_doesNotOpen) {
  desktop.LockRegistryKey(kMouseKey);
  RegistryKey key(platform.registry);
  EXPECT_FALSE(key.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess));
  EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, WriteThenRead_roundTripsText) {
  RegistryKey key(platform.registry);
  ASSERT_TRUE(key.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess));
  Trace();
  EXPECT_TRUE(key.WriteString("MouseSpeed", "0"));
  EXPECT_EQ(Trace(), std::vector<std::string>{R"(RegSetValueExA key="HKEY_CURRENT_USER\Control )"
                                              R"(Panel\Mouse" name="MouseSpeed" type=1 data="0")"});
  EXPECT_EQ(desktop.RegistryString(kMouseKey, "MouseSpeed"), std::optional<std::string>("0"));
  std::array<char, 16> buffer;
  buffer.fill('#');
  EXPECT_TRUE(key.ReadString("MouseSpeed", buffer));
  EXPECT_STREQ(buffer.data(), "0");
}

TEST_F(RegistryKeyTest, Closed_readsEmptyAndWritesNothing) {
  RegistryKey key(platform.registry);
  ASSERT_TRUE(key.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess));
  SetMouseValue("MouseSpeed", "2");
  key.Close();
  EXPECT_EQ(key.Root(), kHkeyCurrentUser);
  EXPECT_EQ(key.Subkey(), "");
  std::array<char, 16> buffer;
  buffer.fill('#');
  EXPECT_FALSE(key.ReadString("MouseSpeed", buffer));
  EXPECT_STREQ(buffer.data(), "");
  Trace();
  EXPECT_FALSE(key.WriteString("MouseSpeed", "0"));
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(desktop.RegistryString(kMouseKey, "MouseSpeed"), std::optional<std::string>("2"));
}

TEST_F(RegistryKeyTest, Destruction_closesTheKey) {
  const int before = process.OpenObjectCount();
  {
    RegistryKey key(platform.registry);
    ASSERT_TRUE(key.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess));
    EXPECT_EQ(process.OpenObjectCount(), before + 1);
  }
  EXPECT_EQ(process.OpenObjectCount(), before);
}

// A registry whose values fill every byte they are given, unterminated, as a
// REG_BINARY or REG_DWORD value would: the reader must still end its text
// inside its own buffer.
class FillingRegistry : public platform::QuietRegistry {
 public:
  platform::RegKey OpenKey(platform::RegKey, std::string_view, std::uint32_t) override {
    return static_cast<platform::RegKey>(1);
  }
  bool QueryValue(platform::RegKey, std::string_view, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override {
    offered = buffer.size();
    for (char& c : buffer) c = '7';
    *type = 3;  // REG_BINARY
    *size = static_cast<std::uint32_t>(buffer.size());
    return succeed;
  }

  std::size_t offered = 0;
  bool succeed = true;
};

TEST(QueryTerminatedString, FullValue_endsInsideBuffer) {
  FillingRegistry registry;
  std::array<char, 8> buffer;
  buffer.fill('#');
  EXPECT_TRUE(QueryTerminatedString(registry, static_cast<platform::RegKey>(1), "v",
                                    std::span(buffer).first(6)));
  EXPECT_EQ(registry.offered, 5u);
  EXPECT_STREQ(buffer.data(), "77777");
  EXPECT_EQ(buffer[6], '#');  // nothing written past the span
}

TEST(QueryTerminatedString, FailedQuery_leavesEmptyText) {
  FillingRegistry registry;
  registry.succeed = false;
  std::array<char, 8> buffer;
  buffer.fill('#');
  EXPECT_FALSE(QueryTerminatedString(registry, static_cast<platform::RegKey>(1), "v", buffer));
  EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
}  // namespace hidhost::settings::testing
