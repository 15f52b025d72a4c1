#include "guidance/camera_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "core/profile_keys.h"
#include "fakes/test_context.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ErrorShown;

// The line the program writes for 35°40'12.5" N, 139°45'30.5" E, heading 270.
const std::string kExampleLine =
    "ORD=POI/tex=newオービス/kei=139'45'30'5/ido=35'40'12'5/deg=270\r\n";
const Coordinates kExample{32873600, 128801408};

CameraScan scan(const std::string& text) {
  std::istringstream in(text);
  return scanCameras(in);
}

TEST(CameraLineTest, ExampleValuesWriteTheExampleLineAndReadBack) {
  EXPECT_EQ(speedCameraLine(kExample, 270), kExampleLine);
  const CameraEntry entry = parseCameraLine(kExampleLine);
  EXPECT_EQ(entry.text, "newオービス");
  EXPECT_EQ(entry.position, kExample);
  EXPECT_EQ(entry.direction, 270);
}

TEST(CameraLineTest, TenthsAreTruncatedOnReadAndOnWrite) {
  const std::int32_t latitude = parseCameraLine("ido=35'40'12'3/\r\n").position.latitude;
  EXPECT_EQ(latitude, 32873548);  // 3 * 25.6 = 76.8
  EXPECT_EQ(formatDmst(latitude), "35'40'12'2");
}

TEST(CameraLineTest, DirectionRules) {
  EXPECT_EQ(parseCameraLine("ido=1/deg=\r\n").direction, CameraTable::kAnyDirection);
  EXPECT_EQ(parseCameraLine("ido=1/deg=").direction, 0);  // end of file
  EXPECT_EQ(parseCameraLine("ido=1/deg=\n").direction, 0);
  EXPECT_EQ(parseCameraLine("ido=1/deg=90\r\n").direction, 90);
  EXPECT_EQ(parseCameraLine("ido=1\r\n").direction, 0);
}

TEST(CameraLineTest, KeysInLowerCaseFirstThenUpperCaseNeverMixed) {
  const CameraEntry upper = parseCameraLine("TEX=a/KEI=1'0'0'0/IDO=2'0'0'0/DEG=45\r\n");
  EXPECT_EQ(upper.text, "a");
  EXPECT_EQ(upper.position, (Coordinates{2 * 921600, 921600}));
  EXPECT_EQ(upper.direction, 45);
  // The lower-case key wins wherever it stands, and only its first occurrence.
  EXPECT_EQ(parseCameraLine("TEX=up/tex=low/tex=again/").text, "low");
  EXPECT_EQ(parseCameraLine("Tex=mixed/").text, "");
}

TEST(CameraLineTest, TextIsCutToFiftyBytesOnAWholeCharacter) {
  const std::string fortyNine(49, 'a');
  EXPECT_EQ(parseCameraLine("tex=" + fortyNine + "オービス/").text, fortyNine);
  EXPECT_EQ(parseCameraLine("tex=" + std::string(60, 'b') + "/").text, std::string(50, 'b'));
  // Without a closing "/" the text runs to the line end, which it leaves out.
  EXPECT_EQ(parseCameraLine("kei=1/tex=レーダ\r\n").text, "レーダ");
}

TEST(CameraLineTest, MissingApostrophesDoNotReadTheNextField) {
  const CameraEntry entry = parseCameraLine("kei=139/ido=35'40'12'5/");
  EXPECT_EQ(entry.position.longitude, 139 * 921600);
  EXPECT_EQ(entry.position.latitude, kExample.latitude);
}

TEST(CameraScanTest, EveryLineIsARowAndListEndsAtTheFirstRowWithoutPosition) {
  const CameraScan s = scan(kExampleLine + "\r\n" + kExampleLine + kExampleLine + "\r\n");
  ASSERT_EQ(s.cameras.size(), 5U);
  EXPECT_EQ(s.cameras[1].position, (Coordinates{0, 0}));
  EXPECT_EQ(s.cameras[3].line, 4);
  // The trailing blank line hides nothing; the one on line 2 hides two cameras.
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::ListEnds, 2, 2}));
}

TEST(CameraScanTest, EmptyDirectionWithoutCrLfIsReported) {
  const CameraScan s = scan("kei=1/ido=1/deg=\nkei=1/ido=1/deg=\r\nkei=1/ido=1/deg=");
  ASSERT_EQ(s.cameras.size(), 3U);
  EXPECT_EQ(s.cameras[1].direction, CameraTable::kAnyDirection);
  EXPECT_EQ(s.cameras[2].direction, 0);
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::DirectionIsNorth, 1},
                                      FileWarning{FileIssue::DirectionIsNorth, 3}));
}

TEST(CameraScanTest, LongLineIsReadInPiecesOfOneHundredNinetyNineBytes) {
  const CameraScan s = scan("tex=" + std::string(300, 'x') + "\r\n" + kExampleLine);
  ASSERT_EQ(s.cameras.size(), 3U);
  EXPECT_EQ(s.cameras[2].position, kExample);
  EXPECT_EQ(s.warnings.at(0), (FileWarning{FileIssue::LongLine, 1}));
}

TEST(CameraScanTest, LinesBeyondFiveHundredAreCountedNotKept) {
  std::string text;
  for (int i = 0; i < 503; ++i) text += kExampleLine;
  const CameraScan s = scan(text);
  EXPECT_EQ(s.cameras.size(), 500U);
  EXPECT_THAT(s.warnings, ElementsAre(FileWarning{FileIssue::TooManyEntries, 501, 3}));
}

class CameraFileTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string fileText() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void setFix(Coordinates position, std::int32_t heading) {
    store(t_.state.gpsFix.latitude, position.latitude);
    store(t_.state.gpsFix.longitude, position.longitude);
    store(t_.state.gpsFix.heading, heading);
  }

  testing::TestContext t_;
  std::string path_ = t_.dir.file("ovis.pot");
};

TEST_F(CameraFileTest, ReloadClearsRowsOfAnEarlierLongerFile) {
  writeFile(kExampleLine + kExampleLine + kExampleLine);
  ASSERT_TRUE(loadCameras(t_.ctx, path_));
  writeFile("tex=one/kei=1'0'0'0/ido=2'0'0'0/deg=\r\n");
  ASSERT_TRUE(loadCameras(t_.ctx, path_));
  const CameraTable& table = t_.state.cameras;
  EXPECT_EQ(table.row(1).text.get(), "one");
  EXPECT_EQ(load(table.row(1).direction), CameraTable::kAnyDirection);
  for (int row : {2, 3, 500}) {
    EXPECT_EQ(load(table.row(row).latitude), 0) << row;
    EXPECT_EQ(load(table.row(row).longitude), 0) << row;
    EXPECT_EQ(table.row(row).text.get(), "") << row;
  }
}

TEST_F(CameraFileTest, UnopenableFileIsReportedAndLoadsNothing) {
  const std::string missing = t_.dir.file("none.pot");
  EXPECT_FALSE(loadCameras(t_.ctx, missing));
  EXPECT_THAT(t_.log.actions(), ElementsAre(ErrorShown(missing + " が開けません。")));
}

TEST_F(CameraFileTest, AddSpeedCameraCreatesThenAppends) {
  t_.settings.writeString(key::kPot, path_);
  setFix(kExample, 270);
  addSpeedCamera(t_.ctx);
  EXPECT_EQ(fileText(), kExampleLine);
  setFix({32256000, 128102400}, 0);
  addSpeedCamera(t_.ctx);
  EXPECT_EQ(fileText(), kExampleLine + "ORD=POI/tex=newオービス/kei=139'0'0'0/ido=35'0'0'0/deg=0\r\n");
  EXPECT_THAT(t_.log.actions(), IsEmpty());
}

TEST_F(CameraFileTest, AddSpeedCameraKeepsALastLineWithoutLineEndApart) {
  t_.settings.writeString(key::kPot, path_);
  writeFile("tex=old/kei=1'0'0'0/ido=1'0'0'0/deg=90");
  setFix(kExample, 270);
  addSpeedCamera(t_.ctx);
  const CameraScan s = scan(fileText());
  ASSERT_EQ(s.cameras.size(), 2U);
  EXPECT_EQ(s.cameras[0].direction, 90);
  EXPECT_EQ(s.cameras[1].position, kExample);
}

TEST_F(CameraFileTest, AddSpeedCameraWithoutFileNameWritesNothing) {
  setFix(kExample, 270);
  addSpeedCamera(t_.ctx);
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_THAT(t_.log.actions(), IsEmpty());
}

TEST_F(CameraFileTest, AddSpeedCameraReportsAFileItCannotOpen) {
  const std::string folder = t_.dir.path().string();
  t_.settings.writeString(key::kPot, folder);
  addSpeedCamera(t_.ctx);
  EXPECT_THAT(t_.log.actions(), ElementsAre(ErrorShown(folder + " が開けません。")));
}

}  // namespace
}  // namespace tabiro
