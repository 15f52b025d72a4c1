// The four direction buttons: scroll the map by one arrow key, or, while GPS
// tracks in Navin' You ("Match" = 1), nudge its map-matched position.
#pragma once

#include "core/app_context.h"
#include "core/profile_keys.h"
#include "mapctl/input_messages.h"

namespace tabiro {

struct DirectionButton {
  ArrowKey key;
  bool atlasHorizontal;  // which ATLAS arrow step scrolls this way
  int atlasDirection;    // its argument: 1 left or up, 2 right or down
  NumberKey correction;  // "MapMatch" amount in pixels
  int dx, dy;            // which way the amount moves the click from the centre
};
inline constexpr DirectionButton kLeftButton{ArrowKey::Left, true, 1, key::kHoseiL, -1, 0};
inline constexpr DirectionButton kUpButton{ArrowKey::Up, false, 1, key::kHoseiU, 0, -1};
inline constexpr DirectionButton kDownButton{ArrowKey::Down, false, 2, key::kHoseiD, 0, 1};
inline constexpr DirectionButton kRightButton{ArrowKey::Right, true, 2, key::kHoseiR, 1, 0};

constexpr int kCorrectionSettleMs = 500;
// The follow-up left click sits this far up and left of the view's centre.
constexpr int kCorrectionFollowUpOffset = 50;

// IDC_LEFT, IDC_UP, IDC_DOWN, IDC_RIGHT: scroll or correct, as "Match" says.
void pressDirectionButton(AppContext& ctx, const DirectionButton& button);

void scrollMap(AppContext& ctx, const DirectionButton& button);
void correctMapMatch(AppContext& ctx, const DirectionButton& button);

}  // namespace tabiro
