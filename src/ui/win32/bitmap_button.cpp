#include "ui/win32/bitmap_button.h"

#include <string>

namespace tabiro::ui {

BitmapButton::~BitmapButton() { clear(); }

void BitmapButton::clear() {
  for (HBITMAP* b : {&up_, &down_, &focus_, &disabled_}) {
    if (*b) DeleteObject(*b);
    *b = nullptr;
  }
}

void BitmapButton::loadSet(HINSTANCE instance, const char* set, bool withDisabled) {
  clear();
  const std::string name(set);
  up_ = LoadBitmapA(instance, (name + "U").c_str());
  if (!up_) return;
  down_ = LoadBitmapA(instance, (name + "D").c_str());
  focus_ = LoadBitmapA(instance, (name + "F").c_str());
  if (withDisabled) disabled_ = LoadBitmapA(instance, (name + "X").c_str());
}

void BitmapButton::draw(const DRAWITEMSTRUCT& item) const {
  HBITMAP image = nullptr;
  if ((item.itemState & ODS_SELECTED) && down_) {
    image = down_;
  } else if ((item.itemState & ODS_FOCUS) && focus_) {
    image = focus_;
  } else if ((item.itemState & ODS_DISABLED) && disabled_) {
    image = disabled_;
  } else {
    image = up_;
  }
  if (!image) return;
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(memory, image);
  BITMAP info{};
  GetObjectA(image, sizeof info, &info);
  // Unscaled, from the top-left corner of the button.
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, info.bmWidth, info.bmHeight, memory, 0, 0,
         SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace tabiro::ui
