// The control's pictures, drawn from code so that the resource files are rebuilt the same
// way every time: a clock face in the 16 standard colours.
#pragma once

#include <cstdint>
#include <vector>

namespace longtick {

// A 16x16, 16-colour toolbox bitmap (a .bmp file) on the toolbox's grey background.
std::vector<uint8_t> ToolboxBitmapFile();
// An icon file with two 16-colour images, 32x32 and 16x16, transparent around the face.
std::vector<uint8_t> ControlIconFile();

}  // namespace longtick
