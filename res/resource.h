/* Resource and control ids shared by the resource script and the code.
   Plain macros, because the resource compiler reads this file too. */
#ifndef TABIRO_RESOURCE_H
#define TABIRO_RESOURCE_H

/* Dialog templates */
#define IDD_TOOLBAR 102
#define IDD_POPUP_GPS_START 148
#define IDD_POPUP_GPS_STOP 149
#define IDD_POPUP_EXIT 150
#define IDD_POPUP_SCALE 151
#define IDD_PICTURE_POPUP 142
#define IDD_ABOUT 164
#define IDD_POPUP_STARTUP 165

/* Icon and strings */
#define IDI_APP 128
#define IDS_MENU_VERSION 1  /* "TabiroⅡﾊﾞｰｼﾞｮﾝ情報" */
#define IDS_MENU_SETTINGS 2 /* "TabiroⅡ動作設定" */
#define IDS_MENU_NAVI 3     /* "音声＆図形ナビ設定" */

/* System menu commands */
#define IDM_ABOUT 17
#define IDM_PATH_SETTINGS 18
#define IDM_GUIDANCE_SETTINGS 19

/* Toolbar controls (template 102) */
#define IDC_GPS 1000
#define IDC_GUIDE_SHOW 1001
#define IDC_GUIDE_HIDE 1002
#define IDC_CENTERING 1003
#define IDC_ZOOM_OUT 1004
#define IDC_SCALE_200K 1005
#define IDC_NAVIGATION 1006
#define IDC_SCALE_20K 1007
#define IDC_SCALE_10K 1008
#define IDC_GPS_RELIEF 1009
#define IDC_LEFT 1010
#define IDC_UP 1011
#define IDC_DOWN 1012
#define IDC_RIGHT 1013
#define IDC_EXIT 1014
#define IDC_ZOOM_IN 1015
#define IDC_MAP_SWITCH 1016
#define IDC_MAP_MATCH 1018
#define IDC_WINDOW_NORMAL 1019
#define IDC_WINDOW_MAX 1020
#define IDC_WAYPOINT_PREV 1021
#define IDC_SCALE_70K 1022
#define IDC_LINKED_GPS 1023
#define IDC_WAYPOINT_NEXT 1024
#define IDC_ROUTE_LIST 1025
#define IDC_ADD_CAMERA 1026
#define IDC_ROUTE_CLEAR 1027
#define IDC_WAYPOINT_FIELD 1040
#define IDC_GUIDANCE_ENDED 1043
#define IDC_SPEAK 1044
#define IDC_VOICE_PROPERTIES 1049
#define IDC_SVIEW 1062
#define IDC_HELP_BUTTON 57670

/* Items of the popups and the about box */
#define IDC_POPUP_TEXT 1100
#define IDC_POPUP_PICTURE 1101
#define IDC_ABOUT_VERSION 1102

/* Picture popup (template 142) */
#define IDC_PICTURE_FRAME 1000
#define IDC_PICTURE_REDRAW 1001
#define IDC_PICTURE_FILE 1016
#define IDC_PICTURE_CAPTION 1017

#endif
