#include "mapctl/scale_zoom.h"

#include <cstdlib>

#include "core/modes.h"
#include "core/timer_ids.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {

namespace {

WindowHandle viewChild(AppContext& ctx, WindowHandle view, const char* className) {
  return view ? ctx.desktop.findChild(view, kNoWindow, className, nullptr) : kNoWindow;
}

// Posts a ProAtlas scale command to the view of the ProAtlas document shown
// inside Navin' You.
void postProAtlasScale(AppContext& ctx, int menuNumber) {
  const WindowHandle view = findDocumentView(ctx, findNavinDocument(ctx, NavinDocument::ProAtlas));
  if (view && menuNumber != 0) {
    ctx.desktop.post(view, win::kWmCommand, proAtlasScaleCommand(menuNumber), 0);
  }
}

void postAtlasScale(AppContext& ctx, int menuNumber) {
  if (menuNumber != 0) postAtlasCommand(ctx, atlasScaleCommand(menuNumber));
}

// One click on an arrow of Navin' You's own map view.
void clickOwnMapArrow(AppContext& ctx, ClientPoint arrow) {
  const WindowHandle view = findDocumentView(ctx, findNavinDocument(ctx, NavinDocument::Map));
  clickScaleArrow(ctx, viewChild(ctx, view, kUpDownClass), arrow);
}

int readSlider(AppContext& ctx, WindowHandle trackbar) {
  return static_cast<int>(ctx.desktop.send(trackbar, win::kTbmGetPos, 0, 0));
}

void startScaleRaiseTimer(AppContext& ctx) {
  ctx.timers.start(timer::kBringMapToFront, kScaleRaiseTimerMs);
}

}  // namespace

void walkScaleSlider(AppContext& ctx, WindowHandle view, int target) {
  const WindowHandle trackbar = viewChild(ctx, view, kTrackbarClass);
  const WindowHandle upDown = viewChild(ctx, view, kUpDownClass);
  if (!trackbar || !upDown) return;
  int distance = target - readSlider(ctx, trackbar);
  for (int pass = 0; pass < kMaxSliderPasses && std::abs(distance) >= kSliderNear; ++pass) {
    const int clicks = distance / kSliderStepPerClick;
    const ClientPoint arrow = distance < 0 ? kUpperScaleArrow : kLowerScaleArrow;
    for (int i = 0; i < std::abs(clicks); ++i) {
      clickScaleArrow(ctx, upDown, arrow);
      ctx.clock.sleep(kSliderClickPauseMs);
    }
    ctx.clock.sleep(kSliderClickPauseMs);
    const int before = distance;
    distance = target - readSlider(ctx, trackbar);
    if (distance == before) break;  // the slider has not moved
  }
}

void selectFixedScale(AppContext& ctx, const FixedScale& scale) {
  int popup = 0;
  cancelRaiseTimers(ctx);
  activateMapWindow(ctx);
  const int menuNumber = ctx.settings.readInt(scale.menuNumber);
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::Atlas:
      postAtlasScale(ctx, menuNumber);
      break;
    case MapInFront::NavinYou:
      popup = ctx.popups.showStatus(IDD_POPUP_SCALE);
      if (load(ctx.state.atlasDocumentShown) == 1) {
        postProAtlasScale(ctx, menuNumber);
      } else {
        walkScaleSlider(ctx, findDocumentView(ctx, findNavinDocument(ctx, NavinDocument::Map)),
                        scale.sliderTarget);
        startScaleRaiseTimer(ctx);
      }
      break;
    case MapInFront::Unknown:
      break;
  }
  raiseToolbar(ctx);
  if (popup) ctx.popups.closeStatus(popup);
}

void zoomOut(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  activateMapWindow(ctx);
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::Atlas:
      postAtlasCommand(ctx, kAtlasDetailMap);
      break;
    case MapInFront::NavinYou:
      if (load(ctx.state.atlasDocumentShown) == 0) clickOwnMapArrow(ctx, kUpperScaleArrow);
      startScaleRaiseTimer(ctx);
      break;
    case MapInFront::Unknown:
      break;
  }
  raiseToolbar(ctx);
}

void zoomIn(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  ctx.timers.stop(timer::kReserved11);
  activateMapWindow(ctx);
  const int menuNumber = ctx.settings.readInt(key::kScale05);
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::Atlas:
      postAtlasScale(ctx, menuNumber);
      break;
    case MapInFront::NavinYou:
      if (load(ctx.state.atlasDocumentShown) == 1) {
        postProAtlasScale(ctx, menuNumber);
      } else {
        clickOwnMapArrow(ctx, kLowerScaleArrow);
      }
      break;
    case MapInFront::Unknown:
      break;
  }
  raiseToolbar(ctx);
}

}  // namespace tabiro
