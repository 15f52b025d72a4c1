#include "fakes/map_scene.h"

#include <algorithm>

#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro::testing {

namespace {
constexpr int kSliderMin = -360;
constexpr int kSliderMax = 0;
constexpr int kUpDownHeight = 30;
}  // namespace

NavinScene::NavinScene(TestContext& t)
    : main(t.desktop.add(kNavinYouClass, "Navin' You")),
      area(t.desktop.add(kMdiClientClass, "", main)),
      t_(t) {}

WindowHandle NavinScene::addDocument(const std::string& title) {
  return t_.desktop.add("Afx:Document", title, area);
}

FakeMapView NavinScene::addMapDocument(const std::string& title, int sliderPos, int step) {
  FakeMapView v;
  v.document = addDocument(title);
  v.view = t_.desktop.add(kMapViewClass, "", v.document);
  v.trackbar = t_.desktop.add(kTrackbarClass, "", v.view);
  v.upDown = t_.desktop.add(kUpDownClass, "", v.view);
  sliderPos_ = sliderPos;
  t_.desktop.answer(v.trackbar, win::kTbmGetPos,
                    [this](std::uintptr_t, std::intptr_t) { return sliderPos_; });
  // The upper half of the arrows moves towards -360, the lower half towards 0.
  t_.desktop.answer(v.upDown, win::kWmLButtonDown, [this, step](std::uintptr_t, std::intptr_t at) {
    const int y = static_cast<int>((at >> 16) & 0xFFFF);
    sliderPos_ = std::clamp(sliderPos_ + (y < kUpDownHeight / 2 ? -step : step), kSliderMin,
                            kSliderMax);
    return 0;
  });
  return v;
}

FakeAtlas addAtlas98(TestContext& t) {
  const WindowHandle frame = t.desktop.add(kAtlas98FrameClass, "ProAtlas98 - 関東");
  return {frame, t.desktop.add("View", "地図", t.desktop.add("Client", "", frame))};
}

}  // namespace tabiro::testing
