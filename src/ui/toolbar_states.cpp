#include "ui/toolbar_states.h"

#include <initializer_list>
#include <optional>

#include "resource.h"
#include "ui/bitmap_sets.h"

namespace tabiro {

namespace {

// A button redraws at once when it gets the focus; the toolbar has no other
// way to repaint one button.
void repaint(ToolbarView& view, int id) { view.focus(id); }

// A new set with its disabled picture, shown at once.
void loadAndRepaint(ToolbarView& view, int id, const char* set) {
  view.loadBitmapSet(id, set, true);
  repaint(view, id);
}

void loadSet(ToolbarView& view, const ButtonSet& b) {
  view.loadBitmapSet(b.id, b.set, b.withDisabled);
}

constexpr int kArrows[] = {IDC_LEFT, IDC_UP, IDC_DOWN, IDC_RIGHT};

// The buttons that need positions from GPS to do anything.
constexpr int kNeedingGps[] = {IDC_GUIDE_SHOW, IDC_GPS_RELIEF, IDC_GUIDE_HIDE, IDC_ADD_CAMERA};

void enableAll(ToolbarView& view, std::initializer_list<int> ids, bool enabled) {
  for (const int id : ids) view.enable(id, enabled);
}

template <std::size_t N>
void enableAll(ToolbarView& view, const int (&ids)[N], bool enabled) {
  for (const int id : ids) view.enable(id, enabled);
}

enum class ArrowRole { Correction, Scroll };

void showArrowSets(ToolbarView& view, ArrowRole role) {
  for (const ButtonSet& b : role == ArrowRole::Correction ? kCorrectionSets : kScrollSets) {
    loadSet(view, b);
    repaint(view, b.id);
  }
}

void showArrows(ToolbarView& view, ArrowRole role) {
  showArrowSets(view, role);
  enableAll(view, kArrows, true);
}

void showCenteringOn(ToolbarView& view) {
  loadAndRepaint(view, IDC_CENTERING, bitmaps::kCenteringOn);
}

void showCenteringOff(ToolbarView& view) {
  loadAndRepaint(view, IDC_CENTERING, bitmaps::kCenteringOff);
}

// Without the repaint: the switch's later focus changes redraw it.
void showCenteringUnusable(ToolbarView& view) {
  view.loadBitmapSet(IDC_CENTERING, bitmaps::kCenteringOn, true);
  view.enable(IDC_CENTERING, false);
}

void enableRouteButtons(ToolbarView& view, bool enabled) {
  view.enable(IDC_ROUTE_LIST, enabled);
  view.enable(IDC_ROUTE_CLEAR, enabled);
}

void showNavinZoomSets(ToolbarView& view) {
  loadAndRepaint(view, IDC_ZOOM_OUT, bitmaps::kNavinZoomOut);
  loadAndRepaint(view, IDC_ZOOM_IN, bitmaps::kNavinZoomIn);
}

void showAtlasZoomSets(ToolbarView& view, const char* zoomOut) {
  loadAndRepaint(view, IDC_ZOOM_OUT, zoomOut);
  loadAndRepaint(view, IDC_ZOOM_IN, bitmaps::kAtlasZoomIn);
}

const char* mapSwitchSet(MapInFront front) {
  return front == MapInFront::Atlas ? bitmaps::kMapSwitchAtlasInFront
                                    : bitmaps::kMapSwitchNavinInFront;
}

// GPS stopped in Navin' You, alone or linked, with the GPS button the stop
// gives back, if any.
void showGpsOff(ToolbarView& view, std::optional<int> givenBack) {
  enableAll(view, kNeedingGps, false);
  showCenteringOn(view);
  view.enable(IDC_CENTERING, false);
  if (givenBack) view.enable(*givenBack, true);
  showArrowSets(view, ArrowRole::Scroll);
  enableAll(view, {IDC_NAVIGATION, IDC_SVIEW}, false);
  view.focus(IDC_GPS);
}

}  // namespace

void showStartSets(ToolbarView& view) {
  for (const ButtonSet& b : kStartSets) loadSet(view, b);
  enableAll(view, kGpsOnlyButtons, false);
}

void showStartupRow(ToolbarView& view, MapMode mapMode, MapInFront front) {
  if (mapMode == MapMode::Unknown || front == MapInFront::Unknown) return;
  const bool atlas = front == MapInFront::Atlas;
  if (atlas) {
    showAtlasZoomSets(view, bitmaps::kAtlasZoomOut);
  } else {
    showNavinZoomSets(view);
  }
  view.loadBitmapSet(IDC_MAP_SWITCH, mapSwitchSet(front), true);
  loadAndRepaint(view, IDC_SCALE_200K, bitmaps::kScale200k);
  loadAndRepaint(view, IDC_SCALE_70K, bitmaps::kScale70k);
  loadAndRepaint(view, IDC_SCALE_20K, bitmaps::kScale20k);
  loadAndRepaint(view, IDC_SCALE_10K, bitmaps::kScale10k);
  if (atlas) repaint(view, IDC_ZOOM_IN);
  if (mapMode == MapMode::Alternating) view.enable(IDC_LINKED_GPS, false);
  if (atlas) enableRouteButtons(view, false);
}

void showNavinGpsOn(ToolbarView& view) {
  enableAll(view, kGpsOnlyButtons, true);
  view.enable(IDC_LINKED_GPS, false);
  showArrows(view, ArrowRole::Correction);
  view.focus(IDC_GPS);
}

void showNavinGpsOff(ToolbarView& view, bool linkedGpsUsable) {
  showGpsOff(view, linkedGpsUsable ? std::optional<int>(IDC_LINKED_GPS) : std::nullopt);
}

void showLinkedGpsOn(ToolbarView& view) {
  enableAll(view, kGpsOnlyButtons, true);
  showArrows(view, ArrowRole::Correction);
  view.enable(IDC_GPS, false);
  view.focus(IDC_LINKED_GPS);
}

void showLinkedGpsOff(ToolbarView& view) { showGpsOff(view, IDC_GPS); }

void showAtlasGpsStarting(ToolbarView& view) {
  view.enable(IDC_LINKED_GPS, false);
  enableAll(view, kArrows, false);
}

void showAtlasGpsOn(ToolbarView& view) {
  view.enable(IDC_CENTERING, true);
  view.focus(IDC_GPS);
}

void showAtlasGpsStopping(ToolbarView& view, bool linkedGpsUsable) {
  if (linkedGpsUsable) view.enable(IDC_LINKED_GPS, true);
  enableAll(view, kArrows, true);
}

void showAtlasGpsOff(ToolbarView& view) {
  showCenteringOn(view);
  view.enable(IDC_CENTERING, false);
}

void showReceiverGps(ToolbarView& view, bool running) {
  enableAll(view, {IDC_NAVIGATION, IDC_ADD_CAMERA}, running);
  view.focus(IDC_GPS);
}

void showNavinCentering(ToolbarView& view, bool on) {
  if (on) {
    showCenteringOn(view);
  } else {
    showCenteringOff(view);
  }
  for (const int id : {IDC_GPS, IDC_LINKED_GPS, IDC_CENTERING}) repaint(view, id);
}

void showAtlasCentering(ToolbarView& view, bool on, bool linkedGps) {
  if (on) {
    showCenteringOn(view);
  } else {
    showCenteringOff(view);
  }
  view.focus(IDC_GPS);
  view.focus(IDC_LINKED_GPS);
  if (!linkedGps) {
    enableAll(view, kArrows, !on);
  } else if (on) {
    showArrows(view, ArrowRole::Correction);
  } else {
    showArrowSets(view, ArrowRole::Scroll);
  }
  view.focus(IDC_CENTERING);
}

void showGuidanceOn(ToolbarView& view) {
  // OTON has no disabled image of its own.
  view.loadBitmapSet(IDC_NAVIGATION, bitmaps::kNavigationOn, false);
  view.focus(IDC_GPS);
  view.focus(IDC_NAVIGATION);
  view.enable(IDC_ADD_CAMERA, true);
}

void showGuidanceOff(ToolbarView& view) {
  view.loadBitmapSet(IDC_NAVIGATION, bitmaps::kNavigation, true);
  enableAll(view, {IDC_NAVIGATION, IDC_SVIEW}, false);
  view.focus(IDC_GPS);
  view.focus(IDC_NAVIGATION);
  view.enable(IDC_ADD_CAMERA, false);
}

void showNavinDocument(ToolbarView& view, bool proAtlas) {
  if (proAtlas) {
    showAtlasZoomSets(view, bitmaps::kProAtlasZoomOut);
    view.enable(IDC_ZOOM_OUT, false);
  } else {
    showNavinZoomSets(view);
    view.enable(IDC_ZOOM_OUT, true);
  }
  view.focus(IDC_GPS);
  // ProAtlas in front shows the ATLAS picture of the switch.
  loadAndRepaint(view, IDC_MAP_SWITCH,
                 mapSwitchSet(proAtlas ? MapInFront::Atlas : MapInFront::NavinYou));
}

void showNavinYouAlone(ToolbarView& view) {
  view.enable(IDC_LINKED_GPS, false);
  showNavinZoomSets(view);
  enableRouteButtons(view, true);
  showArrows(view, ArrowRole::Scroll);
}

void showAtlasAlone(ToolbarView& view) {
  view.enable(IDC_LINKED_GPS, false);
  showAtlasZoomSets(view, bitmaps::kAtlasZoomOut);
  showArrows(view, ArrowRole::Scroll);
  enableRouteButtons(view, false);
}

void showMapRestarted(ToolbarView& view, MapInFront front) {
  view.focus(IDC_GPS);
  view.loadBitmapSet(IDC_MAP_SWITCH, mapSwitchSet(front), true);
}

void showZoomSets(ToolbarView& view, MapInFront front) {
  if (front == MapInFront::Atlas) {
    showAtlasZoomSets(view, bitmaps::kAtlasZoomOut);
  } else {
    showNavinZoomSets(view);
  }
}

void showGpsStoppedBySwitch(ToolbarView& view, bool bothMaps) {
  if (bothMaps) enableAll(view, kNeedingGps, false);
  showCenteringUnusable(view);
}

void showNavinYouBesideAtlas(ToolbarView& view) {
  showArrows(view, ArrowRole::Scroll);
  view.enable(IDC_LINKED_GPS, true);
  view.focus(IDC_GPS);
}

void showAtlasBesideNavinYou(ToolbarView& view) {
  showGpsStoppedBySwitch(view, true);
  enableRouteButtons(view, true);
  view.enable(IDC_LINKED_GPS, true);
  showArrows(view, ArrowRole::Scroll);
  view.focus(IDC_GPS);
}

void showLinkedGpsKept(ToolbarView& view) { view.focus(IDC_LINKED_GPS); }

void showNavinYouInFront(ToolbarView& view) {
  view.loadBitmapSet(IDC_MAP_SWITCH, mapSwitchSet(MapInFront::NavinYou), true);
  enableRouteButtons(view, true);
}

void showAtlasInFront(ToolbarView& view) {
  view.loadBitmapSet(IDC_MAP_SWITCH, mapSwitchSet(MapInFront::Atlas), true);
}

}  // namespace tabiro
