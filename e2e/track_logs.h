// A drive's files as the tests read them: the toolbar's track logs in its
// working directory, their lines and their positions.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Track logs ("MMDDhhmm.log") in the toolbar's working directory, the
// folder of the exe.
std::vector<std::string> trackLogs();
void removeTrackLogs();
// The text's lines without their CR LF, empty ones left out.
std::vector<std::string> lines(const std::string& text);
// "35:41:22.5" as tenths of an arc-second, as navstub logs its fixes.
long tenths(const std::string& text);

}  // namespace e2e
