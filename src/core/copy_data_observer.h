// Data another process sends the toolbar window (WM_COPYDATA) goes to the
// observer installed here. The shipped exe installs none and leaves such data
// alone; the end-to-end build installs one that drives announcements.
#pragma once

#include <string_view>

#include "core/app_context.h"

namespace tabiro {

// True when the observer took the data.
using CopyDataObserver = bool (*)(AppContext& ctx, std::string_view data);

void installCopyDataObserver(CopyDataObserver observer);
CopyDataObserver copyDataObserver();

}  // namespace tabiro
