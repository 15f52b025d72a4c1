// The toolbar window's title: the other windows' code finds the toolbar by it.
#pragma once

namespace tabiro {

inline constexpr const char* kToolbarTitle = "Tabiro2";

}  // namespace tabiro
