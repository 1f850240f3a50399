#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "platform/Constants.h"
#include "platform/sim/ProfileText.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimProfileFiles final : public platform::ProfileFiles, FacetBase {
 public:
  using FacetBase::FacetBase;
  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override;
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override;
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;
  platform::Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) override;
  std::string GetModuleFileName() override;
};

namespace {

namespace fs = std::filesystem;

// Where the profile functions look for a bare file name.
constexpr std::string_view kWindowsDirectory = "C:\\Windows\\";
// A relative path to CreateFileA: the process's current directory.
constexpr std::string_view kCurrentDirectory = "C:\\HidHost\\";

constexpr std::uint32_t kShareReadWrite = 3;
constexpr std::uint32_t kCreateNew = 1;
constexpr std::uint32_t kCreateAlways = 2;
constexpr std::uint32_t kTruncateExisting = 5;

std::optional<std::string> ReadText(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteText(const fs::path& file, const std::string& text) {
  std::error_code error;
  if (!fs::is_directory(file.parent_path(), error)) return false;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// The text of a profile file, when the file exists and no one keeps it from being read.
std::optional<std::string> ReadProfile(const World& world, std::string_view path) {
  const auto file = world.Resolve(path, kWindowsDirectory);
  if (!file || !world.files.MayOpen(*file, platform::kGenericRead, kShareReadWrite)) {
    return std::nullopt;
  }
  return ReadText(*file);
}

}  // namespace

std::uint32_t SimProfileFiles::GetPrivateProfileInt(std::string_view section, std::string_view key,
                                                    std::int32_t fallback, std::string_view path) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetPrivateProfileInt)) return static_cast<std::uint32_t>(fallback);
  const auto text = ReadProfile(world_, path);
  return ProfileInt(text ? ProfileValue(*text, section, key) : std::nullopt, fallback);
}

bool SimProfileFiles::GetPrivateProfileStruct(std::string_view section, std::string_view key,
                                              std::span<std::uint8_t> out, std::string_view path) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetPrivateProfileStruct)) return false;
  const auto text = ReadProfile(world_, path);
  return ProfileStruct(text ? ProfileValue(*text, section, key) : std::nullopt, out);
}

bool SimProfileFiles::WritePrivateProfileString(std::string_view section, std::string_view key,
                                                std::string_view value, std::string_view path) {
  Lock lock(world_.mutex);
  world_.Trace(trace::WritePrivateProfileStringLine(section, key, value, path));
  if (world_.Fails(Call::WritePrivateProfileString)) return false;
  const auto file = world_.Resolve(path, kWindowsDirectory);
  if (!file || !world_.files.MayOpen(*file, platform::kGenericRead | platform::kGenericWrite,
                                     kShareReadWrite)) {
    return false;
  }
  const std::string before = ReadText(*file).value_or("");
  return WriteText(*file, ProfileWithValue(before, section, key, value));
}

platform::Handle SimProfileFiles::CreateFile(std::string_view path, std::uint32_t access,
                                             std::uint32_t share, std::uint32_t disposition) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreateFile)) return platform::Handle::None;
  const auto file = world_.Resolve(path, kCurrentDirectory);
  if (!file) return platform::Handle::None;
  std::error_code error;
  if (fs::is_directory(*file, error)) return platform::Handle::None;
  const bool exists = fs::is_regular_file(*file, error);
  const bool mustExist = disposition == platform::kOpenExisting || disposition == kTruncateExisting;
  if ((mustExist && !exists) || (disposition == kCreateNew && exists)) {
    return platform::Handle::None;
  }
  if (disposition < kCreateNew || disposition > kTruncateExisting) return platform::Handle::None;
  if (!world_.files.MayOpen(*file, access, share)) return platform::Handle::None;
  const bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
  if ((!exists || truncates) && !WriteText(*file, "")) return platform::Handle::None;

  auto object = std::make_shared<KernelObject>(ObjectKind::File);
  object->name = std::string(path);
  object->openId = world_.files.Open(*file, access, share);
  return static_cast<platform::Handle>(process_.AddKernelHandle(std::move(object)));
}

std::string SimProfileFiles::GetModuleFileName() {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetModuleFileName)) return {};
  return kHostExecutable;
}

std::unique_ptr<platform::ProfileFiles> MakeSimProfileFiles(World& world, SimProcessImpl& process) {
  return std::make_unique<SimProfileFiles>(world, process);
}

}  // namespace hidhost::sim
