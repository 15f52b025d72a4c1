#include "mapctl/display_toggles.h"

#include "core/modes.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "platform/winmsg.h"

namespace tabiro {

namespace {

constexpr const char* kTabControlClass = "SysTabControl32";
constexpr const char* kMapMatchPageTitle = "走行ﾊﾟｽ/ﾏｯﾌﾟﾏｯﾁ";
constexpr const char* kMapMatchCheckboxTitle = "ﾏｯﾌﾟﾏｯﾁを有効にする";
constexpr const char* kOkTitle = "OK";
constexpr int kPollMs = 100;

WindowHandle findNavinMain(AppContext& ctx) {
  return ctx.desktop.findWindow(kNavinYouClass, nullptr);
}

void showNavinMain(AppContext& ctx, int showMode) {
  if (const WindowHandle main = findNavinMain(ctx)) ctx.desktop.show(main, showMode);
}

void bringForward(AppContext& ctx, WindowHandle window) {
  ctx.desktop.bringToTop(window);
  ctx.desktop.setForeground(window);
}

// Waits for SView to open after the GPS player was told to open it, then
// brings it forward; an SView that does not come is given up.
void raiseNewSView(AppContext& ctx) {
  const WindowHandle sview = pollForWindow(
      ctx, [&] { return ctx.desktop.findWindow(kSViewClass, nullptr); }, kPollMs, kToggleWaitMs);
  if (!sview) return;
  ctx.clock.sleep(kSViewSettleMs);
  bringForward(ctx, sview);
}

WindowHandle waitForChild(AppContext& ctx, WindowHandle parent, const char* className,
                          const char* title) {
  return pollForWindow(
      ctx, [&] { return ctx.desktop.findChild(parent, kNoWindow, className, title); },
      kSettingsSheetPollMs, kToggleWaitMs);
}

// Opens Navin' You's settings sheet, turns to its map-matching page and
// toggles the check box there; false when a window did not come in time.
bool toggleMapMatchInSheet(AppContext& ctx) {
  const WindowHandle main = findNavinMain(ctx);
  const std::optional<unsigned> command =
      navinButtonCommand(readNavinVersion(ctx.settings), NavinButton::SettingsSheet);
  if (!main || !command) return false;
  ctx.desktop.bringToTop(main);
  ctx.desktop.post(main, win::kWmCommand, *command, 0);
  ctx.clock.sleep(kSettingsSheetOpenMs);

  const WindowHandle sheet =
      pollForWindow(ctx, [&] { return findNavinSettingsSheet(ctx); }, kSettingsSheetPollMs,
                    kToggleWaitMs);
  if (!sheet) return false;
  ctx.clock.sleep(kSettingsSheetPollMs);

  const WindowHandle tabs = waitForChild(ctx, sheet, kTabControlClass, nullptr);
  if (!tabs) return false;
  ctx.clock.sleep(kSettingsSheetPollMs);
  clickSheetControl(ctx, tabs, kSheetTab);
  ctx.clock.sleep(kSettingsSheetPollMs);

  const WindowHandle page = waitForChild(ctx, sheet, nullptr, kMapMatchPageTitle);
  if (!page) return false;
  ctx.clock.sleep(kSettingsSheetPollMs);
  ctx.desktop.bringToTop(page);

  const WindowHandle checkbox = ctx.desktop.findChild(page, kNoWindow, nullptr, kMapMatchCheckboxTitle);
  ctx.clock.sleep(kSettingsCheckboxMs);
  clickSheetControl(ctx, checkbox, kSheetCheckbox);
  ctx.clock.sleep(kSettingsSheetPollMs);

  const WindowHandle ok = ctx.desktop.findChild(sheet, kNoWindow, nullptr, kOkTitle);
  ctx.clock.sleep(kSettingsSheetPollMs);
  clickSheetControl(ctx, ok, kSheetOk);
  ctx.clock.sleep(kSettingsEndMs);
  return true;
}

}  // namespace

void showGuideWindow(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  if (readMapInFront(ctx.settings) != MapInFront::NavinYou) return;
  if (const WindowHandle guide = findNavinDocument(ctx, NavinDocument::GuideWindow)) {
    ctx.desktop.bringToTop(guide);
  }
}

// Brings the shown map document back over the guide window.
void hideGuideWindow(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  if (readMapInFront(ctx.settings) != MapInFront::NavinYou) return;
  if (readNavinVersion(ctx.settings) == NavinVersion::V2Alone) {
    if (const std::optional<WindowListCommands> commands = readNavinWindowMenu(ctx)) {
      postNavinCommand(ctx, load(ctx.state.atlasDocumentShown) == 1 ? commands->proAtlas
                                                                     : commands->ownMap);
    }
    return;
  }
  if (const WindowHandle map =
          findNavinDocument(ctx, NavinDocument::Map, kGuideHideWalkPauseMs)) {
    ctx.desktop.bringToTop(map);
    ctx.desktop.show(map, win::kSwShowMaximized);
  }
}

void setMapWindowSize(AppContext& ctx, WindowSize size) {
  const int showMode = size == WindowSize::Normal ? win::kSwRestore : win::kSwShowMaximized;
  auto resizeAtlas = [&] {
    if (size == WindowSize::Normal) {
      restoreAtlas(ctx);
    } else {
      maximizeAtlas(ctx);
    }
  };
  if (readNavinVersion(ctx.settings) == NavinVersion::V2Alone) {
    if (const WindowHandle document = findShownNavinDocument(ctx)) {
      ctx.desktop.show(document, showMode);
    }
  } else {
    const MapInFront variant = readMapInFront(ctx.settings);
    switch (readMapMode(ctx.settings)) {
      case MapMode::Simultaneous:  // both programs run: the one in front ends in front
        if (variant == MapInFront::Atlas) {
          showNavinMain(ctx, showMode);
          ctx.clock.sleep(kWindowSizeSettleMs);
          resizeAtlas();
          activateAtlas(ctx);
        } else if (variant == MapInFront::NavinYou) {
          resizeAtlas();
          showNavinMain(ctx, showMode);
          ctx.clock.sleep(kWindowSizeSettleMs);
        }
        break;
      case MapMode::Alternating:
        if (variant == MapInFront::Atlas) {
          resizeAtlas();
          activateAtlas(ctx);
        } else if (variant == MapInFront::NavinYou) {
          showNavinMain(ctx, showMode);
        }
        break;
      case MapMode::Unknown:
        break;
    }
  }
  ctx.clock.sleep(kWindowSizeSettleMs);
  raiseToolbar(ctx);
}

// Mode 1 opens and closes SView; mode 0 opens it, then changes its size, then
// closes it.
void switchSView(AppContext& ctx) {
  const WindowHandle player = ctx.desktop.findWindow(kGpsPlayerClass, nullptr);
  const WindowHandle sview = ctx.desktop.findWindow(kSViewClass, nullptr);
  if (!player) {
    raiseToolbar(ctx);
    return;
  }
  switch (ctx.settings.readInt(key::kSviewMode)) {
    case 1:
      store(ctx.state.sviewState, sview ? 0 : 1);
      ctx.desktop.post(player, win::kWmCommand, kGpsPlayerCommand, 0);
      if (load(ctx.state.sviewState) == 1) raiseNewSView(ctx);
      break;
    case 0:
      if (load(ctx.state.sviewState) == 1) {
        ctx.desktop.post(player, win::kWmCommand, kGpsPlayerCommand, 0);
        store(ctx.state.sviewState, 0);
      } else if (sview) {
        ctx.desktop.post(sview, win::kWmCommand, kSViewCommand, 0);
        ctx.desktop.bringToTop(sview);
        ctx.clock.sleep(kSViewResizeMs);
        store(ctx.state.sviewState, 1);
      } else {
        ctx.desktop.post(player, win::kWmCommand, kGpsPlayerCommand, 0);
        raiseNewSView(ctx);
      }
      break;
    default:
      break;
  }
  raiseToolbar(ctx);
}

void switchMapMatching(AppContext& ctx) {
  if (toggleMapMatchInSheet(ctx)) activateMapWindow(ctx);
  raiseToolbar(ctx);
}

}  // namespace tabiro
