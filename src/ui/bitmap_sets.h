// Bitmap sets of the toolbar buttons. A set X is the resources X+"U" (up),
// X+"D" (down), X+"F" (focus) and X+"X" (disabled).
#pragma once

#include <array>

#include "platform/ports.h"
#include "resource.h"

namespace tabiro {

struct ButtonSet {
  int id;
  const char* set;
  bool withDisabled;
};

inline void loadSet(ToolbarView& view, const ButtonSet& b) {
  view.loadBitmapSet(b.id, b.set, b.withDisabled);
}

// The sets every button starts with; the scale, zoom and map switch buttons
// get theirs by map mode.
inline constexpr std::array<ButtonSet, 20> kStartSets{{
    {IDC_GPS, "G", true},
    {IDC_LINKED_GPS, "G1", true},
    {IDC_GPS_RELIEF, "C1", true},
    {IDC_GUIDE_SHOW, "C", true},
    {IDC_GUIDE_HIDE, "H", true},
    {IDC_CENTERING, "T", true},
    {IDC_ADD_CAMERA, "AD", true},
    {IDC_SVIEW, "SV", true},
    {IDC_MAP_MATCH, "IS", true},
    {IDC_ROUTE_LIST, "ROOT", true},
    {IDC_ROUTE_CLEAR, "ROOTC", true},
    {IDC_NAVIGATION, "OT", true},
    {IDC_WAYPOINT_PREV, "WB", false},
    {IDC_WAYPOINT_NEXT, "WN", false},
    {IDC_LEFT, "L", true},
    {IDC_UP, "U1", true},
    {IDC_DOWN, "ST", true},
    {IDC_RIGHT, "R", true},
    {IDC_WINDOW_NORMAL, "NO", false},
    {IDC_WINDOW_MAX, "MAX", false},
}};

}  // namespace tabiro
