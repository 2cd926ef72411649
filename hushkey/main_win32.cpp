// Hushkey.exe's entry point: everything is built and run by the application object.
#include <windows.h>

#include "hushkey/shell/app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static hushkey::HushkeyApp app;
  return app.Run(instance);
}
