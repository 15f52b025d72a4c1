// The speed-camera kinds a camera's text names, shared by the pictures, the
// sounds and the importers: each kind's files are its stem with "_h" on a
// major road ("高", "バイパス", "道" in the text) or "_l" elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace tabiro {

struct CameraKind {
  std::string_view tag;   // the word in the camera's text
  std::string_view stem;  // of its picture and its sound
};

// The first kind whose word the text contains wins.
inline constexpr CameraKind kCameraKinds[] = {
    {"Hシステム", "ovis2"},
    {"ループコイル", "ovis3"},
    {"レーダ", "ovis1"},
};

// The file for the camera the text names, with the extension (".bmp",
// ".wav"); `anyCamera` when it names no kind.
std::string cameraKindFile(std::string_view cameraText, std::string_view extension,
                           std::string_view anyCamera);

}  // namespace tabiro
