// Numbers of the program's resources and of the controls of its dialog templates.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Strings
#define IDS_ABOUTBOX 101

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_PLUMORA_DIALOG 102
#define IDD_SETTING 103
#define IDD_HELP 130

// Menus: the tray icon's
#define IDR_TRAY_MENU 133
#define ID_TRAY_ABOUT 32773
#define ID_TRAY_EXIT 32774
#define ID_TRAY_SHOW 32776

// About box
#define IDC_ABOUT_LINK 1015

// Settings dialog
#define IDC_SETTING_OK 1001
#define IDC_SETTING_CANCEL 1002
#define IDC_BROWSE_STORAGE_ROOT 1009
#define IDC_CAMERA_NAME 1017
#define IDC_STORAGE_ROOT 1018
#define IDC_RECORDING_FOLDER 1029
#define IDC_PHOTO_FOLDER 1030

// Help dialog
#define IDC_HELP_CLOSE 1002
#define IDC_HELP_ABOUT 1011
#define IDC_HELP_USE_IN_QQ 1015
#define IDC_HELP_QQ_SHOWS_MEDIA_FILE 1016
#define IDC_HELP_IMAGES_TO_VIDEO 1017
#define IDC_HELP_RECORDING 1018
#define IDC_HELP_ADD_VIDEOS 1019
#define IDC_HELP_DELETE_VIDEOS 1020
#define IDC_HELP_MORE 1022

// Icons and bitmaps
#define IDR_MAINFRAME 128
#define IDB_LIST_ENTRY 134
#define IDB_LIST_PLAYING 136

// Main window
#define IDC_PLAYLIST 1000
#define IDC_ADD 1001
#define IDC_DELETE 1002
#define IDC_PLAY_MODE 1004
#define IDC_CLEAR 1005
#define IDC_SETTINGS 1007
#define IDC_PREVIEW 1014
#define IDC_LINK_PRODUCT 1015
#define IDC_LINK_DECODER 1016
#define IDC_LINK_QQ_HELP 1017
#define IDC_LINK_HOME 1018
#define IDC_UP 1019
#define IDC_PROGRESS 1020
#define IDC_DOWN 1021
#define IDC_PLAY_PAUSE 1022
#define IDC_STOP 1023
#define IDC_VOLUME 1024
#define IDC_MUTE 1025
#define IDC_REAL_CAMERA 1026
#define IDC_STATUS 1028
#define IDC_HELP_BUTTON 1030
#define IDC_IMAGES_TO_VIDEO 1031
#define IDC_QUIETER 1050
#define IDC_LOUDER 1051
#define IDC_LINK_DECODER_HINT 1053

// The application's manifest
#define IDR_MANIFEST 1
