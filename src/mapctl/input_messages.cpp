#include "mapctl/input_messages.h"

#include "platform/winmsg.h"

namespace tabiro {

namespace {

struct KeyData {
  unsigned virtualKey;
  unsigned scanCode;
};

constexpr KeyData keyData(ArrowKey key) {
  switch (key) {
    case ArrowKey::Left:
      return {37, 0x4B};
    case ArrowKey::Up:
      return {38, 0x48};
    case ArrowKey::Right:
      return {39, 0x4D};
    case ArrowKey::Down:
      return {40, 0x50};
  }
  return {0, 0};
}

constexpr std::uint32_t kRepeatOnce = 1;
constexpr std::uint32_t kExtendedKey = 1u << 24;
constexpr std::uint32_t kKeyUpBits = (1u << 30) | (1u << 31);

bool commandNavinYou(AppContext& ctx, unsigned id, bool posted) {
  const WindowHandle navin = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!navin) return false;
  if (posted) {
    ctx.desktop.post(navin, win::kWmCommand, id, 0);
  } else {
    ctx.desktop.send(navin, win::kWmCommand, id, 0);
  }
  return true;
}

std::intptr_t at(ClientPoint point) { return clickPosition(point.x, point.y); }

}  // namespace

unsigned virtualKey(ArrowKey key) { return keyData(key).virtualKey; }

std::intptr_t keyDownData(ArrowKey key) {
  return static_cast<std::intptr_t>(kRepeatOnce | (keyData(key).scanCode << 16) | kExtendedKey);
}

std::intptr_t keyUpData(ArrowKey key) {
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(keyDownData(key)) | kKeyUpBits);
}

bool sendNavinCommand(AppContext& ctx, unsigned id) { return commandNavinYou(ctx, id, false); }

bool postNavinCommand(AppContext& ctx, unsigned id) { return commandNavinYou(ctx, id, true); }

void pressNavinArrow(AppContext& ctx, WindowHandle view, ArrowKey key) {
  if (!view) return;
  ctx.desktop.post(view, win::kWmKeyDown, virtualKey(key), keyDownData(key));
  ctx.clock.sleep(kNavinKeyHoldMs);
  ctx.desktop.post(view, win::kWmKeyUp, virtualKey(key), keyUpData(key));
}

void clickScaleArrow(AppContext& ctx, WindowHandle upDown, ClientPoint arrow) {
  if (upDown) ctx.desktop.send(upDown, win::kWmLButtonDown, win::kMkLButton, at(arrow));
}

void clickMapView(AppContext& ctx, WindowHandle view, MouseButton button, ClientPoint point) {
  if (!view) return;
  const bool left = button == MouseButton::Left;
  ctx.desktop.post(view, left ? win::kWmLButtonDown : win::kWmRButtonDown,
                   left ? win::kMkLButton : win::kMkRButton, at(point));
  ctx.desktop.post(view, left ? win::kWmLButtonUp : win::kWmRButtonUp, 0, at(point));
}

void clickSheetControl(AppContext& ctx, WindowHandle control, ClientPoint point) {
  if (!control) return;
  ctx.desktop.post(control, win::kWmLButtonDown, win::kMkLButton, at(point));
  ctx.clock.sleep(kSheetClickHoldMs);
  ctx.desktop.post(control, win::kWmLButtonUp, win::kMkLButton, at(point));
}

void sendDialogCommand(AppContext& ctx, WindowHandle dialog, int id, DialogSend how) {
  if (!dialog) return;
  const auto control = static_cast<std::intptr_t>(ctx.desktop.dialogItem(dialog, id));
  if (how == DialogSend::Sent) {
    ctx.desktop.send(dialog, win::kWmCommand, static_cast<std::uintptr_t>(id), control);
  } else {
    ctx.desktop.post(dialog, win::kWmCommand, static_cast<std::uintptr_t>(id), control);
  }
}

}  // namespace tabiro
