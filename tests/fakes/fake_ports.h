// Fakes of the ports other than the desktop. Each records what the program
// does in the shared ActionLog and keeps the state a test asks about.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fakes/action_log.h"
#include "platform/ports.h"

namespace tabiro::testing {

// Virtual time: sleep() is logged and moves the time on at once.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(ActionLog& log) : log_(log) {}

  std::int64_t nowMs() override { return log_.nowMs(); }
  void sleep(int ms) override;
  // The local time moves on with the virtual time from the moment it is set.
  LocalTime localTime() override;
  void setLocalTime(const LocalTime& time);
  // Lets time pass without the program pausing (not logged).
  void advance(int ms) { log_.advance(ms); }
  // Runs after every sleep, as if another thread acted meanwhile.
  void afterSleep(std::function<void()> hook) { afterSleep_ = std::move(hook); }

 private:
  ActionLog& log_;
  std::function<void()> afterSleep_;
  LocalTime localTime_{2000, 1, 1, 0, 0, 0};
  std::int64_t localTimeSetAtMs_ = 0;
};

class FakeTimers final : public Timers {
 public:
  explicit FakeTimers(ActionLog& log) : log_(log) {}

  void start(int id, int periodMs) override;
  void stop(int id) override;

  bool isRunning(int id) const { return running_.count(id) != 0; }
  std::optional<int> period(int id) const;
  const std::map<int, int>& running() const { return running_; }  // id -> period

 private:
  ActionLog& log_;
  std::map<int, int> running_;
};

class FakeToolbarView final : public ToolbarView {
 public:
  explicit FakeToolbarView(ActionLog& log) : log_(log) {}

  void loadBitmapSet(int id, const char* set, bool withDisabled) override;
  void enable(int id, bool enabled) override;
  void focus(int id) override;
  void setWaypointField(int value) override;
  std::optional<int> waypointField() override { return waypointField_; }

  // The user's typing in the waypoint field (not logged); nullopt: not a number.
  void typeWaypointField(std::optional<int> value) { waypointField_ = value; }
  std::string bitmapSet(int id) const;  // empty when none was loaded
  bool isEnabled(int id) const;         // controls start enabled
  std::set<int> disabled() const;
  std::optional<int> focused() const { return focused_; }

 private:
  ActionLog& log_;
  std::map<int, std::string> bitmapSets_;
  std::map<int, bool> enabled_;
  std::optional<int> focused_;
  std::optional<int> waypointField_{1};  // as start-up leaves it
};

class FakePopups final : public Popups {
 public:
  explicit FakePopups(ActionLog& log) : log_(log) {}

  int showStatus(int templateId) override;
  // Logs the popup's template, or 0 for a token that is not open.
  void closeStatus(int token) override;
  void showAbout() override { log_.record(About()); }
  void openHelp() override { log_.record(Help()); }
  void showError(const std::string& text) override { log_.record(ErrorShown(text)); }
  int showPicture(const std::string& pictureFile, const std::string& caption) override;
  // Logs the picture's file, or an empty name for a token that is not open.
  void closePicture(int token) override;

  // The settings dialogs run the user's part the test scripts below: it
  // changes the values as typing would, may press the buttons that open
  // another dialog, and returns whether the user confirmed. Without a script
  // a dialog is cancelled at once. Each run is logged as it closes.
  bool runPathSettings(PathSettings& values) override;
  bool runGuidanceSettings(GuidanceSettings& values,
                           const std::function<void()>& openPhrases) override;
  bool runGuidePhrases(GuidePhrases& values,
                       const std::function<void()>& openVoiceProperties) override;
  bool runVoiceProperties(VoiceChoice& values) override;
  bool runSapiVoiceProperties(SapiVoiceChoice& values,
                              const std::function<void(const SapiVoiceChoice&)>& tryVoice) override;
  bool runReceiverSettings(ReceiverSettings& values, const std::vector<std::string>& serialPorts,
                           const ReceiverTestRun& runTest) override;

  std::function<bool(PathSettings&)> onPathSettings;
  std::function<bool(GuidanceSettings&, const std::function<void()>& openPhrases)>
      onGuidanceSettings;
  std::function<bool(GuidePhrases&, const std::function<void()>& openVoiceProperties)>
      onGuidePhrases;
  std::function<bool(VoiceChoice&)> onVoiceProperties;
  std::function<bool(SapiVoiceChoice&, const std::function<void(const SapiVoiceChoice&)>&)>
      onSapiVoiceProperties;
  std::function<bool(ReceiverSettings&, const std::vector<std::string>& serialPorts,
                     const ReceiverTestRun& runTest)>
      onReceiverSettings;

  // Templates of the status popups still open, in the order they opened.
  std::vector<int> openStatus() const;
  // Files of the picture popups still open, in the order they opened.
  std::vector<std::string> openPictures() const;

 private:
  ActionLog& log_;
  mutable std::mutex mutex_;  // pictures come from worker threads
  std::map<int, int> open_;  // token -> template
  std::map<int, std::string> openPictures_;  // token -> picture file
  int nextToken_ = 1;
};

class FakeSound final : public Sound {
 public:
  explicit FakeSound(ActionLog& log) : log_(log) {}

  void playResource(const char* name) override { log_.record(SoundResource(name)); }
  void playFile(const std::string& fileName) override { log_.record(SoundFile(fileName)); }

 private:
  ActionLog& log_;
};

// The audio sessions a test sets up; each keeps the volume last given it,
// and every volume set is logged, also for a session gone. Sessions are
// known by their instance identifier.
class FakeAudioSessions final : public AudioSessions {
 public:
  static constexpr std::uint32_t kOwnProcess = 4000;

  explicit FakeAudioSessions(ActionLog& log) : log_(log) {}

  void add(AudioSession session) { sessions_.push_back(std::move(session)); }
  void remove(const std::string& instanceId);
  // As the user moving the session's slider in the volume mixer.
  void setByUser(const std::string& instanceId, float volume);
  // As where the system offers no session list.
  void setUnavailable() { available_ = false; }
  // As where the system refuses every level for the session.
  void refuseSets(const std::string& instanceId) { refused_.push_back(instanceId); }
  // As after the program was uninstalled.
  void uninstall(const std::string& executable) { uninstalled_.push_back(executable); }
  // Runs before each volume is set, as if to look at the world at that moment.
  void beforeSet(std::function<void()> hook) { beforeSet_ = std::move(hook); }

  std::optional<float> volume(const std::string& instanceId) const;
  // Walks over the sessions: each list and each setVolumes is one.
  int walks() const { return walks_; }

  std::optional<std::vector<AudioSession>> list() override;
  std::vector<bool> setVolumes(const std::vector<VolumeChange>& changes) override;
  bool programExists(const std::string& executable) override;
  std::uint32_t ownProcessId() override { return kOwnProcess; }

 private:
  AudioSession* find(const std::string& instanceId);
  ActionLog& log_;
  std::vector<AudioSession> sessions_;
  std::vector<std::string> refused_;
  std::vector<std::string> uninstalled_;
  std::function<void()> beforeSet_;
  bool available_ = true;
  int walks_ = 0;
};

class FakeLauncher final : public Launcher {
 public:
  // What happens when a program starts (e.g. its windows appear); returns
  // whether it could be started.
  using Handler = std::function<bool(const std::string& commandLine, int showMode)>;

  explicit FakeLauncher(ActionLog& log) : log_(log) {}

  bool launch(const std::string& commandLine, int showMode) override;
  void onLaunch(Handler handler) { handler_ = std::move(handler); }

 private:
  ActionLog& log_;
  Handler handler_;
};

// Workers are kept for the test to run (runPending), or run at once inside
// start() after setRunAtOnce(true); either way on the test's thread.
class FakeWorkers final : public Workers {
 public:
  explicit FakeWorkers(ActionLog& log) : log_(log) {}

  void start(const char* name, std::function<void()> body) override;
  void setRunAtOnce(bool atOnce) { runAtOnce_ = atOnce; }

  // Runs the kept bodies in the order started, and those they start.
  void runPending();
  std::vector<std::string> pending() const;

 private:
  struct Kept {
    std::string name;
    std::function<void()> body;
  };
  ActionLog& log_;
  bool runAtOnce_ = false;
  std::vector<Kept> pending_;
};

}  // namespace tabiro::testing
