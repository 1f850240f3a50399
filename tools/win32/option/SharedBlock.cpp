#include "SharedBlock.h"

#include <cstring>

namespace hidhost::option {
namespace {

// The host waits for this mutex without a time limit on its window thread;
// a stand-in that cannot get it within this long reports rather than hangs.
constexpr DWORD kLockTimeoutMs = 5000;

}  // namespace

bool SharedBlock::Open(std::string& why) {
  mapping_.Reset(
      OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, contracts::kSharedBlockName));
  if (!mapping_) {
    why = "no shared block \"" + std::string(contracts::kSharedBlockName) +
          "\" (is HidHost running?)";
    return false;
  }
  view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                            settings::kMouseSettingsSize));
  if (!view_) {
    why = "cannot map the shared block";
    return false;
  }
  mutex_.Reset(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, contracts::kSharedMutexName));
  if (!mutex_) {
    why = "no mutex \"" + std::string(contracts::kSharedMutexName) + "\"";
    return false;
  }
  return true;
}

bool SharedBlock::Lock(std::string& why) const {
  const DWORD waited = WaitForSingleObject(mutex_.Get(), kLockTimeoutMs);
  // An abandoned mutex is ours all the same and the record is whole: the
  // host copies it in one piece.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;
  why = "the shared block's mutex stayed taken";
  return false;
}

bool SharedBlock::Read(settings::MouseSettings& record, std::string& why) const {
  if (!Lock(why)) return false;
  std::memcpy(&record, view_.Get(), settings::kMouseSettingsSize);
  ReleaseMutex(mutex_.Get());
  return true;
}

bool SharedBlock::Write(const settings::MouseSettings& record, std::string& why) const {
  if (!Lock(why)) return false;
  std::memcpy(view_.Get(), &record, settings::kMouseSettingsSize);
  ReleaseMutex(mutex_.Get());
  return true;
}

}  // namespace hidhost::option
