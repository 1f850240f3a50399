// Records a session of the host: laid over any platform, it writes
// FOLDER/session.scn (the world the host found and every input it handled, as
// a scenario the simulator replays) and FOLDER/session.trace (every call the
// host made, in the trace format, under the input that caused it).
//
// A folder that cannot be written is reported and nothing is recorded: the
// host runs on the platform underneath as if no recording had been asked for.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "record/RecordingFacets.h"

namespace hidhost::record {

struct RecordOptions {
  std::string folder;
  // config.ini as it stood before the host started; nullopt when there was none.
  std::optional<std::string> configAtStart;
  HostMessages messages;
  // Where a problem with the recording is told; the host goes on regardless.
  std::function<void(const std::string&)> report;
};

class Recorder {
 public:
  Recorder(platform::Platform inner, RecordOptions options);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool Recording() const { return session_ != nullptr; }
  // The platform the host should run on: the recording one, or the inner one.
  platform::Platform& Platform() { return recorded_ ? *recorded_ : inner_; }
  // The host's start hook has returned; a framework whose message loop is
  // not the platform's (the simulator's) says so here.
  void StartUpDone();
  // The process ends with this code: what is still open is written.
  void Finish(int exitCode);

 private:
  struct Facets;
  void RecordStartingWorld(const std::optional<std::string>& config);

  platform::Platform inner_;
  std::unique_ptr<LineSink> scenario_;
  std::unique_ptr<LineSink> trace_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<RecordingContext> context_;
  std::unique_ptr<Facets> facets_;
  std::optional<platform::Platform> recorded_;
};

// config.ini's lines as `config` directives; a line the scenario format
// cannot hold (a comment mark after a blank) is left out.
std::vector<std::string> ConfigDirectives(std::string_view text);

}  // namespace hidhost::record
