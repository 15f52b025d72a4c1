#include "mapctl/discovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "mapctl/navin_buttons.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Sent;
using testing::SentCommand;
using testing::TestContext;

struct NavinFixture {
  TestContext t;
  WindowHandle main = t.desktop.add(kNavinYouClass, "Navin' You");
  WindowHandle area = t.desktop.add(kMdiClientClass, "", main);
  WindowHandle document(const std::string& title) { return t.desktop.add("D", title, area); }
};

TEST(NavinDiscovery, MapDocumentSkipsGuideAndProAtlasWithinEighteenCharacters) {
  NavinFixture f;
  const WindowHandle guide = f.document("ガイダンス");
  f.document("地図 - ガイダンス付き");
  // "ProAtlas" at characters 11 to 18 is read; from character 12 on it is not.
  const WindowHandle proAtlas = f.document("ABCDEFGHIJProAtlas");
  const WindowHandle lateTag = f.document("ABCDEFGHIJKProAtlas");
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::Map), lateTag);
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::ProAtlas), proAtlas);
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::GuideWindow), guide);

  NavinFixture shiftJis;
  shiftJis.document("東京都千代田ProAtlas");  // 12 bytes of kanji, the tag ends at 20
  EXPECT_NE(findNavinDocument(shiftJis.t.ctx, NavinDocument::Map), kNoWindow);
  EXPECT_EQ(findNavinDocument(shiftJis.t.ctx, NavinDocument::ProAtlas), kNoWindow);
}

TEST(NavinDiscovery, TheShownDocumentFollowsAtlasDocumentShown) {
  NavinFixture f;
  const WindowHandle map = f.document("地図");
  const WindowHandle proAtlas = f.document("ProAtlas");
  EXPECT_EQ(findShownNavinDocument(f.t.ctx), map);
  store(f.t.state.atlasDocumentShown, 1);
  EXPECT_EQ(findShownNavinDocument(f.t.ctx), proAtlas);
}

TEST(NavinDiscovery, NoDocumentNoResult) {
  NavinFixture f;
  f.document("ガイダンス");
  EXPECT_EQ(findNavinDocument(f.t.ctx, NavinDocument::Map), kNoWindow);
  TestContext empty;
  EXPECT_EQ(findNavinDocument(empty.ctx, NavinDocument::Map), kNoWindow);
  EXPECT_EQ(findNavinDocument(empty.ctx, NavinDocument::GuideWindow), kNoWindow);
}

TEST(NavinDiscovery, ViewAndSettingsSheetAreFoundWhereTheyAre) {
  NavinFixture f;
  const WindowHandle document = f.document("地図");
  f.t.desktop.add("Other", "", document);
  const WindowHandle view = f.t.desktop.add(kMapViewClass, "", document);
  EXPECT_EQ(findDocumentView(f.t.ctx, findNavinDocument(f.t.ctx, NavinDocument::Map)), view);
  EXPECT_EQ(findDocumentView(f.t.ctx, kNoWindow), kNoWindow);

  EXPECT_EQ(findNavinSettingsSheet(f.t.ctx), kNoWindow);
  const WindowHandle halfWidth = f.t.desktop.add("#32770", kSettingsSheetTitleHalfWidth);
  EXPECT_EQ(findNavinSettingsSheet(f.t.ctx), halfWidth);
  const WindowHandle fullWidth = f.t.desktop.add("#32770", kSettingsSheetTitle);
  EXPECT_EQ(findNavinSettingsSheet(f.t.ctx), fullWidth);
}

TEST(NavinDiscovery, WindowMenuItem13DecidesTheDocumentCommands) {
  NavinFixture f;
  f.t.desktop.setMenu(f.main, {{"ﾌｧｲﾙ(&F)", {"開く"}}, {"表示(&V)", {}}});
  EXPECT_EQ(readNavinWindowMenu(f.t.ctx), std::nullopt);  // the walk ends with the bar

  std::vector<std::string> items(14, "-");
  items[13] = "&2 ProAtlas";
  f.t.desktop.setMenu(f.main, {{"ﾌｧｲﾙ(&F)", {}}, {"ｳｨﾝﾄﾞｳ(&W)", items}});
  std::optional<WindowListCommands> commands = readNavinWindowMenu(f.t.ctx);
  ASSERT_TRUE(commands);
  EXPECT_EQ(commands->ownMap, kNavinSecondDocument);
  EXPECT_EQ(commands->proAtlas, kNavinFirstDocument);

  items[13] = "&2 地図";
  f.t.desktop.setMenu(f.main, {{"ｳｨﾝﾄﾞｳ(&W)", items}});
  commands = readNavinWindowMenu(f.t.ctx);
  ASSERT_TRUE(commands);
  EXPECT_EQ(commands->ownMap, kNavinFirstDocument);
  EXPECT_EQ(commands->proAtlas, kNavinSecondDocument);
}

TEST(NavinDiscovery, ReleaseGpsOnlyWhenTheButtonIsDown) {
  for (const int ver : {0, 1, 2}) {
    for (const std::intptr_t state : {4, 5}) {
      NavinFixture f;
      f.t.settings.writeInt(key::kVer, ver);
      const unsigned id = ver == 0 ? kNavinGpsV1 : kNavinGpsV2;
      const WindowHandle toolbar = f.t.desktop.add(kNavinToolbarClass, "", f.main);
      f.t.desktop.answer(toolbar, win::kTbGetState, id, state);
      releaseNavinGps(f.t.ctx);
      if (state == 5) {
        EXPECT_THAT(f.t.log.messages(),
                    ElementsAre(Sent(toolbar, win::kTbGetState, id, 0), SentCommand(f.main, id)))
            << "Ver " << ver;
      } else {
        EXPECT_THAT(f.t.log.messagesTo(f.main), IsEmpty()) << "Ver " << ver;
      }
    }
  }
  NavinFixture noToolbar;
  EXPECT_EQ(readNavinButton(noToolbar.t.ctx, NavinButton::Gps), std::nullopt);
  releaseNavinGps(noToolbar.t.ctx);
  EXPECT_THAT(noToolbar.t.log.messages(), IsEmpty());

  NavinFixture unknown;
  unknown.t.settings.writeInt(key::kVer, 3);
  releaseNavinGps(unknown.t.ctx);
  EXPECT_THAT(unknown.t.log.messages(), IsEmpty());
}

}  // namespace
}  // namespace tabiro
