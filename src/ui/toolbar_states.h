// The toolbar's look in each state the handlers put it into. Each function
// changes only the buttons its state is about, in the order the toolbar has
// always changed them; a handler that talks to a map program between two
// steps of one change calls two functions around it.
#pragma once

#include "core/modes.h"
#include "platform/ports.h"

namespace tabiro {

// --- Start-up ---

// Every button's first set; the GPS-only buttons out of use.
void showStartSets(ToolbarView& view);
// A start-up row: the map in front gives the zoom and map switch sets; one map
// at a time leaves linked GPS out of use; the route buttons work with Navin'
// You in front only. A mode the program never writes leaves the toolbar as is.
void showStartupRow(ToolbarView& view, MapMode mapMode, MapInFront front);

// --- GPS ---

// Navin' You's GPS started by the GPS button: the GPS-only buttons usable,
// linked GPS not, the arrows correcting the map-matched position.
void showNavinGpsOn(ToolbarView& view);
// Navin' You's GPS stopped: the arrows scroll again, guidance and SView out of
// use; linked GPS usable again with both maps at once.
void showNavinGpsOff(ToolbarView& view, bool linkedGpsUsable);
// Linked GPS started: as GPS on in Navin' You, with the GPS button out of use.
void showLinkedGpsOn(ToolbarView& view);
// Linked GPS stopped: as GPS off in Navin' You, with the GPS button back.
void showLinkedGpsOff(ToolbarView& view);

// ATLAS's GPS, before and after ATLAS is told: linked GPS and the arrows go
// out of use first, then centring comes into use.
void showAtlasGpsStarting(ToolbarView& view);
void showAtlasGpsOn(ToolbarView& view);
// The reverse: linked GPS (with both maps at once) and the arrows back first,
// then centring shown on and out of use.
void showAtlasGpsStopping(ToolbarView& view, bool linkedGpsUsable);
void showAtlasGpsOff(ToolbarView& view);

// A receiver gives positions: guidance and AD usable while it runs.
void showReceiverGps(ToolbarView& view, bool running);

// --- Centring ---

// Navin' You's centring toggled: its button shows the new state.
void showNavinCentering(ToolbarView& view, bool on);
// ATLAS's centring toggled. With linked GPS the arrows correct while centring
// is on and scroll while it is off; with ATLAS's own GPS they are usable only
// while it is off.
void showAtlasCentering(ToolbarView& view, bool on, bool linkedGps);

// --- Guidance ---

void showGuidanceOn(ToolbarView& view);
void showGuidanceOff(ToolbarView& view);

// --- Map switch ---

// Navin' You 2.0 alone shows its ProAtlas document or its own map.
void showNavinDocument(ToolbarView& view, bool proAtlas);

// One map at a time: the layout of the map program about to replace the
// other, then, once it is launched, the map switch naming it.
void showNavinYouAlone(ToolbarView& view);
void showAtlasAlone(ToolbarView& view);
void showMapRestarted(ToolbarView& view, MapInFront front);

// Both maps at once: the zoom sets of the map coming to the front first.
void showZoomSets(ToolbarView& view, MapInFront front);
// ATLAS's GPS stopped by the switch: centring shown on and out of use; with
// both maps at once the buttons that need GPS too.
void showGpsStoppedBySwitch(ToolbarView& view, bool bothMaps);
// GPS off after the switch: the arrows scroll and linked GPS is usable. With
// ATLAS coming to the front its own GPS was never on, so the switch also
// takes the buttons that need GPS and centring out of use.
void showNavinYouBesideAtlas(ToolbarView& view);
void showAtlasBesideNavinYou(ToolbarView& view);
// Linked GPS keeps running through the switch.
void showLinkedGpsKept(ToolbarView& view);
// Then the map switch names the map in front.
void showNavinYouInFront(ToolbarView& view);
void showAtlasInFront(ToolbarView& view);

}  // namespace tabiro
