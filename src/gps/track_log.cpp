#include "gps/track_log.h"

#include <fstream>
#include <optional>

#include "gps/track_log_format.h"

namespace tabiro {

namespace {

bool isCurrent(AppContext& ctx, std::int32_t start) {
  return load(ctx.state.trackLogStart) == start;
}

// Binary append: the lines carry their own CR LF on every system.
bool openLog(std::ofstream& file, const std::vector<std::string>& folders,
             const std::string& name) {
  for (const std::string& folder : folders) {
    file.open(folder + name, std::ios::binary | std::ios::app);
    if (file.is_open()) return true;
    file.clear();
  }
  return false;
}

}  // namespace

std::vector<std::string> trackLogFolders(const SettingsStore& settings) {
  const std::string& profile = settings.path();
  const std::size_t separator = profile.find_last_of("\\/");
  if (separator == std::string::npos) return {""};
  return {"", profile.substr(0, separator + 1)};
}

void trackLogWriter(AppContext& ctx, std::int32_t start, const std::vector<std::string>& folders) {
  std::ofstream file;
  if (!openLog(file, folders, trackLogFileName(ctx.clock.localTime()))) return;
  do {
    // One snapshot per line, and only a current one: a source that has no
    // fix (a hung map program) must not look like a car standing still.
    if (const std::optional<GpsFix> fix = ctx.state.gpsFix.currentFix()) {
      const std::optional<std::string> line =
          trackLogLine(ctx.clock.localTime(), fix->latitudeText, fix->longitudeText);
      if (line) file << *line << std::flush;
    }
    ctx.clock.sleep(kTrackLogCycleMs);
  } while (load(ctx.state.trackLogRun) == 1 && isCurrent(ctx, start));
}

void startTrackLog(AppContext& ctx) {
  store(ctx.state.trackLogRun, 1);
  const std::int32_t start = ctx.state.trackLogStart.fetch_add(1) + 1;
  const std::vector<std::string> folders = trackLogFolders(ctx.settings);
  ctx.workers.start("trackLogWriter",
                    [&ctx, start, folders] { trackLogWriter(ctx, start, folders); });
}

}  // namespace tabiro
