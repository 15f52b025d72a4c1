// What probe.dll and the tests that install it agree on.
#pragma once

namespace e2e {

// The shared section the probe appends its lines to.
inline constexpr const char* kProbeSection = "TabiroE2eProbeLines";
inline constexpr unsigned kProbeBytes = 64 * 1024;
// Sent to the toolbar with one of the requests as wParam.
inline constexpr const char* kProbeRequest = "TabiroE2eProbeRequest";
inline constexpr unsigned kProbeSystemMenu = 1;
inline constexpr unsigned kProbeTooltips = 2;

}  // namespace e2e
