// The program's title and the names other instances find it by. These are external
// interfaces: a running instance is found by its window title and its instance mutex, so
// neither may change between versions.
#pragma once

namespace hushkey {

// The application title, as message boxes and windows show it.
inline constexpr char kAppTitle[] = "Hushkey";

// The main window's title: the application title and exactly one trailing blank. Set when
// the window is created and never changed afterwards.
inline constexpr char kMainWindowTitle[] = "Hushkey ";

// The named mutex that marks a running instance: the title between two lower-case i's, with
// no namespace prefix.
inline constexpr char kInstanceMutexName[] = "iHushkeyi";

}  // namespace hushkey
