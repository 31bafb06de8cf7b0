#include "win32/services/packed_bitmap.h"

#include "platform/packed_picture.h"

namespace win32 {

HBITMAP loadPackedBitmap(HINSTANCE module, const wchar_t* name) {
    HRSRC found = FindResourceW(module, name, RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return nullptr;
    const auto dib = platform::unpackPicture(static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found));
    if (!dib) return nullptr;
    // unpackPicture vouched for the header, the palette and every row.
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib->data());
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const std::size_t colours = header.biBitCount == 8 ? (header.biClrUsed != 0 ? header.biClrUsed : 256) : 0;
    const std::uint8_t* pixels = dib->data() + header.biSize + colours * sizeof(RGBQUAD);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT, pixels, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace win32
