// The map programs' window classes, titles and command ids: fixed by the
// programs themselves, so they bind whatever program stands in their place.
#pragma once

#include <optional>

#include "core/modes.h"

namespace tabiro {

// Windows recognised.
inline constexpr const char* kNavinYouClass = "Navin' You";
inline constexpr const char* kMdiClientClass = "MDIClient";
inline constexpr const char* kMapViewClass = "AfxFrameOrView42";
inline constexpr const char* kTrackbarClass = "msctls_trackbar32";
inline constexpr const char* kUpDownClass = "msctls_updown32";
inline constexpr const char* kNavinToolbarClass = "ToolbarWindow32";
inline constexpr const char* kStatusBarClass = "msctls_statusbar32";
inline constexpr const char* kAtlas98FrameClass = "ProAtlas98Frame";
inline constexpr const char* kAtlasFrameClass = "ProAtlasFrame";
inline constexpr const char* kAtlasTitlePrefix = "ATLAS";
inline constexpr const char* kSViewClass = "SViewClass";
inline constexpr const char* kGpsPlayerClass = "GPSPLAYER";

// Document titles and menu texts are read up to 18 characters: a receiving
// buffer of 19, as GetWindowTextA and GetMenuStringA count it, holds 18
// bytes and the terminating NUL. A tag from the 19th byte on is not seen.
constexpr int kDocumentTitleChars = 19;
constexpr int kMenuTextChars = 19;
// Titles beginning "ATLAS": the first five characters, compared exactly.
constexpr int kAtlasTitleChars = 6;
inline constexpr const char* kProAtlasTag = "ProAtlas";
inline constexpr const char* kGuideWindowTitle = "ガイダンス";
inline constexpr const char* kWindowMenuTag = "ｳｨﾝﾄﾞｳ";
constexpr int kWindowMenuDocumentItem = 13;

// Navin' You's dialogs and their answers.
inline constexpr const char* kRouteConfirmTitle = "ﾙｰﾄ確認";
inline constexpr const char* kRouteSelectTitle = "ﾙｰﾄ選択";
inline constexpr const char* kDriverConfirmTitle = "運転者／同乗者確認";
inline constexpr const char* kNavinRouteListTitle = "ﾙｰﾄ一覧";
inline constexpr const char* kSettingsSheetTitle = "GPS/ガイダンス機能設定";
inline constexpr const char* kSettingsSheetTitleHalfWidth = "GPS/ｶﾞｲﾀﾞﾝｽ機能設定";
constexpr int kRouteConfirmYes = 6;
constexpr int kRouteConfirmNo = 7;
constexpr int kRouteSelectOk = 9313;
constexpr int kRouteSelectCancel = 9314;
constexpr int kDriverConfirmOk = 8520;

// Commands to the ATLAS window.
constexpr unsigned kAtlasGpsOn = 32785;
constexpr unsigned kAtlasGpsOff = 32786;
constexpr unsigned kAtlasDetailMap = 32797;
constexpr unsigned kAtlasCentering = 32810;
constexpr unsigned kAtlasScaleBase = 40959;  // + the [View] menu number

// Commands to Navin' You.
constexpr unsigned kNavinRouteList = 32833;
constexpr unsigned kNavinRouteClear = 32835;
constexpr unsigned kNavinGpsV1 = 32864;
constexpr unsigned kNavinGpsV2 = 32860;
constexpr unsigned kNavinCenteringV1 = 32865;
constexpr unsigned kNavinCenteringV2 = 32861;
constexpr unsigned kNavinSettingsV1 = 32869;
constexpr unsigned kNavinSettingsV2 = 32866;
constexpr unsigned kNavinFirstDocument = 65280;
constexpr unsigned kNavinSecondDocument = 65281;
constexpr unsigned kNavinMapMatch = 32907;
constexpr unsigned kProAtlasScaleBase = 32943;  // + the scale menu number

// Navin' You's own buttons whose command ids changed with version 2.0.
enum class NavinButton { Gps, Centering, SettingsSheet };
constexpr std::optional<unsigned> navinButtonCommand(NavinVersion version, NavinButton button) {
  if (version == NavinVersion::Unknown) return std::nullopt;
  const bool v1 = version == NavinVersion::V1;
  switch (button) {
    case NavinButton::Gps:
      return v1 ? kNavinGpsV1 : kNavinGpsV2;
    case NavinButton::Centering:
      return v1 ? kNavinCenteringV1 : kNavinCenteringV2;
    case NavinButton::SettingsSheet:
      return v1 ? kNavinSettingsV1 : kNavinSettingsV2;
  }
  return std::nullopt;
}

// A stored menu number as a command: 0 means "not set", sending nothing.
constexpr unsigned atlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + kAtlasScaleBase;
}
constexpr unsigned proAtlasScaleCommand(int menuNumber) {
  return menuNumber == 0 ? 0 : static_cast<unsigned>(menuNumber) + kProAtlasScaleBase;
}

// Commands to the side programs.
constexpr unsigned kGpsPlayerCommand = 119;  // to "GPSPLAYER"
constexpr unsigned kSViewCommand = 14;       // to "SViewClass"

// Click positions in the target's client coordinates.
struct ClientPoint {
  int x;
  int y;
};
inline constexpr ClientPoint kUpperScaleArrow{7, 2};   // Navin' You's "msctls_updown32"
inline constexpr ClientPoint kLowerScaleArrow{7, 26};
inline constexpr ClientPoint kSheetTab{158, 7};        // the settings sheet's tab,
inline constexpr ClientPoint kSheetCheckbox{21, 5};    // its map-match checkbox
inline constexpr ClientPoint kSheetOk{2, 2};           // and its OK button

}  // namespace tabiro
