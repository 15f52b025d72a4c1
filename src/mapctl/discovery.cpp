#include "mapctl/discovery.h"

#include "mapctl/command_channel.h"
#include "mapctl/map_commands.h"
#include "platform/sjis.h"
#include "platform/winmsg.h"

namespace tabiro {

namespace {

constexpr int kAtlasTitleChars = 6;  // the first five characters
constexpr int kMenuTextChars = 19;   // menu texts are read up to 18 characters
constexpr int kProbePollMs = 100;

bool hasAtlasTitle(AppContext& ctx, WindowHandle w) {
  return ctx.desktop.windowText(w, kAtlasTitleChars) == kAtlasTitlePrefix;
}

// Which ATLAS window a step addresses when it is offered the enumerated
// window `w`; none to go on to the next window.
enum class AtlasPrecedence {
  TitleFirst,     // W by its title, else a 98 frame, else a frame
  Frame98First,   // a 98 frame, else a frame, else W by its title
  FrameFirst,     // a frame, else a 98 frame, else W by its title
};

WindowHandle chooseAtlas(AppContext& ctx, WindowHandle w, AtlasPrecedence precedence) {
  const bool titled = hasAtlasTitle(ctx, w);
  if (precedence == AtlasPrecedence::TitleFirst && titled) return w;
  const WindowHandle frame98 = ctx.desktop.findWindow(kAtlas98FrameClass, nullptr);
  const WindowHandle frame = ctx.desktop.findWindow(kAtlasFrameClass, nullptr);
  const WindowHandle first = precedence == AtlasPrecedence::FrameFirst ? frame : frame98;
  const WindowHandle second = precedence == AtlasPrecedence::FrameFirst ? frame98 : frame;
  if (first) return first;
  if (second) return second;
  return titled ? w : kNoWindow;
}

// Runs one enumeration step: acts on the first window it chooses and stops.
template <typename Act>
void forFirstAtlas(AppContext& ctx, AtlasPrecedence precedence, Act act) {
  for (const WindowHandle w : ctx.desktop.topLevelWindows()) {
    if (const WindowHandle target = chooseAtlas(ctx, w, precedence)) {
      act(w, target);
      return;
    }
  }
}

WindowHandle atlasMapView(AppContext& ctx, WindowHandle w, WindowHandle target) {
  WindowHandle view = ctx.desktop.firstChild(ctx.desktop.firstChild(target));
  if (view && hasAtlasTitle(ctx, w)) view = ctx.desktop.firstChild(view);
  return view;
}

void sendAtlasArrow(AppContext& ctx, AtlasPrecedence precedence, ArrowKey key) {
  forFirstAtlas(ctx, precedence, [&](WindowHandle w, WindowHandle target) {
    if (const WindowHandle view = atlasMapView(ctx, w, target)) {
      ctx.desktop.send(view, win::kWmKeyDown, virtualKey(key), keyDownData(key));
    }
  });
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

WindowHandle findNavinDocument(AppContext& ctx, NavinDocument kind) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  const WindowHandle area =
      main ? ctx.desktop.findChild(main, kNoWindow, kMdiClientClass, nullptr) : kNoWindow;
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
  }
  return kNoWindow;
}

WindowHandle findShownNavinDocument(AppContext& ctx) {
  return findNavinDocument(ctx, load(ctx.state.atlasDocumentShown) == 1 ? NavinDocument::ProAtlas
                                                                          : NavinDocument::Map);
}

std::optional<WindowListCommands> readNavinWindowMenu(AppContext& ctx) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return std::nullopt;
  // The walk ends at the last item of the menu bar.
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

void probeAtlasReady(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::TitleFirst, [&](WindowHandle w, WindowHandle target) {
    const bool byTitle = target == w && hasAtlasTitle(ctx, w);
    const char* frameClass =
        ctx.desktop.findWindow(kAtlas98FrameClass, nullptr) ? kAtlas98FrameClass : kAtlasFrameClass;
    const std::int64_t deadline = ctx.clock.nowMs() + kAtlasInnerViewWaitMs;
    for (;;) {
      ctx.clock.sleep(kProbePollMs);
      const bool ready = byTitle ? ctx.desktop.firstChild(w) != kNoWindow
                                 : ctx.desktop.firstChild(ctx.desktop.firstChild(
                                       ctx.desktop.findWindow(frameClass, nullptr))) != kNoWindow;
      if (ready) {
        store(ctx.state.atlasWindowReady, 1);
        return;
      }
      if (ctx.clock.nowMs() >= deadline) return;
    }
  });
}

void postAtlasCommand(AppContext& ctx, unsigned commandId) {
  forFirstAtlas(ctx, AtlasPrecedence::TitleFirst, [&](WindowHandle, WindowHandle target) {
    ctx.desktop.post(target, win::kWmCommand, commandId, 0);
  });
}

void activateAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First,
                [&](WindowHandle, WindowHandle target) { ctx.desktop.setForeground(target); });
}

void sendAtlasArrowHorizontal(AppContext& ctx, int direction) {
  sendAtlasArrow(ctx, AtlasPrecedence::FrameFirst, direction == 1 ? ArrowKey::Left : ArrowKey::Right);
}

void sendAtlasArrowVertical(AppContext& ctx, int direction) {
  sendAtlasArrow(ctx, AtlasPrecedence::Frame98First, direction == 1 ? ArrowKey::Up : ArrowKey::Down);
}

void restoreAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First, [&](WindowHandle, WindowHandle target) {
    ctx.desktop.show(target, win::kSwRestore);
  });
}

void maximizeAtlas(AppContext& ctx) {
  forFirstAtlas(ctx, AtlasPrecedence::Frame98First, [&](WindowHandle, WindowHandle target) {
    ctx.desktop.show(target, win::kSwShowMaximized);
  });
}

std::optional<unsigned> navinGpsCommand(int version) {
  if (version == 0) return kNavinGpsV1;
  if (version == 1 || version == 2) return kNavinGpsV2;
  return std::nullopt;
}

void releaseNavinGps(AppContext& ctx) {
  const std::optional<unsigned> command = navinGpsCommand(ctx.settings.readInt(key::kVer, 0));
  if (!command) return;
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return;
  const WindowHandle toolbar = ctx.desktop.findChild(main, kNoWindow, kNavinToolbarClass, nullptr);
  if (!toolbar) return;
  if (ctx.desktop.send(toolbar, win::kTbGetState, *command, 0) == win::kTbStateEnabledChecked) {
    ctx.desktop.send(main, win::kWmCommand, *command, 0);
  }
}

}  // namespace tabiro
