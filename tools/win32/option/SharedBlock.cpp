#include "SharedBlock.h"

#include <cstring>

namespace hidhost::option {
namespace {

// The host waits for this mutex without a time limit on its window thread;
// the window cannot: past this, the change is not applied and it says so.
constexpr DWORD kLockTimeoutMs = 2000;

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

SharedBlock::Copy SharedBlock::Lock(std::string& why) const {
  if (!view_ || !mutex_) {
    why = "no shared block";
    return Copy::Failed;
  }
  const DWORD waited = WaitForSingleObject(mutex_.Get(), kLockTimeoutMs);
  // An abandoned mutex is ours all the same and the record is whole: the
  // host copies it in one piece.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return Copy::Done;
  why = "the shared block's mutex stayed taken";
  return waited == WAIT_TIMEOUT ? Copy::Busy : Copy::Failed;
}

bool SharedBlock::Read(settings::MouseSettings& record, std::string& why) const {
  if (Lock(why) != Copy::Done) return false;
  std::memcpy(&record, view_.Get(), settings::kMouseSettingsSize);
  ReleaseMutex(mutex_.Get());
  return true;
}

SharedBlock::Copy SharedBlock::Write(const settings::MouseSettings& record,
                                     std::string& why) const {
  if (const Copy locked = Lock(why); locked != Copy::Done) return locked;
  std::memcpy(view_.Get(), &record, settings::kMouseSettingsSize);
  ReleaseMutex(mutex_.Get());
  return Copy::Done;
}

}  // namespace hidhost::option
