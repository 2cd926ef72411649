// The identities of the Longtick control, written here and nowhere else: the type library,
// its two interfaces and the class, the ProgID and the dispatch identifiers. Every container,
// script and installed copy relies on them, so their values never change.
//
// Read three ways: by C++ (the constants at the end), by the type library's IDL through
// widl's preprocessor (the macros), and by CMake, which takes every quoted LONGTICK_* text
// below for the installer and the build helper. Keep each macro on one line of the form
// #define LONGTICK_NAME "text" or #define LONGTICK_NAME number.
#pragma once

#define LONGTICK_LIBID "D4536FD8-91E2-4F95-BEE4-03DF1DD4747B"
#define LONGTICK_CONTROL_IID "666B14E2-8302-4E34-8303-8B7AF57731B1"
#define LONGTICK_EVENTS_IID "7E8A0FFB-9D76-4CE3-97B7-D83BF1DA27BA"
#define LONGTICK_CLSID "F7BB6675-236C-4E5A-AB86-35BF25E402A6"
#define LONGTICK_PROGID "LongtickOCX.Longtick"

// _Longtick
#define LONGTICK_DISPID_ENABLED 0x68030000
#define LONGTICK_DISPID_INTERVAL_DAYS 0x68030001
#define LONGTICK_DISPID_INTERVAL_HOURS 0x68030002
#define LONGTICK_DISPID_INTERVAL_MINUTES 0x68030003
#define LONGTICK_DISPID_INTERVAL_SECONDS 0x68030004
#define LONGTICK_DISPID_ABOUT (-552)  // the standard About box method
// __Longtick
#define LONGTICK_DISPID_COUNT_DOWN 1
#define LONGTICK_DISPID_TIMER 2

#ifndef __WIDL__

#include <cstdint>

#include "longtick/control/guid_text.h"

namespace longtick {

inline constexpr Guid kLibid = GuidFromText(LONGTICK_LIBID);
inline constexpr Guid kControlIid = GuidFromText(LONGTICK_CONTROL_IID);
inline constexpr Guid kEventsIid = GuidFromText(LONGTICK_EVENTS_IID);
inline constexpr Guid kClsid = GuidFromText(LONGTICK_CLSID);
inline constexpr wchar_t kProgId[] = L"" LONGTICK_PROGID;

inline constexpr int32_t kDispidEnabled = LONGTICK_DISPID_ENABLED;
inline constexpr int32_t kDispidIntervalDays = LONGTICK_DISPID_INTERVAL_DAYS;
inline constexpr int32_t kDispidIntervalHours = LONGTICK_DISPID_INTERVAL_HOURS;
inline constexpr int32_t kDispidIntervalMinutes = LONGTICK_DISPID_INTERVAL_MINUTES;
inline constexpr int32_t kDispidIntervalSeconds = LONGTICK_DISPID_INTERVAL_SECONDS;
inline constexpr int32_t kDispidAbout = LONGTICK_DISPID_ABOUT;
inline constexpr int32_t kDispidCountDown = LONGTICK_DISPID_COUNT_DOWN;
inline constexpr int32_t kDispidTimer = LONGTICK_DISPID_TIMER;

}  // namespace longtick

#endif  // __WIDL__
