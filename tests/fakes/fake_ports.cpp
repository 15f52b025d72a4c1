#include "fakes/fake_ports.h"

#include <algorithm>

#include "resource.h"

namespace tabiro::testing {

namespace {

// Gregorian calendar arithmetic (H. Hinnant's algorithms). <chrono> has its
// own, but its micro-second suffix cannot be compiled to code page 932.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

LocalTime civilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2));
  return {year, month, day, 0, 0, 0};
}

}  // namespace

void FakeClock::sleep(int ms) {
  log_.record(Sleep(ms));
  log_.advance(ms);
  if (afterSleep_) afterSleep_();
}

LocalTime FakeClock::localTime() {
  const LocalTime& t = localTime_;
  const std::int64_t seconds = daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 +
                               t.minute * 60 + t.second +
                               (log_.nowMs() - localTimeSetAtMs_) / 1000;
  const std::int64_t days = seconds / 86400;  // never before 1970 in a test
  const std::int64_t inDay = seconds % 86400;
  LocalTime now = civilFromDays(days);
  now.hour = static_cast<int>(inDay / 3600);
  now.minute = static_cast<int>(inDay / 60 % 60);
  now.second = static_cast<int>(inDay % 60);
  return now;
}

void FakeClock::setLocalTime(const LocalTime& time) {
  localTime_ = time;
  localTimeSetAtMs_ = log_.nowMs();
}

void FakeTimers::start(int id, int periodMs) {
  log_.record(TimerStart(id, periodMs));
  running_[id] = periodMs;
}

void FakeTimers::stop(int id) {
  log_.record(TimerStop(id));
  running_.erase(id);
}

std::optional<int> FakeTimers::period(int id) const {
  const auto it = running_.find(id);
  return it == running_.end() ? std::nullopt : std::optional<int>(it->second);
}

void FakeToolbarView::loadBitmapSet(int id, const char* set, bool withDisabled) {
  log_.record(BitmapSet(id, set, withDisabled));
  bitmapSets_[id] = set;
}

void FakeToolbarView::enable(int id, bool enabled) {
  log_.record(Enabled(id, enabled));
  enabled_[id] = enabled;
}

void FakeToolbarView::focus(int id) {
  log_.record(Focus(id));
  focused_ = id;
}

void FakeToolbarView::setWaypointField(int value) {
  log_.record(WaypointField(value));
  waypointField_ = value;
}

std::string FakeToolbarView::bitmapSet(int id) const {
  const auto it = bitmapSets_.find(id);
  return it == bitmapSets_.end() ? std::string() : it->second;
}

bool FakeToolbarView::isEnabled(int id) const {
  const auto it = enabled_.find(id);
  return it == enabled_.end() || it->second;
}

std::set<int> FakeToolbarView::disabled() const {
  std::set<int> ids;
  for (const auto& [id, enabled] : enabled_) {
    if (!enabled) ids.insert(id);
  }
  return ids;
}

int FakePopups::showStatus(int templateId) {
  log_.record(PopupShown(templateId));
  std::lock_guard<std::mutex> lock(mutex_);
  open_[nextToken_] = templateId;
  return nextToken_++;
}

void FakePopups::closeStatus(int token) {
  const auto it = open_.find(token);
  log_.record(PopupClosed(it == open_.end() ? 0 : it->second));
  if (it != open_.end()) open_.erase(it);
}

bool FakePopups::runPathSettings(PathSettings& values) {
  const bool confirmed = onPathSettings && onPathSettings(values);
  log_.record(DialogRun(IDD_PATH_SETTINGS, confirmed));
  return confirmed;
}

bool FakePopups::runGuidanceSettings(GuidanceSettings& values,
                                     const std::function<void()>& openPhrases) {
  const bool confirmed = onGuidanceSettings && onGuidanceSettings(values, openPhrases);
  log_.record(DialogRun(IDD_GUIDANCE_SETTINGS, confirmed));
  return confirmed;
}

bool FakePopups::runGuidePhrases(GuidePhrases& values,
                                 const std::function<void()>& openVoiceProperties) {
  const bool confirmed = onGuidePhrases && onGuidePhrases(values, openVoiceProperties);
  log_.record(DialogRun(IDD_GUIDE_PHRASES, confirmed));
  return confirmed;
}

bool FakePopups::runReceiverSettings(ReceiverSettings& values,
                                     const std::vector<std::string>& serialPorts,
                                     const ReceiverTestRun& runTest) {
  const bool confirmed = onReceiverSettings && onReceiverSettings(values, serialPorts, runTest);
  log_.record(DialogRun(IDD_RECEIVER_SETTINGS, confirmed));
  return confirmed;
}

bool FakePopups::runSapiVoiceProperties(
    SapiVoiceChoice& values, const std::function<void(const SapiVoiceChoice&)>& tryVoice) {
  const bool confirmed = onSapiVoiceProperties && onSapiVoiceProperties(values, tryVoice);
  log_.record(DialogRun(IDD_SAPI_VOICE_PROPERTIES, confirmed));
  return confirmed;
}

bool FakePopups::runVoiceProperties(VoiceChoice& values) {
  const bool confirmed = onVoiceProperties && onVoiceProperties(values);
  log_.record(DialogRun(IDD_VOICE_PROPERTIES, confirmed));
  return confirmed;
}

std::vector<int> FakePopups::openStatus() const {
  std::vector<int> templates;
  for (const auto& [token, templateId] : open_) templates.push_back(templateId);
  return templates;
}

int FakePopups::showPicture(const std::string& pictureFile, const std::string& caption) {
  log_.record(PictureShown(pictureFile, caption));
  std::lock_guard<std::mutex> lock(mutex_);
  openPictures_[nextToken_] = pictureFile;
  return nextToken_++;
}

void FakePopups::closePicture(int token) {
  std::string file;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = openPictures_.find(token);
    if (it != openPictures_.end()) {
      file = it->second;
      openPictures_.erase(it);
    }
  }
  log_.record(PictureClosed(file));
}

std::vector<std::string> FakePopups::openPictures() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> files;
  for (const auto& [token, file] : openPictures_) files.push_back(file);
  return files;
}

bool FakeLauncher::launch(const std::string& commandLine, int showMode) {
  log_.record(Launched(commandLine, showMode));
  return handler_ ? handler_(commandLine, showMode) : true;
}

void FakeWorkers::start(const char* name, std::function<void()> body) {
  log_.record(WorkerStarted(name));
  if (runAtOnce_) {
    body();
  } else {
    pending_.push_back({name, std::move(body)});
  }
}

void FakeWorkers::runPending() {
  while (!pending_.empty()) {
    const Kept next = std::move(pending_.front());
    pending_.erase(pending_.begin());
    next.body();
  }
}

std::vector<std::string> FakeWorkers::pending() const {
  std::vector<std::string> names;
  for (const Kept& k : pending_) names.push_back(k.name);
  return names;
}

void FakeAudioSessions::remove(const std::string& instanceId) {
  std::erase_if(sessions_, [&](const AudioSession& s) { return s.instanceId == instanceId; });
}

void FakeAudioSessions::setByUser(const std::string& instanceId, float volume) {
  if (AudioSession* s = find(instanceId)) s->volume = volume;
}

AudioSession* FakeAudioSessions::find(const std::string& instanceId) {
  for (AudioSession& s : sessions_) {
    if (s.instanceId == instanceId) return &s;
  }
  return nullptr;
}

std::optional<float> FakeAudioSessions::volume(const std::string& instanceId) const {
  for (const AudioSession& s : sessions_) {
    if (s.instanceId == instanceId) return s.volume;
  }
  return std::nullopt;
}

std::optional<std::vector<AudioSession>> FakeAudioSessions::list() {
  ++walks_;
  if (!available_) return std::nullopt;
  return sessions_;
}

std::vector<bool> FakeAudioSessions::setVolumes(const std::vector<VolumeChange>& changes) {
  ++walks_;
  std::vector<bool> done;
  for (const VolumeChange& change : changes) {
    if (beforeSet_) beforeSet_();
    log_.record(SessionVolume(change.instanceId, change.volume));
    AudioSession* s = find(change.instanceId);
    const bool refused =
        std::find(refused_.begin(), refused_.end(), change.instanceId) != refused_.end();
    if (s && !refused) s->volume = change.volume;
    done.push_back(s && !refused);
  }
  return done;
}

bool FakeAudioSessions::programExists(const std::string& executable) {
  return std::find(uninstalled_.begin(), uninstalled_.end(), executable) == uninstalled_.end();
}

}  // namespace tabiro::testing
