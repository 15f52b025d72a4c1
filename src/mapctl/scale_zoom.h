// The scale buttons: four fixed scales, zoom out (the ATLAS detail map) and
// zoom in (the ATLAS 1/5千), in both map program families.
#pragma once

#include "core/app_context.h"
#include "core/profile_keys.h"

namespace tabiro {

// A fixed scale: where the ATLAS menu number is stored, where Navin' You's
// slider stands for it.
struct FixedScale {
  NumberKey menuNumber;
  int sliderTarget;
};
inline constexpr FixedScale kScale200k{key::kScale20, -340};
inline constexpr FixedScale kScale70k{key::kScale7, -250};
inline constexpr FixedScale kScale20k{key::kScale2, -130};
inline constexpr FixedScale kScale10k{key::kScale1, -72};

// One arrow click moves Navin' You's slider about this far.
constexpr int kSliderStepPerClick = 9;
// The slider stands at the scale when it is closer than this to the target.
constexpr int kSliderNear = 10;
constexpr int kSliderClickPauseMs = 10;
// A walk ends when a pass leaves the slider where it was, and after this many
// passes in any case, so a slider that never gets near its target (one that
// moves more than the arrows promise, or never comes to rest) cannot hold the
// toolbar. Three passes reach any target from anywhere on a working slider.
constexpr int kMaxSliderPasses = 10;
// timer::kBringMapToFront after a Navin' You scale change brings the map and toolbar forward.
constexpr int kScaleRaiseTimerMs = 1000;

// IDC_SCALE_200K, IDC_SCALE_70K, IDC_SCALE_20K, IDC_SCALE_10K.
void selectFixedScale(AppContext& ctx, const FixedScale& scale);
// IDC_ZOOM_OUT.
void zoomOut(AppContext& ctx);
// IDC_ZOOM_IN.
void zoomIn(AppContext& ctx);

// Clicks the arrows of a Navin' You map view in bursts until its slider is
// near the target.
void walkScaleSlider(AppContext& ctx, WindowHandle view, int target);

}  // namespace tabiro
