// The Win32 toolbar window: IDD_TOOLBAR with its bitmap buttons, tooltips,
// system menu and timers. It is the toolbar's view, popups and timers for
// ToolbarDialog, which holds every handler.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <optional>

#include "app/toolbar_handlers.h"
#include "app/win32/popups.h"
#include "ui/win32/bitmap_button.h"
#include "ui/win32/dialog.h"

namespace tabiro {

// The ports the window does not provide itself.
struct ExternalPorts {
  Desktop& desktop;
  Clock& clock;
  Sound& sound;
  Launcher& launcher;
  Workers& workers;
  AudioSessions& audio;
  ReceiverLinks& receivers;
};

class ToolbarWindow : public ui::Dialog, public ToolbarView, public Popups, public Timers {
 public:
  // Detached workers reach the toolbar through its ports for as long as the
  // process lives, so the object is never destroyed: run() lets go of the
  // window's own resources when it ends.
  ToolbarWindow(HINSTANCE instance, ExternalPorts ports, SettingsStore& settings,
                SharedState& state, SpeechControl& legacySpeech, SapiVoice& sapi);

  // Shows the toolbar and runs it until Enter, ×, Esc or the close box.
  void run();

  // ToolbarView
  void loadBitmapSet(int id, const char* set, bool withDisabled) override;
  void enable(int id, bool enabled) override;
  void focus(int id) override;
  void setWaypointField(int value) override;
  std::optional<int> waypointField() override;

  // Popups
  int showStatus(int templateId) override;
  void closeStatus(int token) override;
  void showAbout() override;
  void openHelp() override;
  void showError(const std::string& text) override;
  int showPicture(const std::string& pictureFile, const std::string& caption) override;
  void closePicture(int token) override;
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

  // Timers: a request from another thread is handed to the window's thread.
  void start(int id, int periodMs) override;
  void stop(int id) override;

 protected:
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void onInitDialog();
  void createTooltips();
  void extendSystemMenu();
  void paintMinimised();
  void finish();
  HWND activeOwner() const;
  // Relays mouse messages to the tooltips and turns F1 into the help
  // command, before the dialog's own keyboard handling.
  bool preTranslate(MSG& msg);

  AppContext ctx_;
  ToolbarSpeech speech_;
  ToolbarDialog dialog_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND tooltip_ = nullptr;
  std::map<int, std::unique_ptr<ui::BitmapButton>> buttons_;
  std::map<int, std::unique_ptr<StatusPopup>> popups_;
  int nextPopupToken_ = 1;
  bool finished_ = false;
  // The window as workers see it: set before the first timer starts and
  // cleared before the window goes, read without a race from any thread.
  std::atomic<HWND> sharedWindow_{nullptr};
};

}  // namespace tabiro
