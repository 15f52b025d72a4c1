#include "mapctl/atlas_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PostedCommand;
using testing::Sent;
using testing::Shown;
using testing::TestContext;

// An ATLAS-family window with the two levels of children that hold its view.
struct AtlasWindow {
  WindowHandle frame;
  WindowHandle view;
};

AtlasWindow addAtlas(TestContext& t, const char* className, const char* title) {
  const WindowHandle frame = t.desktop.add(className, title);
  return {frame, t.desktop.add("V", "", t.desktop.add("F", "", frame))};
}

TEST(AtlasDiscovery, BothFramesOpen98WinsExceptForHorizontalArrows) {
  TestContext t;
  const WindowHandle notepad = t.desktop.add("Notepad", "memo");
  const AtlasWindow frame = addAtlas(t, kAtlasFrameClass, "ProAtlas");
  const AtlasWindow frame98 = addAtlas(t, kAtlas98FrameClass, "ProAtlas98");

  postAtlasCommand(t.ctx, kAtlasGpsOff);
  activateAtlas(t.ctx);
  restoreAtlas(t.ctx);
  maximizeAtlas(t.ctx);
  sendAtlasArrowVertical(t.ctx, 1);
  sendAtlasArrowHorizontal(t.ctx, 2);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(PostedCommand(frame98.frame, kAtlasGpsOff),
                          testing::Foreground(frame98.frame), Shown(frame98.frame, 9),
                          Shown(frame98.frame, 3), Sent(frame98.view, win::kWmKeyDown, 38, 0x01480001),
                          Sent(frame.view, win::kWmKeyDown, 39, 0x014D0001)));
  EXPECT_THAT(t.log.messagesTo(notepad), IsEmpty());
}

TEST(AtlasDiscovery, FirstWindowTitledAtlasTakesThePostedCommands) {
  TestContext t;
  const WindowHandle titled = t.desktop.add("AtlasRDClass", "ATLAS RD");
  const WindowHandle frame98 = t.desktop.add(kAtlas98FrameClass, "x");
  postAtlasCommand(t.ctx, win::kCmdAppExit);
  restoreAtlas(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(PostedCommand(titled, win::kCmdAppExit), Shown(frame98, 9)));

  // Enumerated after another window, the frame found by class still wins.
  t.log.clear();
  t.desktop.moveToFront(t.desktop.add("Other", "Notepad"));
  postAtlasCommand(t.ctx, kAtlasDetailMap);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(frame98, kAtlasDetailMap)));
}

TEST(AtlasDiscovery, TitleMustBeginWithAtlasInCapitals) {
  TestContext t;
  t.desktop.add("C", "Atlas road map");
  t.desktop.add("C", "My ATLAS");
  postAtlasCommand(t.ctx, 1);
  activateAtlas(t.ctx);
  sendAtlasArrowHorizontal(t.ctx, 1);
  EXPECT_THAT(t.log.actions(), IsEmpty());

  const WindowHandle w = t.desktop.add("C", "ATLASX");
  postAtlasCommand(t.ctx, 2);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(w, 2)));
}

TEST(AtlasDiscovery, ArrowsToATitledWindowGoOneLevelDeeper) {
  TestContext t;
  const AtlasWindow titled = addAtlas(t, "AtlasRD", "ATLAS RD");
  const WindowHandle inner = t.desktop.add("Inner", "", titled.view);
  sendAtlasArrowVertical(t.ctx, 2);
  sendAtlasArrowHorizontal(t.ctx, 1);
  EXPECT_THAT(t.log.messages(), ElementsAre(Sent(inner, win::kWmKeyDown, 40, 0x01500001),
                                            Sent(inner, win::kWmKeyDown, 37, 0x014B0001)));
}

TEST(AtlasDiscovery, ProbeWaitsForTheInnerViewButNotForEver) {
  TestContext t;
  const WindowHandle frame = t.desktop.add(kAtlasFrameClass, "x");
  const WindowHandle outer = t.desktop.add("F", "", frame);
  t.desktop.atTime(300, [&] { t.desktop.add("V", "", outer); });
  probeAtlasReady(t.ctx);
  EXPECT_EQ(load(t.state.atlasWindowReady), 1);
  EXPECT_EQ(t.clock.nowMs(), 300);

  TestContext titled;
  const WindowHandle w = titled.desktop.add("AtlasRD", "ATLAS RD");
  titled.desktop.atTime(200, [&] { titled.desktop.add("F", "", w); });
  probeAtlasReady(titled.ctx);
  EXPECT_EQ(load(titled.state.atlasWindowReady), 1);

  TestContext never;
  never.desktop.add(kAtlasFrameClass, "x");
  probeAtlasReady(never.ctx);
  EXPECT_EQ(load(never.state.atlasWindowReady), 0);
  EXPECT_GE(never.clock.nowMs(), kAtlasInnerViewWaitMs);
  EXPECT_LT(never.clock.nowMs(), kAtlasInnerViewWaitMs + 1000);

  TestContext none;
  probeAtlasReady(none.ctx);
  EXPECT_THAT(none.log.actions(), IsEmpty());
}

}  // namespace
}  // namespace tabiro
