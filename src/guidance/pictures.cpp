#include "guidance/pictures.h"

#include <algorithm>
#include <iterator>

#include "guidance/camera_kinds.h"
#include "platform/sjis.h"

namespace tabiro {

namespace {

struct PictureTag {
  std::string_view tag;
  const char* picture;
};

// In this order: the first tag found wins, so "逆ト" rows come before "ト".
constexpr PictureTag kTurnPictures[] = {
    {"x直", "X直進.bmp"},     {"x右", "X右.bmp"},         {"x左", "X左.bmp"},
    {"t右", "T右.bmp"},       {"t左", "T左.bmp"},         {"y右", "Y右.bmp"},
    {"y左", "Y左.bmp"},       {"逆ト直", "逆ト直進.bmp"}, {"逆ト左", "逆ト左.bmp"},
    {"ト直", "ト直進.bmp"},   {"ト右", "ト右.bmp"},
};

}  // namespace

std::string turnPictureFor(std::string_view waypointText) {
  for (const PictureTag& row : kTurnPictures) {
    if (sjis::contains(waypointText, row.tag)) return row.picture;
  }
  return {};
}

std::string cameraPictureFor(std::string_view cameraText) {
  return cameraKindFile(cameraText, ".bmp", "オービス.bmp");
}

int pictureStayMs(const SettingsStore& settings) {
  const int seconds = settings.readInt(key::kKomaTime);
  return std::clamp(seconds, 0, kKomaTimeMaxSeconds) * 1000;
}

void showTurnPicture(AppContext& ctx, int waypoint) {
  // A waypoint number outside the table has no text, hence no picture.
  if (waypoint < 1 || waypoint > WaypointTable::kRows) return;
  const std::string picture = turnPictureFor(ctx.state.waypoints.row(waypoint).text.get());
  if (picture.empty()) return;
  showCaptionedPicture(ctx, picture, {});
}

void showCameraPicture(AppContext& ctx, const std::string& cameraText) {
  showCaptionedPicture(ctx, cameraPictureFor(cameraText), cameraText);
}

void showCaptionedPicture(AppContext& ctx, const std::string& picture, const std::string& caption) {
  const int stayMs = pictureStayMs(ctx.settings);
  const int popup = ctx.popups.showPicture(picture, caption);
  ctx.workers.start("pictureWorker", [&ctx, popup, stayMs] {
    ctx.clock.sleep(stayMs);
    ctx.popups.closePicture(popup);
  });
}

}  // namespace tabiro
