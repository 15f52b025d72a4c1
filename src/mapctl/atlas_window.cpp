#include "mapctl/atlas_window.h"

#include <cstdint>

#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
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

}  // namespace

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

}  // namespace tabiro
