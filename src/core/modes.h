// The profile's mode keys read as what they mean. A number the program never
// writes reads as Unknown, and each caller keeps its own answer to that.
#pragma once

#include "core/settings_store.h"

namespace tabiro {

// "Ver": Navin' You 1.0; 2.0 alone, its ProAtlas map a second document inside
// it; 2.0 with a separate ATLAS program.
enum class NavinVersion { V1, V2Alone, V2WithAtlas, Unknown };
NavinVersion readNavinVersion(const SettingsStore& settings);

// "MapMode": one map program at a time, or both at once (linked GPS possible).
enum class MapMode { Alternating, Simultaneous, Unknown };
MapMode readMapMode(const SettingsStore& settings);
void writeMapMode(SettingsStore& settings, MapMode mode);

// "Map": the map program in front; with one at a time, the one running.
enum class MapInFront { NavinYou, Atlas, Unknown };
MapInFront readMapInFront(const SettingsStore& settings);
void writeMapInFront(SettingsStore& settings, MapInFront front);

// "GPS": stopped, started by the GPS button, or linked GPS started by its own.
enum class GpsRun { Stopped, Running, Linked, Unknown };
GpsRun readGpsRun(const SettingsStore& settings);
void writeGpsRun(SettingsStore& settings, GpsRun run);

// "PointLevel": how far the current waypoint has come.
enum class PointLevel { Far, Approaching, Announced, Unknown };
PointLevel readPointLevel(const SettingsStore& settings);
void writePointLevel(SettingsStore& settings, PointLevel level);

}  // namespace tabiro
