// The GPS track log's file name and lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace tabiro {

// "MMDDhhmm.log" for the moment the log begins; no year, no folder, so the
// file lies in the working directory.
std::string trackLogFileName(const LocalTime& time);

// "YY/MM/DD hh:mm:ss N<latitude text> E<longitude text>" and CR LF (so the
// file is opened in binary mode); nullopt while either text is still empty,
// for then there is no position to log.
std::optional<std::string> trackLogLine(const LocalTime& time, std::string_view latitudeText,
                                        std::string_view longitudeText);

}  // namespace tabiro
