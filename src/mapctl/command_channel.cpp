#include "mapctl/command_channel.h"

#include "app/timer_ids.h"
#include "app/toolbar_dialog.h"
#include "mapctl/discovery.h"
#include "mapctl/map_commands.h"
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

}  // namespace

unsigned virtualKey(ArrowKey key) { return keyData(key).virtualKey; }

std::intptr_t keyDownData(ArrowKey key) {
  return static_cast<std::intptr_t>(kRepeatOnce | (keyData(key).scanCode << 16) | kExtendedKey);
}

std::intptr_t keyUpData(ArrowKey key) {
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(keyDownData(key)) | kKeyUpBits);
}

void raiseToolbar(AppContext& ctx) {
  if (const WindowHandle toolbar = ctx.desktop.findWindow(nullptr, kToolbarTitle)) {
    ctx.desktop.setForeground(toolbar);
  }
}

void activateMapWindow(AppContext& ctx) {
  switch (readMapVariant(ctx)) {
    case MapVariant::NavinYou:
      if (const WindowHandle navin = ctx.desktop.findWindow(kNavinYouClass, nullptr)) {
        ctx.desktop.setForeground(navin);
      }
      break;
    case MapVariant::Atlas:
      activateAtlas(ctx);
      break;
    case MapVariant::None:
      break;
  }
  ctx.clock.sleep(500);
  if (const WindowHandle sview = ctx.desktop.findWindow(kSViewClass, nullptr)) {
    ctx.desktop.bringToTop(sview);
    ctx.desktop.setForeground(sview);
  }
  ctx.clock.sleep(500);
}

void rearmRaiseTimer(AppContext& ctx) {
  switch (ctx.settings.readInt(key::kGps, 0)) {
    case 1:
      ctx.timers.start(timer::kRaiseAfterGps, 2000);
      break;
    case 2:
      ctx.timers.start(timer::kRaiseAfterLinked, 2000);
      break;
    default:
      break;
  }
}

void sendDialogCommand(AppContext& ctx, WindowHandle dialog, int id, DialogSend how) {
  const auto control = static_cast<std::intptr_t>(ctx.desktop.dialogItem(dialog, id));
  if (how == DialogSend::Sent) {
    ctx.desktop.send(dialog, win::kWmCommand, static_cast<std::uintptr_t>(id), control);
  } else {
    ctx.desktop.post(dialog, win::kWmCommand, static_cast<std::uintptr_t>(id), control);
  }
}

}  // namespace tabiro
