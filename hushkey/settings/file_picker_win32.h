// The system open-file dialog for a portable OpenFileRequest, owned by a window.
#pragma once

#include <windows.h>

#include <string>

#include "hushkey/settings/file_picker.h"

namespace hushkey {

class Win32FilePicker final : public FilePickerPort {
 public:
  // The window the system dialog belongs to (it is disabled while the dialog is up).
  void SetOwner(HWND owner) { owner_ = owner; }

  // The chosen file's full path, or "" on Cancel or failure. The path may be as long as
  // the file system allows, whatever capacity the request names.
  std::string PickOpenFile(const OpenFileRequest& request) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace hushkey
