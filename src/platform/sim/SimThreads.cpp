#include "platform/sim/SimThreads.h"

namespace hidhost::sim {

namespace {

bool Stuck(const ThreadRecord& record, bool timedCountsAsStuck) {
  if (record.ended || record.paused) return true;
  if (!record.id) return false;  // not running yet
  if (record.awaitingReply) return !record.awaitingReply->done;
  if (record.waitingOn.empty()) return false;
  if (record.timedWait) return timedCountsAsStuck;
  for (const auto& object : record.waitingOn) {
    if (CanTake(*object, *record.id)) return false;
  }
  return true;
}

}  // namespace

std::shared_ptr<ThreadRecord> SimThreads::Add(std::shared_ptr<KernelObject> object,
                                              SimProcessImpl* process) {
  auto record = std::make_shared<ThreadRecord>();
  record->object = std::move(object);
  record->process = process;
  records_.push_back(record);
  return record;
}

ThreadRecord* SimThreads::Find(std::thread::id id) {
  for (auto& record : records_) {
    if (record->id == id && !record->ended) return record.get();
  }
  return nullptr;
}

void SimThreads::Unpause() {
  for (auto& record : records_) record->paused = false;
}

bool SimThreads::AllSettled() const {
  for (const auto& record : records_) {
    if (!Stuck(*record, false)) return false;
  }
  return true;
}

bool SimThreads::OthersSettled(const ThreadRecord* self) const {
  for (const auto& record : records_) {
    if (record.get() != self && !Stuck(*record, true)) return false;
  }
  return true;
}

int SimThreads::LiveCount() const {
  int live = 0;
  for (const auto& record : records_) {
    if (!record->ended) ++live;
  }
  return live;
}

ThreadsToRelease SimThreads::TakeThreads() {
  ThreadsToRelease out;
  for (auto& record : records_) {
    if (!record->thread.joinable()) continue;
    (record->ended ? out.ended : out.stuck).push_back(std::move(record->thread));
  }
  return out;
}

}  // namespace hidhost::sim
