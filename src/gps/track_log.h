// trackLogWriter: a line with the time and the current position every two
// seconds into MMDDhhmm.log while trackLogRun is set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app_context.h"

namespace tabiro {

constexpr int kTrackLogCycleMs = 2000;

// Where the log may go, in order: the working directory (the empty folder),
// then the profile's folder, for a working directory that is not writable
// such as a program folder under Program Files.
std::vector<std::string> trackLogFolders(const SettingsStore& settings);

// The worker: opens the log for appending in the first of `folders` where it
// can (a folder ends in its separator), then writes a line at once and every
// cycle while both position texts are set, each flushed as it is written so
// that a power cut loses at most the line being written. Ends, closing the
// file, when trackLogRun is cleared or a newer writer was started; at once
// when no folder takes the file.
void trackLogWriter(AppContext& ctx, std::int32_t start, const std::vector<std::string>& folders);

// Sets trackLogRun and starts a writer; one from an earlier start ends
// after its current cycle.
void startTrackLog(AppContext& ctx);

}  // namespace tabiro
