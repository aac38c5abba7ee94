// Resource identifiers of the program's dialogs, controls, strings, icon and bitmap.
#pragma once

#define IDD_MAIN 102
#define IDI_PROGRAM 128
#define IDD_OPEN_DEVICE 129
#define IDB_LOGO 130
#define IDS_LANGUAGE 131
#define IDD_OPEN_DEVICE_IPV6 132
#define IDB_LOGO_2X 133
#define IDD_TARGETS 134
#define IDS_MENU_COPY 135
#define IDS_MENU_SELECT_ALL 136
#define IDS_MENU_SEARCH_TARGETS 137
#define IDS_MENU_SAVE_LIST 138

#define IDC_SEARCH 1000
#define IDC_QUIT 1001
#define IDC_OPEN_DEVICE 1002
#define IDC_REPORT 1003
#define IDC_BY_NAME 1004
#define IDC_BY_IPV4 1005
#define IDC_BY_IPV6 1006
#define IDC_DEVICE_LIST 1007
#define IDC_SEARCH_AGAIN 1008
#define IDC_TARGETS 1009

// Menu commands.
#define ID_SEARCH_TARGETS 32771
#define ID_DEVICE_OPEN 32772
#define ID_COPY_ADDRESS 32773
#define ID_COPY_LINE 32774
#define ID_SAVE_LIST 32775
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_SELECT_ALL 0xE12A
