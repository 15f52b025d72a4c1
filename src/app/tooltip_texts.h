// The toolbar's tooltips, in the order they are added.
#pragma once

#include <array>

#include "resource.h"

namespace tabiro {

struct Tooltip {
  int id;
  const char* text;
};

inline constexpr std::array<Tooltip, 30> kTooltips{{
    {IDC_GPS, "GPS開始・終了 [1]"},
    {IDC_LINKED_GPS, "連動GPS開始・終了 [Q]"},
    {IDC_GPS_RELIEF, "GPSリリーフ解除 [2]"},
    {IDC_GUIDE_SHOW, "N:ガイド窓表示 [3]"},
    {IDC_GUIDE_HIDE, "N:ガイド窓消去 [4]"},
    {IDC_ROUTE_LIST, "N:ﾙｰﾄ一覧 [B]"},
    {IDC_ROUTE_CLEAR, "N:ﾙｰﾄｸﾘｱ [N]"},
    {IDC_CENTERING, "自車位置ｾﾝﾀﾘﾝｸﾞON/OFF [5]"},
    {IDC_ADD_CAMERA, "ｵｰﾋﾞｽﾃﾞｰﾀ追加 [6]"},
    {IDC_SVIEW, "SView表示切り替え [7]"},
    {IDC_MAP_MATCH, "ﾏｯﾌﾟﾏｯﾁON/OFF切り替え [8]"},
    {IDC_NAVIGATION, "音声&図形ナビ開始/終了 [/]"},
    {IDC_WAYPOINT_PREV, "ﾅﾋﾞﾎﾟｲﾝﾄ戻し [<]"},
    {IDC_WAYPOINT_FIELD, "ﾅﾋﾞﾎﾟｲﾝﾄ表示窓"},
    {IDC_WAYPOINT_NEXT, "ﾅﾋﾞﾎﾟｲﾝﾄ送り [>]"},
    {IDC_LEFT, "青:左ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [A]"},
    {IDC_UP, "青:上ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [W]"},
    {IDC_DOWN, "青:下ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [Z]"},
    {IDC_RIGHT, "青:右ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [S]"},
    {IDC_SCALE_200K, "縮尺1/20万 [9]"},
    {IDC_SCALE_70K, "縮尺1/7万 [0]"},
    {IDC_SCALE_20K, "縮尺1/2万 [ - ]"},
    {IDC_SCALE_10K, "縮尺1/1万 [ ^ ]"},
    {IDC_ZOOM_IN, "N:ｽﾞｰﾑｲﾝ A:1/5千 [\\]"},
    {IDC_ZOOM_OUT, "N:ｽﾞｰﾑｱｳﾄ A:詳細地図表示切り替え ( [ )"},
    {IDC_WINDOW_NORMAL, "Windowﾉｰﾏﾙ表示 [ : ]"},
    {IDC_WINDOW_MAX, "Window最大表示 ( ] )"},
    {IDC_MAP_SWITCH, "地図切り替え [@]"},
    {IDC_HELP_BUTTON, "TabiroⅡ ver5.90 ヘルプ [F1]"},
    {IDC_EXIT, "TabiroⅡのみ終了[Enter]/[Esc]-地図ｱﾌﾟﾘも終了"},
}};

}  // namespace tabiro
