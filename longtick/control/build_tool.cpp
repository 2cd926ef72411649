// Build-time helper run on the build machine:
//   longtick_buildtool typelib-version IN.tlb OUT.tlb GUID MAJOR MINOR
//   longtick_buildtool bitmap OUT.bmp
//   longtick_buildtool icon OUT.ico
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

}  // namespace

int main(int argc, char** argv) {
  std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "typelib-version" && argc == 7) {
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<uint8_t> tlb((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    auto guid = longtick::ParseGuid(argv[4]);
    if (!in.good() && !in.eof()) return Fail(std::string("cannot read ") + argv[2]);
    if (!guid) return Fail(std::string("bad GUID ") + argv[4]);
    longtick::TypeInfoVersion v{static_cast<uint16_t>(std::atoi(argv[5])),
                                static_cast<uint16_t>(std::atoi(argv[6]))};
    if (!longtick::SetTypeInfoVersion(tlb, *guid, v))
      return Fail(std::string("no type ") + argv[4] + " in " + argv[2]);
    return WriteFile(argv[3], tlb) ? 0 : Fail(std::string("cannot write ") + argv[3]);
  }
  if (cmd == "bitmap" && argc == 3)
    return WriteFile(argv[2], longtick::ToolboxBitmapFile()) ? 0 : Fail("cannot write bitmap");
  if (cmd == "icon" && argc == 3)
    return WriteFile(argv[2], longtick::ControlIconFile()) ? 0 : Fail("cannot write icon");
  return Fail("usage: typelib-version IN OUT GUID MAJOR MINOR | bitmap OUT | icon OUT");
}
