// Guidance start reads the route and the point file on the toolbar's thread,
// and the position reader parses three status-bar texts every cycle: none of
// them may keep the toolbar waiting.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "fakes/route_builder.h"
#include "fakes/test_context.h"
#include "gps/status_bar.h"
#include "guidance/camera_file.h"
#include "guidance/route_file.h"

namespace tabiro {
namespace {

// A full route: 49 waypoints along a drive out of Tokyo.
std::string fullRoute() {
  std::vector<testing::RouteBlockSpec> blocks;
  for (int i = 0; i < WaypointTable::kRows; ++i) {
    blocks.push_back({{32873600 - 7000 * i, 128801408 - 7000 * i}, "まもなく右方向です"});
  }
  return testing::routeFileText(blocks);
}

// A full point file: 500 cameras as the "AD" button writes them.
std::string fullPointFile() {
  std::string text;
  for (int i = 0; i < CameraTable::kRows; ++i) {
    text += speedCameraLine({32873600 + 3001 * i, 128801408 - 2999 * i}, (i * 37) % 360);
  }
  return text;
}

void ScanRoute(benchmark::State& state) {
  const std::string text = fullRoute();
  std::istringstream check(text);
  if (scanRoute(check).waypoints.size() != WaypointTable::kRows) {
    state.SkipWithError("route not read");
  }
  for (auto _ : state) {
    std::istringstream in(text);
    benchmark::DoNotOptimize(scanRoute(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ScanRoute);

void ScanCameras(benchmark::State& state) {
  const std::string text = fullPointFile();
  std::istringstream check(text);
  if (scanCameras(check).cameras.size() != CameraTable::kRows) {
    state.SkipWithError("cameras not read");
  }
  for (auto _ : state) {
    std::istringstream in(text);
    benchmark::DoNotOptimize(scanCameras(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ScanCameras);

// From the file on disk into the shared tables, as guidance start does it.
class LoadFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    t_ = std::make_unique<testing::TestContext>();
    routePath_ = t_->dir.file("route.nyp");
    pointPath_ = t_->dir.file("ovis.pot");
    std::ofstream(routePath_, std::ios::binary) << fullRoute();
    std::ofstream(pointPath_, std::ios::binary) << fullPointFile();
  }
  void TearDown(const benchmark::State&) override { t_.reset(); }

 protected:
  std::unique_ptr<testing::TestContext> t_;
  std::string routePath_;
  std::string pointPath_;
};

// "WayPointMax" is unchanged after the first load, so the profile is not
// rewritten: what remains is opening, reading and storing the route.
BENCHMARK_F(LoadFixture, LoadRouteFromDisk)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(loadRoute(t_->ctx, routePath_));
}

BENCHMARK_F(LoadFixture, LoadCamerasFromDisk)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(loadCameras(t_->ctx, pointPath_));
}

// Every text labelled, so that the whole cycle is measured.
void ApplyStatusTexts(benchmark::State& state) {
  const std::string_view speed = "時速：42km/h";
  const std::string_view latitude = "北緯： 35度41分22.5秒";
  const std::string_view longitude = "東経：139度45分10.3秒";
  if (!parseSpeed(speed) || !parseLatitude(latitude) || !parseLongitude(longitude)) {
    state.SkipWithError("status texts not labelled");
  }
  GpsFix fix;
  for (auto _ : state) {
    applyStatusTexts(fix, speed, latitude, longitude);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ApplyStatusTexts);

}  // namespace
}  // namespace tabiro
