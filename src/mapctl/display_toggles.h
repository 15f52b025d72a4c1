// Buttons that change how the map programs are shown: Navin' You's guide
// window, the map window's size, SView, and Navin' You's map matching.
#pragma once

#include "core/app_context.h"

namespace tabiro {

constexpr int kGuideHideWalkPauseMs = 50;
constexpr int kWindowSizeSettleMs = 500;
constexpr int kSViewSettleMs = 1000;    // a newly opened SView, before it is raised
constexpr int kSViewResizeMs = 100;
constexpr int kSettingsSheetOpenMs = 500;
constexpr int kSettingsSheetPollMs = 100;
constexpr int kSettingsCheckboxMs = 50;
constexpr int kSettingsEndMs = 10;
// How long a toggle waits for a window of another program before it gives
// up, raising the toolbar: the programs answer within a second or two.
constexpr int kToggleWaitMs = 10000;

// IDC_GUIDE_SHOW.
void showGuideWindow(AppContext& ctx);
// IDC_GUIDE_HIDE.
void hideGuideWindow(AppContext& ctx);

// IDC_WINDOW_NORMAL and IDC_WINDOW_MAX.
enum class WindowSize { Normal, Maximised };
void setMapWindowSize(AppContext& ctx, WindowSize size);

// IDC_SVIEW.
void switchSView(AppContext& ctx);

// IDC_MAP_MATCH: toggles the check box "ﾏｯﾌﾟﾏｯﾁを有効にする" in Navin' You's
// settings sheet.
void switchMapMatching(AppContext& ctx);

}  // namespace tabiro
