// tabiro-inspect: shows what Tabiro2 makes of a route file, a point file or
// three status-bar texts, and what a user should fix in a file. Text in and
// out is Shift-JIS.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tabiro::inspect {

// Runs the tool on its arguments (without the program name) and returns the
// exit code: 0 done, 1 a file that cannot be read, 2 wrong arguments.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A coordinate as degrees, minutes and seconds ("35°40′12.50″") and as
// decimal degrees ("35.670139").
std::string formatDms(std::int32_t value);
std::string formatDegrees(std::int32_t value);

}  // namespace tabiro::inspect
