#include "core/modes.h"

#include <gtest/gtest.h>

#include "fakes/test_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {
namespace {

using testing::TestContext;

TEST(Modes, StoredNumbersReadAsTheirModesAndOthersAsUnknown) {
  const struct Row {
    int stored;
    NavinVersion version;
    MapMode mapMode;
    MapInFront front;
    GpsRun gps;
    PointLevel level;
  } rows[] = {
      {0, NavinVersion::V1, MapMode::Alternating, MapInFront::NavinYou, GpsRun::Stopped,
       PointLevel::Far},
      {1, NavinVersion::V2Alone, MapMode::Simultaneous, MapInFront::Atlas, GpsRun::Running,
       PointLevel::Approaching},
      {2, NavinVersion::V2WithAtlas, MapMode::Unknown, MapInFront::Unknown, GpsRun::Linked,
       PointLevel::Announced},
      {3, NavinVersion::Unknown, MapMode::Unknown, MapInFront::Unknown, GpsRun::Unknown,
       PointLevel::Unknown},
      {-1, NavinVersion::Unknown, MapMode::Unknown, MapInFront::Unknown, GpsRun::Unknown,
       PointLevel::Unknown},
  };
  for (const Row& row : rows) {
    TestContext t;
    for (const ProfileKey k : {key::kVer, key::kMapMode, key::kMap, key::kGps, key::kPointLevel}) {
      t.settings.writeInt(k, row.stored);
    }
    EXPECT_EQ(readNavinVersion(t.settings), row.version) << row.stored;
    EXPECT_EQ(readMapMode(t.settings), row.mapMode) << row.stored;
    EXPECT_EQ(readMapInFront(t.settings), row.front) << row.stored;
    EXPECT_EQ(readGpsRun(t.settings), row.gps) << row.stored;
    EXPECT_EQ(readPointLevel(t.settings), row.level) << row.stored;
  }
  TestContext absent;
  EXPECT_EQ(readNavinVersion(absent.settings), NavinVersion::V1);
  EXPECT_EQ(readGpsRun(absent.settings), GpsRun::Stopped);
}

TEST(Modes, WritersStoreTheNumbersTheReadersRead) {
  TestContext t;
  writeGpsRun(t.settings, GpsRun::Linked);
  writePointLevel(t.settings, PointLevel::Approaching);
  writeMapMode(t.settings, MapMode::Simultaneous);
  writeMapInFront(t.settings, MapInFront::Atlas);
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(-1), 2);
  EXPECT_EQ(t.settings.storedInt(key::kPointLevel).value_or(-1), 1);
  EXPECT_EQ(t.settings.storedInt(key::kMapMode).value_or(-1), 1);
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(-1), 1);
  writeGpsRun(t.settings, GpsRun::Unknown);
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(-1), 2) << "Unknown is never written";
}

TEST(Modes, NavinButtonsChangedTheirCommandsWithVersionTwo) {
  const struct Row {
    NavinVersion version;
    NavinButton button;
    std::optional<unsigned> command;
  } rows[] = {
      {NavinVersion::V1, NavinButton::Gps, 32864},
      {NavinVersion::V2Alone, NavinButton::Gps, 32860},
      {NavinVersion::V2WithAtlas, NavinButton::Gps, 32860},
      {NavinVersion::V1, NavinButton::Centering, 32865},
      {NavinVersion::V2WithAtlas, NavinButton::Centering, 32861},
      {NavinVersion::V1, NavinButton::SettingsSheet, 32869},
      {NavinVersion::V2Alone, NavinButton::SettingsSheet, 32866},
      {NavinVersion::Unknown, NavinButton::Gps, std::nullopt},
      {NavinVersion::Unknown, NavinButton::SettingsSheet, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(navinButtonCommand(row.version, row.button), row.command)
        << static_cast<int>(row.version) << " " << static_cast<int>(row.button);
  }
}

}  // namespace
}  // namespace tabiro
