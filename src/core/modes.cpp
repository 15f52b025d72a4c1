#include "core/modes.h"

#include "core/profile_keys.h"

namespace tabiro {

namespace {

// The stored numbers are the enumerators' positions, from 0 up to Unknown.
template <typename Mode>
Mode readMode(const SettingsStore& settings, NumberKey key) {
  const int stored = settings.readInt(key);
  return stored >= 0 && stored < static_cast<int>(Mode::Unknown) ? static_cast<Mode>(stored)
                                                                 : Mode::Unknown;
}

template <typename Mode>
void writeMode(SettingsStore& settings, ProfileKey key, Mode mode) {
  if (mode != Mode::Unknown) settings.writeInt(key, static_cast<int>(mode));
}

}  // namespace

NavinVersion readNavinVersion(const SettingsStore& settings) {
  return readMode<NavinVersion>(settings, key::kVer);
}

MapMode readMapMode(const SettingsStore& settings) {
  return readMode<MapMode>(settings, key::kMapMode);
}

void writeMapMode(SettingsStore& settings, MapMode mode) {
  writeMode(settings, key::kMapMode, mode);
}

MapInFront readMapInFront(const SettingsStore& settings) {
  return readMode<MapInFront>(settings, key::kMap);
}

void writeMapInFront(SettingsStore& settings, MapInFront front) {
  writeMode(settings, key::kMap, front);
}

GpsRun readGpsRun(const SettingsStore& settings) { return readMode<GpsRun>(settings, key::kGps); }

void writeGpsRun(SettingsStore& settings, GpsRun run) { writeMode(settings, key::kGps, run); }

PointLevel readPointLevel(const SettingsStore& settings) {
  return readMode<PointLevel>(settings, key::kPointLevel);
}

void writePointLevel(SettingsStore& settings, PointLevel level) {
  writeMode(settings, key::kPointLevel, level);
}

}  // namespace tabiro
