// The ATLAS stand-in is found by class or title, with its map view as deep
// as the toolbar looks for it.
#include "harness.h"

#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace e2e {
namespace {

HWND firstChild(HWND w) { return w ? GetWindow(w, GW_CHILD) : nullptr; }

struct Kind {
  const char* kind;
  const char* frameClass;  // nullptr: recognised by title
  int depth;               // view = first child taken `depth` times
};

void PrintTo(const Kind& k, std::ostream* os) { *os << "--kind " << k.kind; }

class AtlasStubTest : public E2eTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(AtlasStubTest, RecognisedWithTheViewAtItsDepthAfterTheDelay) {
  const Kind& k = GetParam();
  startAtlas({"--kind", k.kind, "--view-delay", "400"});
  HWND frame = k.frameClass ? waitForWindow(k.frameClass, nullptr) : nullptr;
  if (!k.frameClass) {
    waitUntil([&] {
      frame = nullptr;
      EnumWindows([](HWND w, LPARAM out) {
        if (windowText(w).compare(0, 5, "ATLAS") != 0) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      }, reinterpret_cast<LPARAM>(&frame));
      return frame != nullptr;
    });
  }
  ASSERT_TRUE(frame);
  HWND parentOfView = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    parentOfView = frame;
    for (int i = 1; i < k.depth; ++i) parentOfView = firstChild(parentOfView);
    return parentOfView != nullptr;
  })) << "the levels above the view";
  EXPECT_FALSE(firstChild(parentOfView)) << "no view before the delay";
  ASSERT_TRUE(waitUntil([&] { return firstChild(parentOfView) != nullptr; }));
  HWND view = firstChild(parentOfView);

  PostMessageA(frame, WM_COMMAND, tabiro::kAtlasGpsOn, 0);
  SendMessageA(view, WM_KEYDOWN, VK_UP, 0x01480001);
  auto command = atlasLog().waitFor(isCommand("frame", tabiro::kAtlasGpsOn));
  ASSERT_TRUE(command);
  EXPECT_FALSE(command->sent);
  auto key = atlasLog().waitFor(isMessage("view", WM_KEYDOWN));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->lParam, 0x01480001u);
  EXPECT_TRUE(key->sent);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AtlasStubTest,
                         ::testing::Values(Kind{"98", "ProAtlas98Frame", 2}, Kind{"frame", "ProAtlasFrame", 2},
                                           Kind{"title", nullptr, 3}),
                         [](const auto& info) { return std::string(info.param.kind); });

class AtlasStubExit : public E2eTest {};

TEST_F(AtlasStubExit, ExitCommandEndsIt) {
  HANDLE process = startAtlas({"--kind", "frame"});
  HWND frame = waitForWindow("ProAtlasFrame", nullptr);
  ASSERT_TRUE(frame);
  PostMessageA(frame, WM_COMMAND, tabiro::win::kCmdAppExit, 0);
  EXPECT_TRUE(waitForExit(process));
  EXPECT_TRUE(atlasLog().waitFor(isEvent("frame", "exit"), 0));
}

}  // namespace
}  // namespace e2e
