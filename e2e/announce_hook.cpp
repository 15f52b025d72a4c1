#include "announce_hook.h"

#include <map>
#include <sstream>
#include <string>

#include "guidance/announce.h"

namespace tabiro {

LRESULT runAnnounceHook(AppContext& ctx, const COPYDATASTRUCT& data) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(std::string(static_cast<const char*>(data.lpData), data.cbData));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
  }
  const int waypoint = ctx.settings.readInt(key::kWayPoint, 1);
  if (fields.count("waypoint") && waypoint >= 1 && waypoint <= WaypointTable::kRows) {
    ctx.state.waypoints.row(waypoint).text.set(fields["waypoint"]);
  }
  const AnnouncedPicture picture = fields.count("camera")
                                       ? AnnouncedPicture::camera(fields["camera"])
                                       : AnnouncedPicture::turn();
  ctx.workers.start("announceHook", [&ctx, picture, speech = fields["speech"], wav = fields["wav"]] {
    announce(ctx, speech, picture, wav);
  });
  return TRUE;
}

}  // namespace tabiro
