// The profile is read afresh at every use, by worker threads too, so a read
// must stay cheap; an unchanged write must not touch the disk at all.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/settings_store.h"
#include "fakes/temp_dir.h"

namespace tabiro {
namespace {

// About 2 KB of a lived-in profile, the key read last in its section.
std::string typicalProfile() {
  std::string text = "[Tabiro Info]\r\nGPS=0\r\nCENTER=1\r\nMatch=0\r\nMap=0\r\nMapMode=0\r\n"
                     "Ver=0\r\nExeFilePath0=C:\\Program Files\\NavinYou\\NY.exe\r\n";
  for (int i = 0; text.size() < 1500; ++i) text += "Setting" + std::to_string(i) + "=12345\r\n";
  text += "[Rot]\r\nFileName=C:\\route.nyp\r\nWayPoint=1\r\nWaveUp=30\r\n";
  text += "[TOS]\r\novis1=この先、オービス\r\novis2=です。スピード注意！\r\n";
  text += "choku=この先、直進です。\r\nmoku=まもなく目的地です。\r\n";
  text += "migi=まもなく右方向です。\r\nhidari=まもなく左方向です。\r\n";
  while (text.size() < 2048) text += "; padding\r\n";
  text += "[RECT]\r\ntop=-3\r\nleft=-1\r\n";
  return text;
}

class ProfileFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    dir_ = std::make_unique<testing::TempDir>();
    path_ = dir_->file("Tabiro2.ini");
    std::ofstream(path_, std::ios::binary) << typicalProfile();
  }
  void TearDown(const benchmark::State&) override { dir_.reset(); }

 protected:
  std::unique_ptr<testing::TempDir> dir_;
  std::string path_;
};

BENCHMARK_F(ProfileFixture, ReadOneKey)(benchmark::State& state) {
  const SettingsStore store(path_);
  for (auto _ : state) benchmark::DoNotOptimize(store.readInt(key::kRectLeft));
}

BENCHMARK_F(ProfileFixture, WriteUnchangedValue)(benchmark::State& state) {
  SettingsStore store(path_);
  for (auto _ : state) store.writeInt(key::kRectLeft, -1);
}

// Each iteration renames a flushed temporary file over the profile, so this
// one measures the disk as much as the store.
BENCHMARK_F(ProfileFixture, WriteChangedValue)(benchmark::State& state) {
  SettingsStore store(path_);
  int value = 0;
  for (auto _ : state) store.writeInt(key::kRectLeft, ++value);
}

}  // namespace
}  // namespace tabiro
