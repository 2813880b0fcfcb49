// Resource, control and command identifiers shared by the .rc files and the code.
#pragma once

// Dialogs
#define IDD_MAIN 129
#define IDD_VIEW_FORM 130
#define IDD_ADD 203
#define IDD_MODIFY 205
#define IDD_PROPERTY 207
#define IDD_FILE_INFO 220
#define IDD_ABOUT 236

// Menu, bitmaps, icons
#define IDR_MAIN_MENU 201
#define IDB_TREE_IMAGES 202
#define IDB_BANNER 210
#define IDI_APP 128
#define IDI_ADD 204
#define IDI_MODIFY 206
#define IDI_PROPERTY 208

// Main window
#define IDC_TREE 41931

// Entry view form (dialog 130): buttons double as the "_Operation" menu commands
#define IDC_LIST 1003
#define IDC_REMOVE 1007
#define IDC_REFRESH 1008
#define IDC_ADDNEW 1009
#define IDC_MODIFY 1010
#define IDC_PROPERTY 1011
#define IDC_ABOUTFILE 1012
#define IDC_ENABLE 1013
#define IDC_BANNER 1014
#define IDC_DISABLE 1015
#define IDC_JUMPTO 1016  // menu and context menu only

// Edit dialogs (203, 205, 207)
#define IDC_EDIT_NAME 1008
#define IDC_EDIT_PATH 1009
#define IDC_BROWSE 1010
#define IDC_EDIT_TYPE 1011
#define IDC_EDIT_LOCATION 1012
#define IDC_DESCRIPTION 1013
#define IDC_LINE_TOP 1014
#define IDC_LINE_BOTTOM 1015
#define IDC_SECTION_LABEL 1016

// File information dialog (220)
#define IDC_INFO_PATH 1041
#define IDC_WEB_SEARCH 1060
#define IDC_SHOW_IN_FOLDER 1061
#define IDC_INFO_ICON 1062
#define IDC_INFO_LIST 1063

// About dialog (236)
#define IDC_THANKS_LIST 1084
#define IDC_WEBSITE_LINK 1085
#define IDC_SUPPORT_LINK 1086
#define IDC_APP_NAME 1087
#define IDC_APP_VERSION 1088

// Menu commands
#define IDM_EXIT 2
#define IDM_HELP 9
#define IDM_WEBSITE 32774
#define IDM_SUPPORT 32775
#define IDM_LOGVIEWER 32781
#define IDM_HIDEWINDOWS 32782
#define IDM_ABOUT 57664
// The translations listed in the Tools menu's "_Language" submenu, one command each.
#define IDM_LANGUAGE_FIRST 33000
#define IDM_LANGUAGE_LAST 33063
