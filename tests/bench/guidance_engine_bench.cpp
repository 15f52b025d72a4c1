// The guidance engine against a position reader at its real 400 ms cycle: a
// loop of passes without pause (repeating passes over an unchanged fix)
// beside the engine that waits for each fix. One run of each over the same
// simulated drive; printed side by side as counters:
//   spin_cpu_ms, wait_cpu_ms   CPU time of the engine's thread
//   cpu_ratio                  spin / wait
//   *_delay_median_ms, *_delay_max_ms
//                              from the fix that brings a camera into range
//                              to its announcement
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "fakes/test_context.h"
#include "guidance/guidance_engine.h"

namespace tabiro {
namespace {

constexpr int kCycleMs = 400;
constexpr int kFixes = 30;                  // a 12-second drive
constexpr double kMetresPerFix = 100;       // fast, so that cameras come often
constexpr double kCameraSpacingMetres = 600;
constexpr int kCameras = 6;
constexpr std::int32_t kBaseLatitude = 35 * 921600;
constexpr std::int32_t kBaseLongitude = 139 * 921600;

std::int64_t nowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::int32_t north(double metres) { return kBaseLatitude + static_cast<std::int32_t>(metres * 256 / 33); }

// Times each announcement from the publication of the fix it follows.
class DelayRecorder final : public GuidanceOutput {
 public:
  explicit DelayRecorder(const std::atomic<std::int64_t>& fixAtNs) : fixAtNs_(fixAtNs) {}
  void announce(const std::string&, const AnnouncedPicture&, const std::string&) override {
    const std::lock_guard<std::mutex> lock(mutex_);
    delaysMs.push_back(static_cast<double>(nowNs() - fixAtNs_.load()) / 1e6);
  }
  void showPicture(const AnnouncedPicture&) override {}
  void toolbarCommand(int) override {}
  void showCurrentWaypoint() override {}
  void cancelRaiseTimers() override {}
  void rearmRaiseTimer() override {}

  std::vector<double> delaysMs;

 private:
  const std::atomic<std::int64_t>& fixAtNs_;
  std::mutex mutex_;
};

struct DriveResult {
  double cpuMs = 0;
  std::vector<double> delaysMs;
};

// Drives north past the cameras, one fix per reader cycle, with the engine
// given as `engineLoop` on its own thread.
template <typename EngineLoop>
DriveResult drive(EngineLoop engineLoop) {
  testing::TestContext t;
  for (int n = 1; n <= kCameras; ++n) {
    Camera& camera = t.state.cameras.row(n);
    store(camera.latitude, north(n * kCameraSpacingMetres));
    store(camera.longitude, kBaseLongitude);
    store(camera.direction, CameraTable::kAnyDirection);
    camera.text.set("レーダ");
  }
  GpsFix fix{kBaseLatitude, kBaseLongitude, 60, 0, "", ""};
  publishFix(t.state, fix);
  store(t.state.guidanceRun, 1);

  std::atomic<std::int64_t> fixAtNs{nowNs()};
  DelayRecorder out(fixAtNs);
  DriveResult result;
  std::thread engine([&] {
    engineLoop(t.settings, t.state, out);
    result.cpuMs = threadCpuMs();
  });
  for (int i = 1; i <= kFixes; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kCycleMs));
    fixAtNs = nowNs();
    fix.latitude = north(i * kMetresPerFix);
    publishFix(t.state, fix);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(kCycleMs));
  stopWorker(t.state, t.state.guidanceRun);
  engine.join();
  result.delaysMs = out.delaysMs;
  return result;
}

// The pass loop as first designed: passes one after another, no pause.
void spinningLoop(SettingsStore& settings, SharedState& state, GuidanceOutput& out) {
  const EngineLimits limits = readEngineLimits(settings);
  EngineState engine;
  while (load(state.guidanceRun) != 0) guidancePass(settings, state, limits, engine, out);
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double maximum(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

void SpinningVersusWaitingEngine(benchmark::State& state) {
  for (auto _ : state) {
    const DriveResult spin = drive(spinningLoop);
    const DriveResult wait = drive(runGuidancePasses);
    state.counters["spin_cpu_ms"] = spin.cpuMs;
    state.counters["wait_cpu_ms"] = wait.cpuMs;
    state.counters["cpu_ratio"] = wait.cpuMs > 0 ? spin.cpuMs / wait.cpuMs : 0;
    state.counters["spin_announcements"] = static_cast<double>(spin.delaysMs.size());
    state.counters["wait_announcements"] = static_cast<double>(wait.delaysMs.size());
    state.counters["spin_delay_median_ms"] = median(spin.delaysMs);
    state.counters["spin_delay_max_ms"] = maximum(spin.delaysMs);
    state.counters["wait_delay_median_ms"] = median(wait.delaysMs);
    state.counters["wait_delay_max_ms"] = maximum(wait.delaysMs);
  }
}
BENCHMARK(SpinningVersusWaitingEngine)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tabiro
