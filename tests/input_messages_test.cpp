#include "mapctl/input_messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/test_context.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Posted;
using testing::PostedCommand;
using testing::Sent;
using testing::Sleep;
using testing::TestContext;

TEST(InputMessages, KeyDataAndClickPositions) {
  EXPECT_EQ(keyDownData(ArrowKey::Left), 0x014B0001);
  EXPECT_EQ(keyDownData(ArrowKey::Up), 0x01480001);
  EXPECT_EQ(keyDownData(ArrowKey::Right), 0x014D0001);
  EXPECT_EQ(keyUpData(ArrowKey::Down), 0xC1500001);  // bits 30 and 31, not sign-extended
  EXPECT_EQ(virtualKey(ArrowKey::Down), 40u);
  EXPECT_EQ(clickPosition(7, 26), 0x001A0007);
  EXPECT_EQ(clickPosition(-1, 2), 0x0002FFFF);
}

TEST(InputMessages, MenuNumbersBecomeCommandsAndZeroSendsNothing) {
  EXPECT_EQ(atlasScaleCommand(1), 40960u);
  EXPECT_EQ(atlasScaleCommand(10), 40969u);
  EXPECT_EQ(proAtlasScaleCommand(10), 32953u);
  EXPECT_EQ(atlasScaleCommand(0), 0u);
  EXPECT_EQ(proAtlasScaleCommand(0), 0u);

  // "20" = 3: 40962 to the ATLAS window, 32946 to the ProAtlas document's view.
  TestContext t;
  t.settings.writeInt(key::kScale20, 3);
  const WindowHandle atlas = t.desktop.add(kAtlasFrameClass, "ProAtlas");
  postAtlasCommand(t.ctx, atlasScaleCommand(t.settings.readInt(key::kScale20)));
  const WindowHandle main = t.desktop.add(kNavinYouClass);
  const WindowHandle area = t.desktop.add(kMdiClientClass, "", main);
  const WindowHandle view = t.desktop.add(kMapViewClass, "", t.desktop.add("D", "ProAtlas", area));
  store(t.state.atlasDocumentShown, 1);
  EXPECT_EQ(findDocumentView(t.ctx, findShownNavinDocument(t.ctx)), view);
  EXPECT_EQ(proAtlasScaleCommand(t.settings.readInt(key::kScale20)), 32946u);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(atlas, 40962)));
}

TEST(InputMessages, NavinArrowsAndClicksArePostedOrSentAsTheProgramExpects) {
  TestContext t;
  const WindowHandle view = t.desktop.add(kMapViewClass);
  const WindowHandle upDown = t.desktop.add(kUpDownClass);
  pressNavinArrow(t.ctx, view, ArrowKey::Up);
  clickScaleArrow(t.ctx, upDown, kLowerScaleArrow);
  clickMapView(t.ctx, view, MouseButton::Right, {100, 50});
  clickSheetControl(t.ctx, view, kSheetTab);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(Posted(view, win::kWmKeyDown, 38, 0x01480001), Sleep(300),
                          Posted(view, win::kWmKeyUp, 38, 0xC1480001),
                          Sent(upDown, win::kWmLButtonDown, win::kMkLButton, clickPosition(7, 26)),
                          Posted(view, win::kWmRButtonDown, win::kMkRButton, clickPosition(100, 50)),
                          Posted(view, win::kWmRButtonUp, 0, clickPosition(100, 50)),
                          Posted(view, win::kWmLButtonDown, win::kMkLButton, clickPosition(158, 7)),
                          Sleep(50),
                          Posted(view, win::kWmLButtonUp, win::kMkLButton, clickPosition(158, 7))));

  t.log.clear();
  pressNavinArrow(t.ctx, kNoWindow, ArrowKey::Up);
  clickMapView(t.ctx, kNoWindow, MouseButton::Left, {1, 1});
  EXPECT_THAT(t.log.actions(), IsEmpty());
}

TEST(InputMessages, DialogButtonsCarryTheirControlHandle) {
  TestContext t;
  const WindowHandle confirm = t.desktop.add("#32770", kRouteConfirmTitle);
  const WindowHandle yes = t.desktop.add("Button", "はい", confirm, kRouteConfirmYes);
  const WindowHandle select = t.desktop.add("#32770", kRouteSelectTitle);
  sendDialogCommand(t.ctx, confirm, kRouteConfirmYes, DialogSend::Posted);
  sendDialogCommand(t.ctx, select, kRouteSelectCancel, DialogSend::Sent);
  sendDialogCommand(t.ctx, kNoWindow, kRouteConfirmNo, DialogSend::Sent);
  EXPECT_THAT(t.log.messages(),
              ElementsAre(Posted(confirm, win::kWmCommand, kRouteConfirmYes, static_cast<std::intptr_t>(yes)),
                          Sent(select, win::kWmCommand, kRouteSelectCancel, 0)));
}

TEST(InputMessages, NavinCommandsGoToTheMainWindowOnlyWhenItExists) {
  TestContext t;
  EXPECT_FALSE(postNavinCommand(t.ctx, kNavinSettingsV1));
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  EXPECT_TRUE(postNavinCommand(t.ctx, kNavinSettingsV1));
  EXPECT_TRUE(sendNavinCommand(t.ctx, kNavinRouteList));
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(navin, kNavinSettingsV1),
                                            testing::SentCommand(navin, kNavinRouteList)));
}

}  // namespace
}  // namespace tabiro
