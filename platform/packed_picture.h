#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Bytes packed with deflate (RFC 1951, raw: no zlib or gzip wrapper around the blocks), as
// Python's zlib writes them with wbits -15. Gives exactly `size` bytes, or nothing when the
// stream is malformed, refers back before its start, ends early or unpacks to any other
// length: the output never grows past `size`, whatever the input.
std::optional<std::vector<std::uint8_t>> inflate(const std::uint8_t* data, std::size_t size,
                                                 std::size_t unpackedSize);

// The largest picture unpacked: far above the start-up window's largest (754 x 126, 8-bit).
inline constexpr std::size_t kPackedPictureLimit = 4u << 20;

// A picture kept packed in the program's resources (scripts/make-pictures.py writes them):
// its unpacked length (4 bytes, little-endian), then the deflate stream of a packed device-
// independent bitmap: the 40-byte BITMAPINFOHEADER, the palette, the rows bottom-up, each
// padded to 4 bytes. Gives that bitmap when it is whole and consistent (uncompressed, 8 or 24
// bits a pixel, 1 to 4096 pixels a side, a palette of at most 256 colours for 8 bits and
// every row present), or nothing.
std::optional<std::vector<std::uint8_t>> unpackPicture(const std::uint8_t* data, std::size_t size);

}  // namespace platform
