// Bitmap sets of the toolbar buttons. A set X is the resources X+"U" (up),
// X+"D" (down), X+"F" (focus) and X+"X" (disabled).
#pragma once

#include <array>

#include "resource.h"

namespace tabiro {

struct ButtonSet {
  int id;
  const char* set;
  bool withDisabled;
};

// Every bitmap set the toolbar shows, by what it means.
namespace bitmaps {
inline constexpr const char* kGps = "G";
inline constexpr const char* kLinkedGps = "G1";
inline constexpr const char* kGpsRelief = "C1";
inline constexpr const char* kGuideShow = "C";
inline constexpr const char* kGuideHide = "H";
inline constexpr const char* kCenteringOn = "T";
inline constexpr const char* kCenteringOff = "T1";
inline constexpr const char* kAddCamera = "AD";
inline constexpr const char* kSview = "SV";
inline constexpr const char* kMapMatch = "IS";
inline constexpr const char* kRouteList = "ROOT";
inline constexpr const char* kRouteClear = "ROOTC";
inline constexpr const char* kNavigation = "OT";
inline constexpr const char* kNavigationOn = "OTON";
inline constexpr const char* kWaypointPrev = "WB";
inline constexpr const char* kWaypointNext = "WN";
inline constexpr const char* kScrollLeft = "L";
inline constexpr const char* kScrollUp = "U1";
inline constexpr const char* kScrollDown = "ST";
inline constexpr const char* kScrollRight = "R";
inline constexpr const char* kCorrectLeft = "LM";
inline constexpr const char* kCorrectUp = "U1M";
inline constexpr const char* kCorrectDown = "STM";
inline constexpr const char* kCorrectRight = "RM";
inline constexpr const char* kWindowNormal = "NO";
inline constexpr const char* kWindowMax = "MAX";
inline constexpr const char* kMapSwitchAtlasInFront = "M0";
inline constexpr const char* kMapSwitchNavinInFront = "M1";
inline constexpr const char* kNavinZoomOut = "W";
inline constexpr const char* kNavinZoomIn = "U";
inline constexpr const char* kAtlasZoomOut = "SS";
inline constexpr const char* kProAtlasZoomOut = "X";
inline constexpr const char* kAtlasZoomIn = "SK5";
inline constexpr const char* kScale200k = "SK1";
inline constexpr const char* kScale70k = "SK2";
inline constexpr const char* kScale20k = "SK3";
inline constexpr const char* kScale10k = "SK4";
}  // namespace bitmaps

// The arrows' sets while they correct the map-matched position and while they
// scroll.
inline constexpr ButtonSet kCorrectionSets[] = {{IDC_LEFT, bitmaps::kCorrectLeft, false},
                                                {IDC_UP, bitmaps::kCorrectUp, false},
                                                {IDC_DOWN, bitmaps::kCorrectDown, false},
                                                {IDC_RIGHT, bitmaps::kCorrectRight, false}};
inline constexpr ButtonSet kScrollSets[] = {{IDC_LEFT, bitmaps::kScrollLeft, true},
                                            {IDC_UP, bitmaps::kScrollUp, true},
                                            {IDC_DOWN, bitmaps::kScrollDown, true},
                                            {IDC_RIGHT, bitmaps::kScrollRight, true}};

// Buttons that only make sense while GPS runs in the map program: disabled
// at start, enabled by GPS start in this order.
inline constexpr int kGpsOnlyButtons[] = {IDC_GUIDE_SHOW, IDC_GPS_RELIEF, IDC_GUIDE_HIDE,
                                          IDC_ADD_CAMERA, IDC_CENTERING,  IDC_NAVIGATION,
                                          IDC_SVIEW};

// The sets every button starts with; the scale, zoom and map switch buttons
// get theirs by map mode.
inline constexpr std::array<ButtonSet, 20> kStartSets{{
    {IDC_GPS, bitmaps::kGps, true},
    {IDC_LINKED_GPS, bitmaps::kLinkedGps, true},
    {IDC_GPS_RELIEF, bitmaps::kGpsRelief, true},
    {IDC_GUIDE_SHOW, bitmaps::kGuideShow, true},
    {IDC_GUIDE_HIDE, bitmaps::kGuideHide, true},
    {IDC_CENTERING, bitmaps::kCenteringOn, true},
    {IDC_ADD_CAMERA, bitmaps::kAddCamera, true},
    {IDC_SVIEW, bitmaps::kSview, true},
    {IDC_MAP_MATCH, bitmaps::kMapMatch, true},
    {IDC_ROUTE_LIST, bitmaps::kRouteList, true},
    {IDC_ROUTE_CLEAR, bitmaps::kRouteClear, true},
    {IDC_NAVIGATION, bitmaps::kNavigation, true},
    {IDC_WAYPOINT_PREV, bitmaps::kWaypointPrev, false},
    {IDC_WAYPOINT_NEXT, bitmaps::kWaypointNext, false},
    {IDC_LEFT, bitmaps::kScrollLeft, true},
    {IDC_UP, bitmaps::kScrollUp, true},
    {IDC_DOWN, bitmaps::kScrollDown, true},
    {IDC_RIGHT, bitmaps::kScrollRight, true},
    {IDC_WINDOW_NORMAL, bitmaps::kWindowNormal, false},
    {IDC_WINDOW_MAX, bitmaps::kWindowMax, false},
}};

}  // namespace tabiro
