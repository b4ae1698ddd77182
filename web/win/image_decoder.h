#pragma once
#include <windows.h>

#include <string>

#include "base/win/handle.h"

namespace corvane::web::win {

// Decodes a PNG, JPEG, GIF (first frame) or BMP picture with the Windows Imaging Component and
// returns it as a 32-bit DIB section shrunk to fit a box of the size given (proportions kept), with
// its size in `width` and `height`. Null when the bytes are no picture WIC can read, or claim a size
// larger than an advertisement may have (see picture_header.h).
corvane::win::UniqueGdiObject DecodePictureToFit(const std::string& bytes, int boxWidth, int boxHeight, int& width,
                                                 int& height);

}  // namespace corvane::web::win
