// The system open-file dialog as a request the Win32 adapter carries out, and what the
// options dialog's "..." button does with the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hushkey {

inline constexpr std::uint32_t kOfnHideReadOnly = 0x4;
inline constexpr std::uint32_t kOfnFileMustExist = 0x1000;

struct OpenFileRequest {
  std::string initialDir;   // empty: the platform's choice
  std::string filter;       // pairs of display text and pattern, each ended by a NUL
  int filterIndex = 1;      // the first pair
  std::string initialFile;  // the file name box's initial text
  std::string title;
  std::string defaultExtension;
  std::uint32_t flags;
};

// The request for `description` files with `extension`: filter "<description> (*.<ext>)",
// pattern "*.<ext>"; only existing files can be chosen and the read-only box is hidden; the
// title is "Open" when none is given. The initial file name is cut to the characters the
// buffer holds besides its terminating NUL.
OpenFileRequest MakeOpenFileRequest(std::string_view initialDir, std::string_view description,
                                    std::string_view extension, std::string_view initialFile,
                                    std::optional<std::string_view> title = std::nullopt);

// What the "File Exists" condition's "..." button asks for: every file (" (*.*)", "*.*"),
// no start folder or file name, the default title.
OpenFileRequest FileExistsPickRequest();

// The system dialog, owned by the options dialog's window.
class FilePickerPort {
 public:
  virtual ~FilePickerPort() = default;
  // The full path of the chosen file (UTF-8, without quotes), or empty text when the user
  // cancelled or the dialog failed.
  virtual std::string PickOpenFile(const OpenFileRequest& request) = 0;
};

// The field's text after a pick: the chosen path replaces it; an empty answer keeps it.
std::string FieldAfterPick(std::string field, std::string picked);

}  // namespace hushkey
