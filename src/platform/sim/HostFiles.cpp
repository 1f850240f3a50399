#include "platform/sim/HostFiles.h"

#include <system_error>
#include <vector>

#include "platform/Constants.h"
#include "platform/sim/RegistryStore.h"

namespace hidhost::sim {

namespace {

constexpr std::uint32_t kFileShareWrite = 2;
constexpr std::uint32_t kGenericAll = 0x10000000u;

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

bool Reads(std::uint32_t access) {
  return (access & (platform::kGenericRead | kGenericAll)) != 0;
}
bool Writes(std::uint32_t access) {
  return (access & (platform::kGenericWrite | kGenericAll)) != 0;
}

// An existing entry of the directory whose name matches without regard to case.
std::string MatchingEntry(const std::filesystem::path& directory, const std::string& name) {
  std::error_code error;
  const std::string wanted = Lowercase(name);
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::string found = entry.path().filename().string();
    if (Lowercase(found) == wanted) return found;
  }
  return name;
}

}  // namespace

HostFiles::HostFiles(std::filesystem::path driveC) : driveC_(std::move(driveC)) {}

std::optional<std::filesystem::path> HostFiles::Resolve(std::string_view windowsPath,
                                                        std::string_view bareNameDirectory) const {
  std::string full(windowsPath);
  if (full.find('\\') == std::string::npos && full.find('/') == std::string::npos &&
      full.find(':') == std::string::npos) {
    full = std::string(bareNameDirectory) + full;
  }
  if (full.size() < 3 || (full[0] != 'C' && full[0] != 'c') || full[1] != ':' ||
      (full[2] != '\\' && full[2] != '/')) {
    return std::nullopt;
  }
  std::vector<std::string> resolved;
  for (auto& part : Components(std::string_view(full).substr(3))) {
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(std::move(part));
  }
  std::filesystem::path real = driveC_;
  for (const auto& part : resolved) real /= MatchingEntry(real, part);
  return real;
}

std::string HostFiles::KeyOf(const std::filesystem::path& file) {
  return Lowercase(file.lexically_normal().string());
}

bool HostFiles::MayOpen(const std::filesystem::path& file, std::uint32_t access,
                        std::uint32_t share) const {
  const std::string key = KeyOf(file);
  for (const auto& [id, other] : open_) {
    if (other.key != key) continue;
    if (Reads(access) && (other.share & platform::kFileShareRead) == 0) return false;
    if (Writes(access) && (other.share & kFileShareWrite) == 0) return false;
    if (Reads(other.access) && (share & platform::kFileShareRead) == 0) return false;
    if (Writes(other.access) && (share & kFileShareWrite) == 0) return false;
  }
  return true;
}

int HostFiles::Open(const std::filesystem::path& file, std::uint32_t access, std::uint32_t share) {
  const int id = nextId_++;
  open_.emplace(id, OpenFile{KeyOf(file), access, share});
  return id;
}

void HostFiles::Close(int openId) {
  open_.erase(openId);
}

}  // namespace hidhost::sim
