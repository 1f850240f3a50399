#include "record/Recorder.h"

#include "record/LineSink.h"

namespace hidhost::record {

namespace {

std::string HostDirectoryOf(const std::string& executable) {
  const auto slash = executable.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : executable.substr(0, slash + 1);
}

// The scenario reader takes '#' after a blank, outside quotes, as a comment.
bool HoldsCommentMark(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return true;
    }
  }
  return false;
}

}  // namespace

struct Recorder::Facets {
  Facets(platform::Platform inner, RecordingContext& context)
      : input(inner.input, context),
        windows(inner.windows, context),
        timers(inner.timers, context),
        registry(inner.registry, context),
        profile(inner.profile, context),
        kernel(inner.kernel, context, devices),
        shell(inner.shell, context),
        driver(inner.driver, context, devices) {}

  OpenDevices devices;
  RecordingInput input;
  RecordingWindows windows;
  RecordingTimers timers;
  RecordingRegistry registry;
  RecordingProfileFiles profile;
  RecordingKernel kernel;
  RecordingShell shell;
  RecordingDriverDevice driver;
};

std::vector<std::string> ConfigDirectives(std::string_view text) {
  std::vector<std::string> directives;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (HoldsCommentMark(line)) continue;
    directives.push_back("config " + std::string(line));
  }
  return directives;
}

Recorder::Recorder(platform::Platform inner, RecordOptions options) : inner_(inner) {
  const auto report = options.report ? options.report : [](const std::string&) {};
  scenario_ = FileSink::Create(options.folder + "/session.scn");
  if (scenario_ != nullptr) trace_ = FileSink::Create(options.folder + "/session.trace");
  if (scenario_ == nullptr || trace_ == nullptr) {
    report("cannot record into " + options.folder + ": the folder cannot be written");
    scenario_.reset();
    trace_.reset();
    return;
  }
  session_ = std::make_unique<Session>(*scenario_, *trace_, report);
  session_->Begin("start", Keep::Always, From::WindowThread);
  context_ = std::make_unique<RecordingContext>(*session_, options.messages,
                                                HostDirectoryOf(inner.profile.GetModuleFileName()));
  RecordStartingWorld(options.configAtStart);
  facets_ = std::make_unique<Facets>(inner, *context_);
  recorded_.emplace(platform::Platform{facets_->input, facets_->windows, facets_->timers,
                                       facets_->registry, facets_->profile, facets_->kernel,
                                       facets_->shell, facets_->driver});
}

Recorder::~Recorder() = default;

void Recorder::RecordStartingWorld(const std::optional<std::string>& config) {
  if (!config) return;
  for (auto& directive : ConfigDirectives(*config)) session_->AddSetUp(std::move(directive));
}

void Recorder::StartUpDone() {
  if (Recording()) facets_->windows.StartUpDone();
}

void Recorder::Finish(int exitCode) {
  if (Recording()) session_->Finish(exitCode);
}

}  // namespace hidhost::record
