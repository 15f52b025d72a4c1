// One announcement: the music player kept quiet, the chime, then speech or a
// WAV file, and a picture. The guidance engine and guidance start and stop
// call it from their own threads; speech itself always runs on the
// user-interface thread (IDC_SPEAK).
#pragma once

#include <string>

#include "core/app_context.h"

namespace tabiro {

// The picture shown with an announcement: a turn (the current waypoint's
// junction), a speed camera (chosen from and captioned by its text) or a
// notice (a picture of its own, captioned by its phrase).
struct AnnouncedPicture {
  enum class Kind { Turn, Camera, Notice };
  Kind kind = Kind::Turn;
  std::string cameraText;
  std::string noticePicture;
  std::string noticeCaption;

  static AnnouncedPicture turn() { return {Kind::Turn, {}, {}, {}}; }
  static AnnouncedPicture camera(std::string text) { return {Kind::Camera, std::move(text), {}, {}}; }
  static AnnouncedPicture notice(std::string picture, std::string caption) {
    return {Kind::Notice, {}, std::move(picture), std::move(caption)};
  }
};

// Speech only when an engine is ready, no player window was found and the
// user has not chosen WAV files. Decided once per announcement, so that it
// gets exactly one of the two even if a player check runs meanwhile.
bool speechChosen(AppContext& ctx);

// `phrase` is spoken when speech is chosen; wavFile (a bare file name) is
// played otherwise.
void announce(AppContext& ctx, const std::string& phrase, const AnnouncedPicture& picture,
              const std::string& wavFile);

// The picture, shown before this returns; a worker removes it after
// "Komatime" seconds.
void showAnnouncedPicture(AppContext& ctx, const AnnouncedPicture& picture);

}  // namespace tabiro
