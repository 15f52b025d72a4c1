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

// Fills each value from the profile, or with the read site's default.
struct ProfileLoader {
  const SettingsStore& store;
  void text(ProfileKey key, std::string& value, std::string_view def) {
    value = store.readString(key, def);
  }
  void number(ProfileKey key, int& value, std::int32_t def) { value = store.readInt(key, def); }
};

// Writes each value back as it stands; the defaults play no part.
struct ProfileSaver {
  SettingsStore& store;
  void text(ProfileKey key, const std::string& value, std::string_view) {
    store.writeString(key, value);
  }
  void number(ProfileKey key, int value, std::int32_t) { store.writeInt(key, value); }
};

using ui::ControlEnable;

}  // namespace tabiro
