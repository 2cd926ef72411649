// Build-time helper run on the build machine:
//   longtick_buildtool typelib-version IN.tlb OUT.tlb GUID MAJOR MINOR
//   longtick_buildtool iid-resource OUT.bin GUID
//   longtick_buildtool bitmap OUT.bmp
//   longtick_buildtool icon OUT.ico
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "longtick/control/resource_images.h"
#include "longtick/control/typelib_patch.h"

namespace {

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "longtick_buildtool: %s\n", what.c_str());
  return 1;
}

std::optional<longtick::GuidBytes> ParseGuid(const char* text) {
  auto guid = longtick::ParseGuidText(text);
  if (!guid) return std::nullopt;
  return longtick::MemoryBytes(*guid);
}

}  // namespace

int main(int argc, char** argv) {
  std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "typelib-version" && argc == 7) {
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<uint8_t> tlb((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    auto guid = ParseGuid(argv[4]);
    if (!in.good() && !in.eof()) return Fail(std::string("cannot read ") + argv[2]);
    if (!guid) return Fail(std::string("bad GUID ") + argv[4]);
    longtick::TypeInfoVersion v{static_cast<uint16_t>(std::atoi(argv[5])),
                                static_cast<uint16_t>(std::atoi(argv[6]))};
    if (!longtick::SetTypeInfoVersion(tlb, *guid, v))
      return Fail(std::string("no type ") + argv[4] + " in " + argv[2]);
    return WriteFile(argv[3], tlb) ? 0 : Fail(std::string("cannot write ") + argv[3]);
  }
  // An interface identifier as a resource of its own: its length (a 32-bit 16), then the GUID
  // as it lies in memory.
  if (cmd == "iid-resource" && argc == 4) {
    auto guid = ParseGuid(argv[3]);
    if (!guid) return Fail(std::string("bad GUID ") + argv[3]);
    std::vector<uint8_t> bytes{16, 0, 0, 0};
    bytes.insert(bytes.end(), guid->begin(), guid->end());
    return WriteFile(argv[2], bytes) ? 0 : Fail(std::string("cannot write ") + argv[2]);
  }
  if (cmd == "bitmap" && argc == 3)
    return WriteFile(argv[2], longtick::ToolboxBitmapFile()) ? 0 : Fail("cannot write bitmap");
  if (cmd == "icon" && argc == 3)
    return WriteFile(argv[2], longtick::ControlIconFile()) ? 0 : Fail("cannot write icon");
  return Fail(
      "usage: typelib-version IN OUT GUID MAJOR MINOR | iid-resource OUT GUID | bitmap OUT | "
      "icon OUT");
}
