#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "core/atomic_file.h"
#include "fakes/temp_dir.h"

namespace tabiro {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string fileText() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  testing::TempDir dir_;
  std::string path_ = dir_.file("Tabiro2.ini");
  SettingsStore store_{path_};
};

// The whole catalogue: each key reads its default until it is stored, and
// then what was stored; no two keys share a place in the profile.
TEST_F(SettingsStoreTest, EveryKeyReadsItsDefaultUntilStored) {
  std::set<std::pair<std::string, std::string>> places;
  const auto newPlace = [&](const ProfileKey& k) {
    std::string section(k.section), name(k.name);
    for (std::string* s : {&section, &name}) {
      for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return places.emplace(section, name).second;
  };
  for (const NumberKey& k : key::kNumberKeys) {
    EXPECT_TRUE(newPlace(k)) << k.name;
    EXPECT_EQ(store_.storedInt(k), std::nullopt) << k.name;
    EXPECT_EQ(store_.readInt(k), k.def) << k.name;
  }
  for (const TextKey& k : key::kTextKeys) {
    EXPECT_TRUE(newPlace(k)) << k.name;
    EXPECT_EQ(store_.storedString(k), std::nullopt) << k.name;
    EXPECT_EQ(store_.readString(k), k.def) << k.name;
  }
  EXPECT_FALSE(std::filesystem::exists(path_));
  for (const NumberKey& k : key::kNumberKeys) store_.writeInt(k, k.def + 7);
  for (const TextKey& k : key::kTextKeys) store_.writeString(k, "x");
  for (const NumberKey& k : key::kNumberKeys) EXPECT_EQ(store_.readInt(k), k.def + 7) << k.name;
  for (const TextKey& k : key::kTextKeys) EXPECT_EQ(store_.readString(k), "x") << k.name;
}

TEST_F(SettingsStoreTest, AsciiNamesMatchWithoutCase) {
  writeFile("[tabiro INFO]\r\ngps=2\r\n");
  EXPECT_EQ(store_.storedInt(key::kGps).value_or(0), 2);
  EXPECT_EQ(store_.storedInt("TABIRO info", "GPS").value_or(0), 2);
}

TEST_F(SettingsStoreTest, ShiftJisNamesMatchWholeCharacters) {
  // ア is 0x83 0x41 and ヂ is 0x83 0x61: only an ASCII fold of the trail byte
  // would make them equal. ゾ ends in 0x5D, the byte of ']'.
  writeFile("[ゾ]\r\nヂ=1\r\n");
  EXPECT_EQ(store_.storedInt("ゾ", "ヂ").value_or(0), 1);
  EXPECT_EQ(store_.storedInt("ゾ", "ア").value_or(7), 7);
}

TEST_F(SettingsStoreTest, BlanksAroundNamesEqualsSignAndValueAreTrimmed) {
  writeFile("  [ Tabiro Info ]  \r\n  GPS  =   2  \r\n\tMap\t=\t1\t\r\n");
  EXPECT_EQ(store_.storedString(key::kGps).value_or(""), "2");
  EXPECT_EQ(store_.storedString(key::kMap).value_or(""), "1");
}

TEST_F(SettingsStoreTest, OnePairOfSurroundingQuotesIsStripped) {
  writeFile("[S]\r\na=\"  padded  \"\r\nb=\"open\r\nc=\"\"x\"\"\r\n");
  EXPECT_EQ(store_.storedString("S", "a").value_or(""), "  padded  ");
  EXPECT_EQ(store_.storedString("S", "b").value_or(""), "\"open");
  EXPECT_EQ(store_.storedString("S", "c").value_or(""), "\"x\"");
}

TEST_F(SettingsStoreTest, FirstOfDuplicateKeysAndSectionsWins) {
  writeFile("[Rot]\nWaveUp=20\nwaveup=40\n[ROT]\nNavimode=1\n");
  EXPECT_EQ(store_.storedInt(key::kWaveUp).value_or(30), 20);
  EXPECT_EQ(store_.storedInt(key::kNaviMode).value_or(9), 9);  // only the first section counts
  store_.writeInt(key::kWaveUp, 25);
  EXPECT_EQ(fileText(), "[Rot]\nWaveUp=25\nwaveup=40\n[ROT]\nNavimode=1\n");
}

TEST_F(SettingsStoreTest, EmptyValueIsAnEmptyStringButNoNumber) {
  // As Windows reads it: an empty text stays empty (a cleared phrase stays
  // cleared), an empty number is the key's default (no 0-second pictures).
  writeFile("[Rot]\nFileName=\nWayPoint=\nKomatime=  \n");
  EXPECT_EQ(store_.storedString(key::kFileName), "");
  EXPECT_EQ(store_.storedInt(key::kWayPoint), std::nullopt);
  EXPECT_EQ(store_.readInt(key::kKomaTime), 5);
  EXPECT_EQ(store_.storedString(key::kPot), std::nullopt);
}

TEST_F(SettingsStoreTest, IntegersParseLikeThePlatform) {
  writeFile("[S]\na=12abc\nb=abc\nc=-5\nd= 7\ne=+3\nf=- 5\ng=0x10\n"
            "big=99999999999\nsmall=-99999999999\nmax=2147483647\nmin=-2147483648\n");
  EXPECT_EQ(store_.storedInt("S", "a").value_or(1), 12);
  EXPECT_EQ(store_.storedInt("S", "b").value_or(1), 0);
  EXPECT_EQ(store_.storedInt("S", "c").value_or(1), -5);
  EXPECT_EQ(store_.storedInt("S", "d").value_or(1), 7);
  EXPECT_EQ(store_.storedInt("S", "e").value_or(1), 3);
  EXPECT_EQ(store_.storedInt("S", "f").value_or(1), 0);
  EXPECT_EQ(store_.storedInt("S", "g").value_or(1), 0);
  // Out of range clamps instead of wrapping round to a small or negative value.
  EXPECT_EQ(store_.storedInt("S", "big").value_or(1), 2147483647);
  EXPECT_EQ(store_.storedInt("S", "small").value_or(1), -2147483647 - 1);
  EXPECT_EQ(store_.storedInt("S", "max").value_or(1), 2147483647);
  EXPECT_EQ(store_.storedInt("S", "min").value_or(1), -2147483647 - 1);
}

TEST_F(SettingsStoreTest, ShiftJisValuesWithBackslashTrailBytesRoundTrip) {
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C; neither trail byte is an escape.
  const std::string phrase = "表示ソフト\\です。スピード注意！";
  ASSERT_EQ(std::string("表ソ"), "\x95\x5C\x83\x5C");
  store_.writeString(key::kOvis2, phrase);
  EXPECT_EQ(store_.storedString(key::kOvis2).value_or(""), phrase);
  EXPECT_EQ(fileText(), "[TOS]\r\novis2=" + phrase + "\r\n");
}

// CR LF, LF and CR alone all end a line, as for Windows; a write keeps the
// file's own line end.
TEST_F(SettingsStoreTest, EveryLineEndIsReadAndAWriteKeepsTheFilesOwn) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    const auto lines = [&end](std::initializer_list<const char*> texts) {
      std::string text;
      for (const char* line : texts) text += std::string(line) + end;
      return text;
    };
    writeFile(lines({"; my notes", "[Other]", "x = 1", "", "[RECT]", "top=5", "[Rot]", "FileName=C:\\r.nyp"}));
    EXPECT_EQ(store_.storedString(key::kRectTop).value_or(""), "5");
    EXPECT_EQ(store_.storedString(key::kFileName).value_or(""), "C:\\r.nyp");
    store_.writeInt(key::kRectTop, 7);
    store_.writeInt(key::kWayPoint, 1);
    EXPECT_EQ(fileText(), lines({"; my notes", "[Other]", "x = 1", "", "[RECT]", "top=7", "[Rot]",
                                 "FileName=C:\\r.nyp", "WayPoint=1"}))
        << (end == "\r" ? "CR" : end == "\n" ? "LF" : "CR LF");
  }
}

TEST_F(SettingsStoreTest, ReplacedEntryKeepsTheFilesSpellingOfItsKey) {
  writeFile("[Tabiro Info]\n  gps = 2\n");
  store_.writeInt(key::kGps, 0);
  EXPECT_EQ(fileText(), "[Tabiro Info]\ngps=0\n");
}

TEST_F(SettingsStoreTest, NewKeyJoinsItsSectionAndNewSectionGoesAtTheEnd) {
  writeFile("[Rot]\nWayPoint=1\n; end of Rot\n\n[TOS]\nSpeed=13");  // no final line end
  EXPECT_EQ(store_.storedInt(key::kSpeed).value_or(0), 13);
  store_.writeInt(key::kWaveUp, 30);
  store_.writeInt(key::kRectLeft, -1);
  EXPECT_EQ(fileText(),
            "[Rot]\nWayPoint=1\n; end of Rot\nWaveUp=30\n\n[TOS]\nSpeed=13\n[RECT]\nleft=-1\n");

  // A file cut off at a bare "[": the new key stays with its section's
  // entries, not under the broken header.
  writeFile("[TOS]\nSpeed=13\n[");
  store_.writeInt(key::kVolume, 100);
  EXPECT_EQ(fileText(), "[TOS]\nSpeed=13\nVolume=100\n[\n");
}

TEST_F(SettingsStoreTest, NewFileIsWrittenWithCrLf) {
  store_.writeInt(key::kGps, 0);
  EXPECT_EQ(fileText(), "[Tabiro Info]\r\nGPS=0\r\n");
}

TEST_F(SettingsStoreTest, LineBreakInAValueCannotAddEntries) {
  store_.writeString(key::kFileName, "C:\\a.nyp\r\n[Tabiro Info]\r\nGPS=1");
  EXPECT_EQ(store_.storedString(key::kFileName).value_or(""), "C:\\a.nyp");
  EXPECT_EQ(store_.storedInt(key::kGps).value_or(9), 9);
}

TEST_F(SettingsStoreTest, UnchangedValueTouchesNothing) {
  writeFile("[Tabiro Info]\r\nGPS = 1 \r\n");
  const auto aged = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(path_, aged);
  store_.writeInt(key::kGps, 1);
  store_.writeString("tabiro info", "gps", "1");
  EXPECT_EQ(std::filesystem::last_write_time(path_), aged);
  EXPECT_EQ(fileText(), "[Tabiro Info]\r\nGPS = 1 \r\n");
}

TEST_F(SettingsStoreTest, FailedWriteKeepsTheOldFile) {
  store_.writeInt(key::kWaveUp, 25);
  // A directory where the temporary file should go makes the write fail.
  std::filesystem::create_directory(temporaryPathFor(path_));
  store_.writeInt(key::kWaveUp, 40);
  EXPECT_EQ(store_.storedInt(key::kWaveUp).value_or(0), 25);
}

// A power cut between writing the temporary file and renaming it leaves the
// temporary file behind, complete or cut short.
class CrashSafetySettingsStore : public SettingsStoreTest {
 protected:
  void interruptedWriteLeaves(const std::string& leftover) {
    store_.writeInt(key::kWaveUp, 25);
    store_.writeString(key::kFileName, "C:\\route.nyp");
    const std::string before = fileText();
    std::ofstream(temporaryPathFor(path_), std::ios::binary) << leftover;

    EXPECT_EQ(fileText(), before);
    EXPECT_EQ(store_.storedInt(key::kWaveUp).value_or(0), 25);
    EXPECT_EQ(store_.storedString(key::kFileName).value_or(""), "C:\\route.nyp");

    store_.writeInt(key::kWaveUp, 35);
    EXPECT_EQ(store_.storedInt(key::kWaveUp).value_or(0), 35);
    EXPECT_EQ(store_.storedString(key::kFileName).value_or(""), "C:\\route.nyp");
    EXPECT_EQ(store_.storedInt(key::kGps).value_or(-1), -1);
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path_)));
  }
};

TEST_F(CrashSafetySettingsStore, TruncatedTemporaryFileIsIgnoredAndReplaced) {
  interruptedWriteLeaves("[Rot]\r\nWave");
}

TEST_F(CrashSafetySettingsStore, CompleteUnrenamedTemporaryFileIsIgnoredAndReplaced) {
  interruptedWriteLeaves("[Rot]\r\nWaveUp=99\r\nFileName=C:\\other.nyp\r\n[Tabiro Info]\r\nGPS=1\r\n");
}

TEST(ConcurrencySettingsStore, ParallelWritersLoseNothingAndNeverTear) {
  testing::TempDir dir;
  const std::string path = dir.file("Tabiro2.ini");
  constexpr int kThreads = 4;
  constexpr int kRounds = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      SettingsStore store(path);  // one store each: the lock is process-wide
      const std::string own = "key" + std::to_string(t);
      for (int i = 0; i < kRounds; ++i) {
        store.writeInt("Race", own, i);
        ASSERT_EQ(store.storedInt("Race", own).value_or(-1), i);
        // Everyone also fights over one shared key with long, distinct values.
        store.writeString("Race", "shared", std::string(40, static_cast<char>('a' + t)));
        const std::string shared = store.storedString("Race", "shared").value_or("");
        ASSERT_EQ(shared.size(), 40u);
        ASSERT_EQ(std::set<char>(shared.begin(), shared.end()).size(), 1u) << shared;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  SettingsStore store(path);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(store.storedInt("Race", "key" + std::to_string(t)).value_or(-1), kRounds - 1);
  }
}

TEST(ConcurrencySettingsStore, ReaderDoesNotWaitWhileAnotherThreadsWriteIsFlushing) {
  testing::TempDir dir;
  const std::string path = dir.file("Tabiro2.ini");
  SettingsStore plain(path);
  plain.writeInt(key::kWayPoint, 3);

  // A write whose flush to disk hangs until the test lets it go.
  std::promise<void> flushing;
  std::promise<void> letGo;
  std::shared_future<void> released = letGo.get_future().share();
  SettingsStore slow(path, [&](const std::string& p, std::string_view contents) {
    flushing.set_value();
    released.wait();
    return replaceFileAtomically(p, contents);
  });
  std::thread writer([&] { slow.writeInt(key::kWayPoint, 4); });
  flushing.get_future().wait();

  auto read = std::async(std::launch::async, [&] { return plain.storedInt(key::kWayPoint).value_or(0); });
  const bool answered = read.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
  letGo.set_value();
  writer.join();
  ASSERT_TRUE(answered) << "the read waited for the other thread's flush";
  EXPECT_EQ(read.get(), 3) << "the old value while the new one is not in place";
  EXPECT_EQ(plain.storedInt(key::kWayPoint).value_or(0), 4);
}

// Two Tabiro programs (a second start, a crash's leftover still running)
// write the same profile at once: neither may write into the other's
// temporary file, which would leave a torn mixture of both.
TEST(ConcurrencySettingsStore, TwoProcessesWritingAtOnceNeverTearTheFile) {
  testing::TempDir dir;
  const std::string path = dir.file("Tabiro2.ini");
  constexpr int kProcesses = 3;
  constexpr int kRounds = 100;
  // Each process writes values of its own length and letter, so that a file
  // holding parts of two writes shows.
  const auto valueOf = [](int process, int round) {
    return std::string(10 + 40 * process, static_cast<char>('a' + process)) + std::to_string(round);
  };
  const auto isWhole = [&](const std::string& value) {
    for (int p = 0; p < kProcesses; ++p) {
      for (int i = 0; i < kRounds; ++i) {
        if (value == valueOf(p, i)) return true;
      }
    }
    return false;
  };
  SettingsStore(path).writeString("Race", "shared", valueOf(0, 0));
  std::fflush(nullptr);  // or each child would carry the output buffered so far
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Every read in between sees one whole write of someone's.
      SettingsStore store(path);
      for (int i = 0; i < kRounds; ++i) {
        store.writeString("Race", "shared", valueOf(p, i));
        if (!isWhole(store.storedString("Race", "shared").value_or(""))) _exit(1);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a read saw a torn file";
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string shared = SettingsStore(path).storedString("Race", "shared").value_or("");
  EXPECT_TRUE(isWhole(shared)) << text.str();
  EXPECT_EQ(text.str(), "[Race]\r\nshared=" + shared + "\r\n");
  // No process left a temporary file behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace tabiro
