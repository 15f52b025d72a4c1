#include "announce_hook.h"

#include <map>
#include <sstream>
#include <string>

#include "core/copy_data_observer.h"
#include "guidance/announce.h"

namespace tabiro {

bool runAnnounceHook(AppContext& ctx, std::string_view data) {
  std::map<std::string, std::string> fields;
  std::istringstream lines{std::string(data)};
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
  }
  const int waypoint = ctx.settings.readInt(key::kWayPoint);
  if (fields.count("waypoint") && waypoint >= 1 && waypoint <= WaypointTable::kRows) {
    ctx.state.waypoints.row(waypoint).text.set(fields["waypoint"]);
  }
  const AnnouncedPicture picture = fields.count("camera")
                                       ? AnnouncedPicture::camera(fields["camera"])
                                       : AnnouncedPicture::turn();
  ctx.workers.start("announceHook", [&ctx, picture, speech = fields["speech"], wav = fields["wav"]] {
    announce(ctx, speech, picture, wav);
  });
  return true;
}

namespace {
// Installed before the toolbar window exists.
const bool installed = (installCopyDataObserver(&runAnnounceHook), true);
}  // namespace

}  // namespace tabiro
