#include "mapctl/discovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "mapctl/command_channel.h"
#include "mapctl/map_commands.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using testing::TestContext;

std::string posted(WindowHandle w, unsigned id) {
  return "post " + std::to_string(w) + " 273 " + std::to_string(id) + " 0";
}

TEST(AtlasDiscovery, BothFramesOpen98WinsExceptForHorizontalArrows) {
  TestContext t;
  t.desktop.add("Other", "Notepad");
  const WindowHandle frame = t.desktop.add(kAtlasFrameClass, "ProAtlas");
  const WindowHandle frame98 = t.desktop.add(kAtlas98FrameClass, "ProAtlas98");
  const WindowHandle view98 = t.desktop.add("V", "", t.desktop.add("F", "", frame98));
  const WindowHandle view = t.desktop.add("V", "", t.desktop.add("F", "", frame));

  postAtlasCommand(t.ctx, kAtlasGpsOff);
  activateAtlas(t.ctx);
  sendAtlasArrowVertical(t.ctx, 1);
  sendAtlasArrowHorizontal(t.ctx, 2);
  EXPECT_THAT(t.log.only({"post", "foreground", "send"}),
              ElementsAre(posted(frame98, kAtlasGpsOff), "foreground " + std::to_string(frame98),
                          "send " + std::to_string(view98) + " 256 38 " +
                              std::to_string(0x01480001),
                          "send " + std::to_string(view) + " 256 39 " +
                              std::to_string(0x014D0001)));
}

TEST(AtlasDiscovery, FirstWindowTitledAtlasTakesPostedCommands) {
  TestContext t;
  const WindowHandle titled = t.desktop.add("AtlasRDClass", "ATLAS RD");
  const WindowHandle frame98 = t.desktop.add(kAtlas98FrameClass, "x");
  postAtlasCommand(t.ctx, 57665);
  restoreAtlas(t.ctx);
  EXPECT_THAT(t.log.only({"post", "show"}),
              ElementsAre(posted(titled, 57665), "show " + std::to_string(frame98) + " 9"));
}

TEST(AtlasDiscovery, TitleIsComparedExactlyOnItsFirstFiveCharacters) {
  TestContext t;
  t.desktop.add("C", "Atlas road map");
  postAtlasCommand(t.ctx, 1);
  EXPECT_TRUE(t.log.only({"post"}).empty());
  const WindowHandle w = t.desktop.add("C", "ATLASX");
  postAtlasCommand(t.ctx, 2);
  EXPECT_THAT(t.log.only({"post"}), ElementsAre(posted(w, 2)));
}

TEST(AtlasDiscovery, ProbeWaitsForTheInnerViewButNotForEver) {
  TestContext t;
  const WindowHandle frame = t.desktop.add(kAtlasFrameClass, "x");
  const WindowHandle outer = t.desktop.add("F", "", frame);
  int polls = 0;
  t.clock.onSleep = [&] {
    if (++polls == 3) t.desktop.add("V", "", outer);
  };
  probeAtlasReady(t.ctx);
  EXPECT_EQ(load(t.state->atlasWindowReady), 1);
  EXPECT_EQ(t.log.now, 300);

  TestContext never;
  never.desktop.add(kAtlasFrameClass, "x");
  probeAtlasReady(never.ctx);
  EXPECT_EQ(load(never.state->atlasWindowReady), 0);
  EXPECT_GE(never.log.now, kAtlasInnerViewWaitMs);
}

struct NavinFixture {
  TestContext t;
  WindowHandle main = t.desktop.add(kNavinYouClass, "Navin' You");
  WindowHandle area = t.desktop.add(kMdiClientClass, "", main);
};

TEST(NavinDiscovery, MapDocumentSkipsGuideAndProAtlasWithinEighteenCharacters) {
  NavinFixture f;
  f.t.desktop.add("D", "ガイダンス", f.area);
  const WindowHandle proAtlas = f.t.desktop.add("D", "ProAtlas 2.0", f.area);
  const WindowHandle map = f.t.desktop.add("D", "東京都千代田区付近ProAtlas", f.area);  // beyond 18
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::Map), map);
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::ProAtlas), proAtlas);
  store(f.t.state->atlasDocumentShown, 1);
  EXPECT_EQ(findShownNavinDocument(f.t.ctx), proAtlas);
}

TEST(NavinDiscovery, NoDocumentNoResult) {
  NavinFixture f;
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::Map), kNoWindow);
  TestContext empty;
  EXPECT_EQ(findNavinDocument(empty.ctx, NavinDocument::GuideWindow), kNoWindow);
}

TEST(NavinDiscovery, WindowMenuItem13DecidesTheDocumentCommands) {
  NavinFixture f;
  EXPECT_FALSE(readNavinWindowMenu(f.t.ctx));  // a menu bar without ｳｨﾝﾄﾞｳ ends the walk
  std::vector<std::string> items(14, "-");
  items[13] = "2 ProAtlas";
  f.t.desktop.window(f.main).menu = {{"ﾌｧｲﾙ(&F)", {}}, {"ｳｨﾝﾄﾞｳ(&W)", items}};
  const auto commands = readNavinWindowMenu(f.t.ctx);
  ASSERT_TRUE(commands);
  EXPECT_EQ(commands->ownMap, kNavinSecondDocument);
  EXPECT_EQ(commands->proAtlas, kNavinFirstDocument);
}

TEST(NavinDiscovery, ReleaseGpsOnlyWhenTheButtonIsDown) {
  for (const std::intptr_t state : {4, 5}) {
    NavinFixture f;
    const WindowHandle toolbar = f.t.desktop.add(kNavinToolbarClass, "", f.main);
    f.t.desktop.answer(toolbar, 1042, [state](std::uintptr_t, std::intptr_t) { return state; });
    releaseNavinGps(f.t.ctx);
    const std::string prefix = "send " + std::to_string(f.main);
    const auto sent = f.t.log.only({prefix.c_str()});
    EXPECT_EQ(sent.size(), state == 5 ? 1u : 0u) << state;
  }
}

TEST(CommandChannel, KeyDataClicksAndMenuNumbers) {
  EXPECT_EQ(keyDownData(ArrowKey::Left), 0x014B0001);
  EXPECT_EQ(static_cast<std::uint32_t>(keyUpData(ArrowKey::Down)), 0xC1500001u);
  EXPECT_EQ(clickPosition(7, 26), (26 << 16) | 7);
  EXPECT_EQ(atlasScaleCommand(3), 40962u);
  EXPECT_EQ(proAtlasScaleCommand(3), 32946u);
  EXPECT_EQ(atlasScaleCommand(0), 0u);
}

TEST(CommandChannel, RearmRaiseTimerFollowsGps) {
  for (const int gps : {0, 1, 2, 7}) {
    TestContext t;
    t.settings.writeInt(key::kGps, gps);
    rearmRaiseTimer(t.ctx);
    const auto timers = t.log.only({"timer"});
    if (gps == 1) EXPECT_THAT(timers, ElementsAre("timer-start 2 2000"));
    if (gps == 2) EXPECT_THAT(timers, ElementsAre("timer-start 3 2000"));
    if (gps != 1 && gps != 2) EXPECT_TRUE(timers.empty());
  }
}

TEST(CommandChannel, ActivateMapWindowRaisesSViewAfterTheMapProgram) {
  TestContext t;
  const WindowHandle navin = t.desktop.add(kNavinYouClass, "");
  const WindowHandle sview = t.desktop.add(kSViewClass, "");
  activateMapWindow(t.ctx);
  EXPECT_THAT(t.log.only({"foreground", "top", "sleep"}),
              ElementsAre("foreground " + std::to_string(navin), "sleep 500",
                          "top " + std::to_string(sview), "foreground " + std::to_string(sview),
                          "sleep 500"));
}

}  // namespace
}  // namespace tabiro
