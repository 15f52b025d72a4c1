#include "guidance/route_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/profile_keys.h"
#include "fakes/route_builder.h"
#include "fakes/test_context.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::encodePointCode;
using testing::ErrorShown;
using testing::routeBlock;
using testing::routeFileText;
using testing::WaypointField;

RouteScan scan(const std::string& text) {
  std::istringstream in(text);
  return scanRoute(in);
}

std::vector<Coordinates> positions(const RouteScan& s) {
  std::vector<Coordinates> result;
  for (const RouteWaypoint& w : s.waypoints) result.push_back(w.position);
  return result;
}

const Coordinates kTokyo{32873600, 128801408};
const Coordinates kYokohama{32513280, 128442368};

TEST(PointCodeTest, DecodesAllZeroAndAllOneCodes) {
  EXPECT_EQ(decodePointCode("0000000000000000\n"), (Coordinates{0, 0}));
  EXPECT_EQ(decodePointCode("FFFFFFFFFFFFFFFF\n"), (Coordinates{331775884, 331775884}));
  EXPECT_EQ(decodePointCode("ffffffffffffffff"), (Coordinates{331775884, 331775884}));
}

TEST(PointCodeTest, LatitudeTakesTheHigherBitOfEveryPair) {
  EXPECT_EQ(decodePointCode("8000000000000000"), (Coordinates{165887942, 0}));  // 2^31
  EXPECT_EQ(decodePointCode("4000000000000000"), (Coordinates{0, 165887942}));
  EXPECT_EQ(decodePointCode("0800000000000000"), (Coordinates{41471985, 0}));  // 2^29
}

TEST(PointCodeTest, PairsReadUpToTheirFirstNonHexDigit) {
  EXPECT_EQ(decodePointCode("G1FFFFFFFFFFFFFF"), decodePointCode("00FFFFFFFFFFFFFF"));
  EXPECT_EQ(decodePointCode("1G00000000000000"), (Coordinates{0, 20735992}));  // 0x01
  // A short code: the one digit is the whole first pair, the rest read 0.
  EXPECT_EQ(decodePointCode("F"), (Coordinates{62207978, 62207978}));  // 0x0F
  EXPECT_EQ(decodePointCode(""), (Coordinates{0, 0}));
}

TEST(PointCodeTest, BuilderCodesDecodeToTheirPositions) {
  for (const Coordinates p : {kTokyo, kYokohama, Coordinates{1, 331775884}, Coordinates{0, 7}}) {
    EXPECT_EQ(decodePointCode(encodePointCode(p)), p) << p.latitude << " " << p.longitude;
  }
}

TEST(RouteScanTest, ReadsPositionAndTextOfEveryBlock) {
  const RouteScan s = scan(routeFileText({{kTokyo, "右折"}, {kYokohama, "[S3]左折"}}));
  EXPECT_THAT(positions(s), ElementsAre(kTokyo, kYokohama));
  EXPECT_EQ(s.waypoints[0].text, "右折\n");  // line end kept
  EXPECT_EQ(s.waypoints[1].text, "[S3]左折\n");
  EXPECT_EQ(s.waypoints[1].line, 8);
  EXPECT_THAT(s.warnings, IsEmpty());
}

TEST(RouteScanTest, TextLineShorterThanEightBytesGivesTheEmptyText) {
  std::string text = routeBlock({kTokyo, ""});
  text.replace(text.find("TEXT0001\n"), 9, "SHORT\n");
  EXPECT_EQ(scan(text).waypoints.at(0).text, "");
}

TEST(RouteScanTest, EmptyFileOrNoMarkerLoadsNothing) {
  EXPECT_THAT(scan("").waypoints, IsEmpty());
  EXPECT_THAT(scan("a\nb\nc\n").waypoints, IsEmpty());
}

TEST(RouteScanTest, CrLfLinesHideEveryWaypointAndSayWhy) {
  std::string text = routeFileText({{kTokyo, "a"}, {kYokohama, "b"}});
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
    text.insert(at, "\r");
  }
  const RouteScan s = scan(text);
  EXPECT_THAT(s.waypoints, IsEmpty());
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::CrLfMarker, 1},
                                      FileWarning{FileIssue::CrLfMarker, 8}));
}

TEST(RouteScanTest, LineAfterANonMarkerIsNeverExamined) {
  const std::string block = routeBlock({kTokyo, "a"});
  const RouteScan oneHeader = scan("header\n" + block + block);
  // The first marker is skipped; the search falls in step with the second.
  EXPECT_THAT(positions(oneHeader), ElementsAre(kTokyo));
  EXPECT_EQ(oneHeader.waypoints[0].line, 9);
  EXPECT_THAT(oneHeader.warnings, ElementsAre(FileWarning{FileIssue::MarkerSkipped, 2}));

  const RouteScan twoHeaders = scan("header\nheader\n" + block);
  EXPECT_THAT(positions(twoHeaders), ElementsAre(kTokyo));
  EXPECT_THAT(twoHeaders.warnings, IsEmpty());
}

TEST(RouteScanTest, LongLinesComeInPiecesOfThirtyNineBytes) {
  const std::string block = routeBlock({kTokyo, "a"});
  // 39 bytes and its line feed are two lines, so the marker is examined.
  const RouteScan split = scan(std::string(39, 'x') + "\n" + block);
  EXPECT_THAT(positions(split), ElementsAre(kTokyo));
  EXPECT_THAT(split.warnings, ElementsAre(FileWarning{FileIssue::LongLine, 1}));
  // 38 bytes and the line feed are one line, so the marker is skipped.
  EXPECT_THAT(scan(std::string(38, 'x') + "\n" + block).waypoints, IsEmpty());
}

TEST(RouteScanTest, ShortBlockSwallowsTheNextMarker) {
  std::string first = routeBlock({kTokyo, "a"});
  first.erase(first.find("line7\n"), 6);
  const RouteScan s = scan(first + routeBlock({kYokohama, "b"}));
  EXPECT_THAT(positions(s), ElementsAre(kTokyo));
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::MarkerInBlock, 7}));
}

TEST(RouteScanTest, BlockCutBeforeItsCodeLineIsNotLoaded) {
  const std::string block = routeBlock({kYokohama, "b"});
  const std::string cutAfterText = block.substr(0, block.find("line6"));
  const std::string cutBeforeCode = block.substr(0, block.find("PC"));
  EXPECT_THAT(positions(scan(cutAfterText)), ElementsAre(kYokohama));
  const RouteScan s = scan(routeBlock({kTokyo, "a"}) + cutBeforeCode);
  EXPECT_THAT(positions(s), ElementsAre(kTokyo));
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::BlockCutShort, 8}));
}

TEST(RouteScanTest, BlocksBeyondTheTableAreCountedNotKept) {
  const RouteScan s = scan(routeFileText(std::vector<testing::RouteBlockSpec>(503, {kTokyo, "a"})));
  EXPECT_EQ(s.waypoints.size(), 500U);
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::TooManyEntries, 500 * 7 + 1, 3}));
}

class RouteLoadTest : public ::testing::Test {
 protected:
  void writeRoute(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  int wayPointMax() { return t_.settings.readInt(key::kWayPointMax, -1); }

  testing::TestContext t_;
  std::string path_ = t_.dir.file("route.nyp");
};

TEST_F(RouteLoadTest, FillsRowsAndWritesTheCount) {
  writeRoute(routeFileText({{kTokyo, "a"}, {kYokohama, "b"}}));
  ASSERT_TRUE(loadRoute(t_.ctx, path_));
  EXPECT_EQ(wayPointMax(), 2);
  EXPECT_EQ(load(t_.state.waypoints.row(2).latitude), kYokohama.latitude);
  EXPECT_EQ(load(t_.state.waypoints.row(2).longitude), kYokohama.longitude);
  EXPECT_EQ(t_.state.waypoints.row(2).text.get(), "b\n");
}

TEST_F(RouteLoadTest, CountNeverExceedsTheRowsStored) {
  writeRoute(routeFileText(std::vector<testing::RouteBlockSpec>(510, {kTokyo, "a"})));
  ASSERT_TRUE(loadRoute(t_.ctx, path_));
  EXPECT_EQ(wayPointMax(), 500);
}

TEST_F(RouteLoadTest, FileWithoutMarkersStoresZero) {
  writeRoute("not a route\n");
  ASSERT_TRUE(loadRoute(t_.ctx, path_));
  EXPECT_EQ(wayPointMax(), 0);
}

TEST_F(RouteLoadTest, UnopenableFileIsReportedAndLoadsNothing) {
  for (const std::string& bad : {t_.dir.file("missing.nyp"), t_.dir.path().string()}) {
    t_.log.clear();
    EXPECT_FALSE(loadRoute(t_.ctx, bad));
    EXPECT_THAT(t_.log.actions(), ElementsAre(ErrorShown(bad + " が開けません。")));
    EXPECT_EQ(wayPointMax(), -1);
  }
}

TEST_F(RouteLoadTest, NoRouteLeavesOneUnreachableWaypoint) {
  store(t_.state.waypoints.row(1).latitude, kTokyo.latitude);
  t_.state.waypoints.row(1).text.set("old\n");
  loadNoRoute(t_.ctx);
  EXPECT_EQ(load(t_.state.waypoints.row(1).latitude), 165888000);
  EXPECT_EQ(load(t_.state.waypoints.row(1).longitude), 82944000);
  EXPECT_EQ(t_.state.waypoints.row(1).text.get(), "");
  EXPECT_EQ(wayPointMax(), 1);
  EXPECT_THAT(t_.log.actions(), ElementsAre(WaypointField(1)));
}

}  // namespace
}  // namespace tabiro
