// An owner-drawn button painted from a four-bitmap set: up, down, focus,
// disabled. A state without an image falls through to the next rule.
#pragma once

#include <windows.h>

namespace tabiro::ui {

class BitmapButton {
 public:
  BitmapButton() = default;
  ~BitmapButton();
  BitmapButton(const BitmapButton&) = delete;
  BitmapButton& operator=(const BitmapButton&) = delete;

  // Loads set+"U", "D", "F" and, when withDisabled, set+"X". When the up
  // image is missing the button has no images until the next set.
  void loadSet(HINSTANCE instance, const char* set, bool withDisabled);
  void draw(const DRAWITEMSTRUCT& item) const;

 private:
  void clear();

  HBITMAP up_ = nullptr;
  HBITMAP down_ = nullptr;
  HBITMAP focus_ = nullptr;
  HBITMAP disabled_ = nullptr;
};

}  // namespace tabiro::ui
