#include "mapctl/discovery.h"

#include "mapctl/map_commands.h"
#include "platform/sjis.h"

namespace tabiro {

namespace {

WindowHandle findDocumentArea(AppContext& ctx) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  return main ? ctx.desktop.findChild(main, kNoWindow, kMdiClientClass, nullptr) : kNoWindow;
}

}  // namespace

WindowHandle pollForWindow(AppContext& ctx, const std::function<WindowHandle()>& find, int pollMs,
                           int timeoutMs) {
  const std::int64_t deadline = ctx.clock.nowMs() + timeoutMs;
  for (;;) {
    if (const WindowHandle window = find()) return window;
    if (ctx.clock.nowMs() >= deadline) return kNoWindow;
    ctx.clock.sleep(pollMs);
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

}  // namespace tabiro
