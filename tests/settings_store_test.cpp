#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

#include "app/atomic_file.h"
#include "fakes/temp_dir.h"

namespace tabiro {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string fileText() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  testing::TempDir dir_;
  std::string path_ = dir_.file("Tabiro2.ini");
  SettingsStore store_{path_};
};

TEST_F(SettingsStoreTest, MissingFileGivesEachReadSiteItsOwnDefault) {
  EXPECT_EQ(store_.readInt(key::kKomaTime, 10), 10);
  EXPECT_EQ(store_.readInt(key::kKomaTime, 5), 5);
  EXPECT_EQ(store_.readString(key::kFileName, "999"), "999");
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
  writeFile("[tabiro info]\r\n  gps  =   2  \r\n\tMap\t=\t1\r\n");
  EXPECT_EQ(store_.readInt(key::kGps, 0), 2);
  EXPECT_EQ(store_.readInt("TABIRO INFO", "MAP", 0), 1);
  EXPECT_EQ(store_.readString(key::kGps, ""), "2");
}

TEST_F(SettingsStoreTest, FirstOfDuplicateKeysAndSectionsWins) {
  writeFile("[Rot]\nWaveUp=20\nWaveUp=40\n[Rot]\nNavimode=1\n");
  EXPECT_EQ(store_.readInt(key::kWaveUp, 30), 20);
  EXPECT_EQ(store_.readInt(key::kNaviMode, 0), 0);  // only the first section counts
}

TEST_F(SettingsStoreTest, EmptyValueIsNotAMissingKey) {
  writeFile("[Rot]\nFileName=\n");
  EXPECT_EQ(store_.readString(key::kFileName, "999"), "");
  EXPECT_EQ(store_.readString(key::kPot, "none"), "none");
}

TEST_F(SettingsStoreTest, IntegersParseLikeThePlatform) {
  writeFile("[S]\na=12abc\nb=abc\nc=-5\nd= 7\ne=+3\nf=99999999999\ng=-99999999999\nh=\n");
  EXPECT_EQ(store_.readInt("S", "a", 1), 12);
  EXPECT_EQ(store_.readInt("S", "b", 1), 0);
  EXPECT_EQ(store_.readInt("S", "c", 1), -5);
  EXPECT_EQ(store_.readInt("S", "d", 1), 7);
  EXPECT_EQ(store_.readInt("S", "e", 1), 3);
  EXPECT_EQ(store_.readInt("S", "f", 1), 2147483647);
  EXPECT_EQ(store_.readInt("S", "g", 1), -2147483647 - 1);
  EXPECT_EQ(store_.readInt("S", "h", 1), 0);
}

TEST_F(SettingsStoreTest, ShiftJisValuesWithBackslashTrailBytesRoundTrip) {
  const std::string phrase = "表示ソフト\\です。スピード注意！";
  store_.writeString(key::kOvis2, phrase);
  EXPECT_EQ(store_.readString(key::kOvis2, ""), phrase);
  EXPECT_NE(fileText().find(phrase), std::string::npos);
}

TEST_F(SettingsStoreTest, WriteKeepsCommentsUnknownSectionsAndLineEnds) {
  writeFile("; my notes\r\n[Other]\r\nx = 1\r\n\r\n[RECT]\r\ntop=5\r\n");
  store_.writeInt(key::kRectTop, 7);
  EXPECT_EQ(fileText(), "; my notes\r\n[Other]\r\nx = 1\r\n\r\n[RECT]\r\ntop=7\r\n");
}

TEST_F(SettingsStoreTest, NewKeyJoinsItsSectionAndNewSectionGoesAtTheEnd) {
  writeFile("[Rot]\nWayPoint=1\n\n[TOS]\nSpeed=13");  // LF lines, no final line end
  store_.writeInt(key::kWaveUp, 30);
  store_.writeInt(key::kRectLeft, -1);
  EXPECT_EQ(fileText(), "[Rot]\nWayPoint=1\nWaveUp=30\n\n[TOS]\nSpeed=13\n[RECT]\nleft=-1\n");
  EXPECT_EQ(store_.readInt(key::kSpeed, 0), 13);
}

TEST_F(SettingsStoreTest, NewFileIsWrittenWithCrLf) {
  store_.writeInt(key::kGps, 0);
  EXPECT_EQ(fileText(), "[Tabiro Info]\r\nGPS=0\r\n");
}

TEST_F(SettingsStoreTest, UnchangedValueTouchesNothing) {
  store_.writeInt(key::kGps, 1);
  const auto before = std::filesystem::last_write_time(path_);
  std::filesystem::last_write_time(path_, before - std::chrono::hours(1));
  const auto aged = std::filesystem::last_write_time(path_);
  store_.writeInt(key::kGps, 1);
  store_.writeString("tabiro info", "gps", "1");
  EXPECT_EQ(std::filesystem::last_write_time(path_), aged);
}

TEST_F(SettingsStoreTest, InterruptedWriteLeavesTheOldProfileComplete) {
  store_.writeInt(key::kWaveUp, 25);
  store_.writeString(key::kFileName, "C:\\route.nyp");
  const std::string before = fileText();
  // A power cut after the temporary file was begun: a truncated leftover.
  std::ofstream(temporaryPathFor(path_), std::ios::binary) << "[Rot]\r\nWave";
  EXPECT_EQ(fileText(), before);
  EXPECT_EQ(store_.readInt(key::kWaveUp, 0), 25);
  // The next write goes through whatever was left behind.
  store_.writeInt(key::kWaveUp, 35);
  EXPECT_EQ(store_.readInt(key::kWaveUp, 0), 35);
  EXPECT_EQ(store_.readString(key::kFileName, ""), "C:\\route.nyp");
  EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path_)));
}

TEST_F(SettingsStoreTest, FailedWriteKeepsTheOldFile) {
  store_.writeInt(key::kWaveUp, 25);
  // A directory where the temporary file should go makes the write fail.
  std::filesystem::create_directory(temporaryPathFor(path_));
  store_.writeInt(key::kWaveUp, 40);
  EXPECT_EQ(store_.readInt(key::kWaveUp, 0), 25);
}

TEST(ConcurrencySettingsStore, ParallelWritersLoseNothingAndNeverTear) {
  testing::TempDir dir;
  const std::string path = dir.file("Tabiro2.ini");
  constexpr int kThreads = 4;
  constexpr int kRounds = 60;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      SettingsStore store(path);
      const std::string own = "key" + std::to_string(t);
      for (int i = 0; i < kRounds; ++i) {
        store.writeInt("Race", own, i);
        // Everyone also fights over one shared key with long, distinct values.
        store.writeString("Race", "shared", std::string(40, static_cast<char>('a' + t)));
        const std::string shared = store.readString("Race", "shared", "");
        ASSERT_EQ(shared.size(), 40u);
        ASSERT_EQ(std::set<char>(shared.begin(), shared.end()).size(), 1u) << shared;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  SettingsStore store(path);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(store.readInt("Race", "key" + std::to_string(t), -1), kRounds - 1);
  }
}

}  // namespace
}  // namespace tabiro
