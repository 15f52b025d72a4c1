// What the settings dialogs share: one list of a dialog's settings serves
// loading and saving alike, so both run in the same order, in the manner of
// a data-exchange map.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings_store.h"
#include "ui/dialog_values.h"

namespace tabiro {

// Fills each value from the profile, or with the key's default: the value in
// effect, so that saving untouched values changes nothing.
struct ProfileLoader {
  const SettingsStore& store;
  void text(TextKey key, std::string& value) { value = store.readString(key); }
  void number(NumberKey key, int& value) { value = store.readInt(key); }
};

// Writes each value back as it stands.
struct ProfileSaver {
  SettingsStore& store;
  void text(ProfileKey key, const std::string& value) { store.writeString(key, value); }
  void number(ProfileKey key, int value) { store.writeInt(key, value); }
};

using ui::ControlEnable;

}  // namespace tabiro
