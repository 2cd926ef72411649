#include "hushkey/settings/file_picker.h"

#include "hushkey/engine/text_chars.h"

namespace hushkey {

namespace {

constexpr std::size_t kFileBufferCapacity = 256;

// The first `count` characters of UTF-8 text, never half a character.
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t n = 0; i < text.size() && n < count; ++n) {
    ++i;
    while (i < text.size() && IsUtf8Continuation(text[i])) ++i;
  }
  return text.substr(0, i);
}

}  // namespace

OpenFileRequest MakeOpenFileRequest(std::string_view initialDir, std::string_view description,
                                    std::string_view extension, std::string_view initialFile,
                                    std::optional<std::string_view> title) {
  std::string filter = std::string(description) + " (*." + std::string(extension) + ")";
  filter += '\0';
  filter += "*." + std::string(extension);
  filter += '\0';
  return OpenFileRequest{std::string(initialDir),
                         std::move(filter),
                         1,
                         std::string(FirstCharacters(initialFile, kFileBufferCapacity - 1)),
                         title ? std::string(*title) : std::string("Open"),
                         std::string(extension),
                         kOfnFileMustExist | kOfnHideReadOnly};
}

OpenFileRequest FileExistsPickRequest() { return MakeOpenFileRequest("", "", "*", ""); }

std::string FieldAfterPick(std::string field, std::string picked) {
  return picked.empty() ? field : picked;
}

}  // namespace hushkey
