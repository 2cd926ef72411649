/* Identifiers shared by Hushkey.exe's resource script, its main window and the programs
   that drive the window from outside (the end-to-end tests find controls by these IDs).
   Plain #defines: the resource compiler reads this file too. */
#ifndef HUSHKEY_RESOURCES_RESOURCE_IDS_H
#define HUSHKEY_RESOURCES_RESOURCE_IDS_H

/* Program version: 1.97, revision 0; the same as the project's version in CMakeLists.txt
   (cmake/FileProperties.cmake checks). */
#define HK_VERSION_MAJOR 1
#define HK_VERSION_MINOR 97
#define HK_VERSION_REVISION 0

/* The program's own icon (the first icon resource, shown by the shell). */
#define IDI_HUSHKEY 1

/* Menus. */
#define IDR_MAINMENU 100
#define IDR_TRAYMENU 101

/* Menu commands. */
#define IDM_FILE_MINTOTRAY 200
#define IDM_FILE_EXIT 201
#define IDM_OPTIONS 202
#define IDM_HELP_HELP 203
#define IDM_HELP_ABOUT 204
#define IDM_POPUP_RESTORE 205
#define IDM_POPUP_EXIT 206
#define IDM_POPUP_LOCKALL 207
#define IDM_POPUP_AUTOLOCK 208
#define IDM_POPUP_OPTIONS 209
#define IDM_POPUP_HELP 210

/* Controls of the main window. */
#define IDC_AUTOLOCK 1001
#define IDC_LOCKALL 1002
#define IDC_BLOCKWINCTRL 1003
#define IDC_ALLOWONLY 1004
#define IDC_MSG 1005
#define IDC_CANCEL 1006
#define IDC_EXIT 1007
#define IDC_HIGHLIGHT 1008
#define IDC_LINE1 1009
#define IDC_VERSION 1010
#define IDC_COPYRIGHT 1011
#define IDC_CHANGEMODEHID 1012

/* The help window's text. */
#define IDC_SYNTAX_TEXT 1101

/* The About box. */
#define IDD_ABOUT 300
#define IDC_ABOUT_ICON 1201
#define IDC_ABOUT_VERSION 1202
#define IDC_ABOUT_WEB 1203
#define IDC_ABOUT_EMAIL 1204

/* Private messages of the main window (WM_APP = 0x8000 and up). */
/* The tray's callback: the mouse event code in lParam. */
#define HK_MSG_TRAY_CALLBACK 0x8001
/* A diagnostic question from a program that drives the window from outside: wParam says
   which figure (hushkey/resources/diagnostics.h), the answer is the figure. */
#define HK_MSG_DIAGNOSTIC 0x8002

#endif
