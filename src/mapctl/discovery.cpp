#include "mapctl/discovery.h"

#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/sjis.h"
#include "platform/winmsg.h"

namespace tabiro {

namespace {

bool hasAtlasTitle(AppContext& ctx, WindowHandle w) {
  return ctx.desktop.windowText(w, kAtlasTitleChars) == kAtlasTitlePrefix;
}

// Which ATLAS window a step addresses when offered the enumerated window W.
enum class AtlasPrecedence {
  TitleFirst,    // W by its title, else a 98 frame, else a frame
  Frame98First,  // a 98 frame, else a frame, else W by its title
  FrameFirst,    // a frame, else a 98 frame, else W by its title
};

struct AtlasChoice {
  WindowHandle target = kNoWindow;  // 0: go on to the next W
  bool titled = false;              // W's own title begins with "ATLAS"
  const char* frameClass = nullptr; // the class the target was found by, if any
};

AtlasChoice chooseAtlas(AppContext& ctx, WindowHandle w, AtlasPrecedence precedence) {
  AtlasChoice choice;
  choice.titled = hasAtlasTitle(ctx, w);
  if (precedence == AtlasPrecedence::TitleFirst && choice.titled) {
    choice.target = w;
    return choice;
  }
  const bool frameFirst = precedence == AtlasPrecedence::FrameFirst;
  for (const char* frameClass : {frameFirst ? kAtlasFrameClass : kAtlas98FrameClass,
                                 frameFirst ? kAtlas98FrameClass : kAtlasFrameClass}) {
    if (const WindowHandle frame = ctx.desktop.findWindow(frameClass, nullptr)) {
      choice.target = frame;
      choice.frameClass = frameClass;
      return choice;
    }
  }
  if (choice.titled) choice.target = w;
  return choice;
}

// Runs one enumeration step: acts on the first window it chooses and stops.
template <typename Act>
void forFirstAtlas(AppContext& ctx, AtlasPrecedence precedence, Act act) {
  for (const WindowHandle w : ctx.desktop.topLevelWindows()) {
    const AtlasChoice choice = chooseAtlas(ctx, w, precedence);
    if (choice.target) {
      act(w, choice);
      return;
    }
  }
}

WindowHandle atlasMapView(AppContext& ctx, const AtlasChoice& choice) {
  WindowHandle view = ctx.desktop.firstChild(ctx.desktop.firstChild(choice.target));
  if (view && choice.titled) view = ctx.desktop.firstChild(view);
  return view;
}

void sendAtlasArrow(AppContext& ctx, AtlasPrecedence precedence, ArrowKey key) {
  forFirstAtlas(ctx, precedence, [&](WindowHandle, const AtlasChoice& choice) {
    if (const WindowHandle view = atlasMapView(ctx, choice)) {
      ctx.desktop.send(view, win::kWmKeyDown, virtualKey(key), keyDownData(key));
    }
  });
}

// The window chosen by its title, or the frame found again by class at
// every look; 0 once it is gone.
WindowHandle chosenAtlasWindow(AppContext& ctx, WindowHandle w, const AtlasChoice& choice) {
  if (!choice.frameClass) return ctx.desktop.exists(w) ? w : kNoWindow;
  return ctx.desktop.findWindow(choice.frameClass, nullptr);
}

// The inner view exists: a child of a window chosen by its title, a
// grandchild of a frame.
bool atlasInnerViewExists(AppContext& ctx, WindowHandle window, const AtlasChoice& choice) {
  if (!choice.frameClass) return ctx.desktop.firstChild(window) != kNoWindow;
  return ctx.desktop.firstChild(ctx.desktop.firstChild(window)) != kNoWindow;
}

WindowHandle findDocumentArea(AppContext& ctx) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  return main ? ctx.desktop.findChild(main, kNoWindow, kMdiClientClass, nullptr) : kNoWindow;
}

}  // namespace

MapVariant readMapVariant(AppContext& ctx) {
  switch (ctx.settings.readInt(key::kMap, 0)) {
    case 0:
      return MapVariant::NavinYou;
    case 1:
      return MapVariant::Atlas;
    default:
      return MapVariant::None;
  }
}

WindowHandle findNavinDocument(AppContext& ctx, NavinDocument kind, int pauseBetweenMs) {
  const WindowHandle area = findDocumentArea(ctx);
  if (!area) return kNoWindow;
  if (kind == NavinDocument::GuideWindow) {
    return ctx.desktop.findChild(area, kNoWindow, nullptr, kGuideWindowTitle);
  }
  for (WindowHandle child = ctx.desktop.firstChild(area); child;
       child = ctx.desktop.nextSibling(child)) {
    const std::string title = ctx.desktop.windowText(child, kDocumentTitleChars);
    const bool proAtlas = sjis::contains(title, kProAtlasTag);
    if (kind == NavinDocument::ProAtlas && proAtlas) return child;
    if (kind == NavinDocument::Map && !proAtlas && !sjis::contains(title, kGuideWindowTitle)) {
      return child;
    }
    if (pauseBetweenMs > 0) ctx.clock.sleep(pauseBetweenMs);
  }
  return kNoWindow;
}

WindowHandle findShownNavinDocument(AppContext& ctx) {
  return findNavinDocument(ctx, load(ctx.state.atlasDocumentShown) == 1 ? NavinDocument::ProAtlas
                                                                          : NavinDocument::Map);
}

WindowHandle findDocumentView(AppContext& ctx, WindowHandle document) {
  return document ? ctx.desktop.findChild(document, kNoWindow, kMapViewClass, nullptr)
                  : kNoWindow;
}

WindowHandle findNavinSettingsSheet(AppContext& ctx) {
  if (const WindowHandle sheet = ctx.desktop.findWindow(nullptr, kSettingsSheetTitle)) {
    return sheet;
  }
  return ctx.desktop.findWindow(nullptr, kSettingsSheetTitleHalfWidth);
}

std::optional<WindowListCommands> readNavinWindowMenu(AppContext& ctx) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return std::nullopt;
  // The walk ends with the last item of the menu bar.
  for (int top = 0;; ++top) {
    const std::optional<std::string> text = ctx.desktop.menuItemText(main, top, -1, kMenuTextChars);
    if (!text) return std::nullopt;
    if (!sjis::contains(*text, kWindowMenuTag)) continue;
    const std::string item =
        ctx.desktop.menuItemText(main, top, kWindowMenuDocumentItem, kMenuTextChars).value_or("");
    if (sjis::contains(item, kProAtlasTag)) {
      return WindowListCommands{kNavinSecondDocument, kNavinFirstDocument};
    }
    return WindowListCommands{kNavinFirstDocument, kNavinSecondDocument};
  }
}

bool probeAtlasReady(AppContext& ctx) {
  bool found = false;
  forFirstAtlas(ctx, AtlasPrecedence::TitleFirst, [&](WindowHandle w, const AtlasChoice& choice) {
    found = true;
    const std::int64_t deadline = ctx.clock.nowMs() + kAtlasInnerViewWaitMs;
    do {
      ctx.clock.sleep(kAtlasProbePollMs);
      const WindowHandle window = chosenAtlasWindow(ctx, w, choice);
      if (!window) return;
      if (atlasInnerViewExists(ctx, window, choice)) {
        store(ctx.state.atlasWindowReady, 1);
        return;
      }
    } while (ctx.clock.nowMs() < deadline);
  });
  return found;
}

bool atlasWindowExists(AppContext& ctx) {
  bool found = false;
  forFirstAtlas(ctx, AtlasPrecedence::TitleFirst, [&](WindowHandle, const AtlasChoice&) {
    found = true;
  });
  return found;
}

void postAtlasCommand(AppContext& ctx, unsigned commandId) {
  forFirstAtlas(ctx, AtlasPrecedence::TitleFirst, [&](WindowHandle, const AtlasChoice& choice) {
    ctx.desktop.post(choice.target, win::kWmCommand, commandId, 0);
  });
}

void activateAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First,
                [&](WindowHandle, const AtlasChoice& choice) {
                  ctx.desktop.setForeground(choice.target);
                });
}

void sendAtlasArrowHorizontal(AppContext& ctx, int direction) {
  sendAtlasArrow(ctx, AtlasPrecedence::FrameFirst, direction == 1 ? ArrowKey::Left : ArrowKey::Right);
}

void sendAtlasArrowVertical(AppContext& ctx, int direction) {
  sendAtlasArrow(ctx, AtlasPrecedence::Frame98First, direction == 1 ? ArrowKey::Up : ArrowKey::Down);
}

void restoreAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First,
                [&](WindowHandle, const AtlasChoice& choice) {
                  ctx.desktop.show(choice.target, win::kSwRestore);
                });
}

void maximizeAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First,
                [&](WindowHandle, const AtlasChoice& choice) {
                  ctx.desktop.show(choice.target, win::kSwShowMaximized);
                });
}

std::optional<unsigned> navinGpsCommand(int version) {
  if (version == 0) return kNavinGpsV1;
  if (version == 1 || version == 2) return kNavinGpsV2;
  return std::nullopt;
}

std::optional<NavinGpsButton> readNavinGpsButton(AppContext& ctx) {
  const std::optional<unsigned> command = navinGpsCommand(ctx.settings.readInt(key::kVer, 0));
  if (!command) return std::nullopt;
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return std::nullopt;
  const WindowHandle toolbar = ctx.desktop.findChild(main, kNoWindow, kNavinToolbarClass, nullptr);
  if (!toolbar) return std::nullopt;
  return NavinGpsButton{*command, ctx.desktop.send(toolbar, win::kTbGetState, *command, 0)};
}

void releaseNavinGps(AppContext& ctx) {
  const std::optional<NavinGpsButton> button = readNavinGpsButton(ctx);
  if (button && button->state == win::kTbStateEnabledChecked) {
    sendNavinCommand(ctx, button->command);
  }
}

}  // namespace tabiro
