#include "guidance/pictures.h"

#include <algorithm>
#include <iterator>

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

struct CameraKind {
  std::string_view tag;
  const char* majorRoad;
  const char* otherRoad;
};

constexpr CameraKind kCameraKinds[] = {
    {"Hシステム", "ovis2_h.bmp", "ovis2_l.bmp"},
    {"ループコイル", "ovis3_h.bmp", "ovis3_l.bmp"},
    {"レーダ", "ovis1_h.bmp", "ovis1_l.bmp"},
};
constexpr const char* kAnyCameraPicture = "オービス.bmp";

constexpr std::string_view kMajorRoadTags[] = {"高", "バイパス", "道"};

bool onMajorRoad(std::string_view text) {
  return std::any_of(std::begin(kMajorRoadTags), std::end(kMajorRoadTags),
                     [text](std::string_view tag) { return sjis::contains(text, tag); });
}

}  // namespace

std::string turnPictureFor(std::string_view waypointText) {
  for (const PictureTag& row : kTurnPictures) {
    if (sjis::contains(waypointText, row.tag)) return row.picture;
  }
  return {};
}

std::string cameraPictureFor(std::string_view cameraText) {
  for (const CameraKind& kind : kCameraKinds) {
    if (sjis::contains(cameraText, kind.tag)) {
      return onMajorRoad(cameraText) ? kind.majorRoad : kind.otherRoad;
    }
  }
  return kAnyCameraPicture;
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
