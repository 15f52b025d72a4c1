#include "guidance/camera_kinds.h"

#include <algorithm>
#include <iterator>

#include "platform/sjis.h"

namespace tabiro {

namespace {

constexpr std::string_view kMajorRoadTags[] = {"高", "バイパス", "道"};

bool onMajorRoad(std::string_view text) {
  return std::any_of(std::begin(kMajorRoadTags), std::end(kMajorRoadTags),
                     [text](std::string_view tag) { return sjis::contains(text, tag); });
}

}  // namespace

std::string cameraKindFile(std::string_view cameraText, std::string_view extension,
                           std::string_view anyCamera) {
  for (const CameraKind& kind : kCameraKinds) {
    if (sjis::contains(cameraText, kind.tag)) {
      return std::string(kind.stem) + (onMajorRoad(cameraText) ? "_h" : "_l") +
             std::string(extension);
    }
  }
  return std::string(anyCamera);
}

}  // namespace tabiro
