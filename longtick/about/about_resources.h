// Resource identifiers of the control's About box (shared by the .rc file and the code).
#pragma once

#define IDD_LONGTICK_ABOUT 100
#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_TITLE 1002
#define IDC_ABOUT_VERSION 1003
#define IDC_ABOUT_DESCRIPTION 1004
#define IDC_ABOUT_DISCLAIMER 1005
#define IDC_ABOUT_URL 1006
#define IDC_ABOUT_SYSINFO 1007
