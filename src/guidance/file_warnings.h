// How the readers' warnings about a route or point file are put into words:
// the lines tabiro-inspect prints, and what the driver is told when guidance
// starts with such a file.
#pragma once

#include <string>

#include "guidance/camera_file.h"
#include "guidance/route_file.h"
#include "guidance/text_file.h"

namespace tabiro {

enum class GuidanceFile { Route, Cameras };

// One warning, opened by the line it concerns ("12行目: ...").
std::string fileWarningText(const FileWarning& warning, GuidanceFile kind);

// The paragraph about one loaded file for the message at guidance start:
// empty when the file gives nothing to say. A route without a waypoint, or a
// point file whose rows have no camera, is said so even without a warning.
std::string routeLoadMessage(const std::string& path, const RouteScan& scan);
std::string cameraLoadMessage(const std::string& path, const CameraScan& scan);

// The closing line of that message: guidance runs on regardless.
inline constexpr const char* kGuidanceStartsAnywayText = "案内は読み込めた分で始めます。";

}  // namespace tabiro
