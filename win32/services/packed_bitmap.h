#pragma once
#include <windows.h>

namespace win32 {

// A picture the program keeps packed among its resources (type RCDATA, by name; see
// platform/packed_picture.h) as a bitmap compatible with the screen, as LoadImageW makes one
// of a BITMAP resource; null when the program has no such picture or it does not unpack.
HBITMAP loadPackedBitmap(HINSTANCE module, const wchar_t* name);

}  // namespace win32
