#include "platform/packed_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& name) {
    std::ifstream in(std::string(QUILLET_SPLASH_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The colours (0xRRGGBB) of a bitmap's pixels, bottom row first, as a screen shows them: a
// 24-bit bitmap, or an 8-bit one plain or RLE8 (the splash variants as they were carried
// before they were packed). `dib` starts at the BITMAPINFOHEADER.
std::vector<std::uint32_t> colours(const Bytes& dib) {
    const int width = static_cast<int>(le32(dib, 4)), height = static_cast<int>(le32(dib, 8));
    const int bits = dib[14], compression = static_cast<int>(le32(dib, 16));
    const std::size_t palette = bits == 8 ? (le32(dib, 32) != 0 ? le32(dib, 32) : 256) : 0;
    const std::uint8_t* pixels = dib.data() + 40 + 4 * palette;
    auto entry = [&](int index) {
        const std::uint8_t* c = dib.data() + 40 + 4 * index;
        return static_cast<std::uint32_t>(c[2] << 16 | c[1] << 8 | c[0]);
    };
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    if (bits == 24) {
        const int stride = (width * 3 + 3) & ~3;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = pixels + y * stride + 3 * x;
                out[y * width + x] = p[2] << 16 | p[1] << 8 | p[0];
            }
    } else if (compression == 0) {
        const int stride = (width + 3) & ~3;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) out[y * width + x] = entry(pixels[y * stride + x]);
    } else {  // RLE8 as make-pictures.py writes it: runs, absolute runs, ends of line and of bitmap
        int x = 0, y = 0;
        for (const std::uint8_t* p = pixels; p + 1 < dib.data() + dib.size();) {
            const int count = *p++, value = *p++;
            if (count > 0) {
                for (int i = 0; i < count; ++i, ++x) out[y * width + x] = entry(value);
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else {
                for (int i = 0; i < value; ++i, ++x) out[y * width + x] = entry(p[i]);
                p += value + (value & 1);
            }
        }
    }
    return out;
}

// Every picture the program carries packed unpacks to the very pixels drawn: the 1x splash
// to its 24-bit bitmap byte for byte, the larger ones to the colours of their RLE8 bitmaps.
TEST(PackedPicture, SplashPicturesUnpackToTheDrawnPixels) {
    struct Case {
        const char* name;
        int width, height, bits;
    };
    for (const Case& c : {Case{"splash", 377, 63, 24}, Case{"splash_150", 566, 95, 8}, Case{"splash_200", 754, 126, 8}}) {
        SCOPED_TRACE(c.name);
        const Bytes packed = readFile(std::string(c.name) + ".pack");
        const Bytes drawn = readFile(std::string(c.name) + ".bmp");
        ASSERT_GT(drawn.size(), 54u);
        ASSERT_LT(packed.size(), drawn.size() / 2);  // packing pays for its decoder
        const auto dib = platform::unpackPicture(packed.data(), packed.size());
        ASSERT_TRUE(dib.has_value());
        EXPECT_EQ(static_cast<int>(le32(*dib, 4)), c.width);
        EXPECT_EQ(static_cast<int>(le32(*dib, 8)), c.height);
        EXPECT_EQ((*dib)[14], c.bits);
        EXPECT_EQ(le32(*dib, 16), 0u);  // uncompressed, as CreateDIBitmap takes it
        const Bytes drawnDib(drawn.begin() + 14, drawn.end());
        if (c.bits == 24) {
            EXPECT_EQ(*dib, drawnDib);
        }
        const auto shown = colours(*dib);
        EXPECT_EQ(shown, colours(drawnDib));
        EXPECT_EQ(std::count(shown.begin(), shown.end(), 0xFFFFFFFFu), 0);
    }
}

// What does not unpack whole gives nothing, and nothing read from a damaged pack runs past
// either buffer (the sanitizer build watches every case): each shortened pack, a wrong length,
// flipped bits throughout the stream, and the kept (stored) blocks with a good and a bad length.
TEST(PackedPicture, DamagedPacksGiveNothing) {
    const Bytes packed = readFile("splash_150.pack");
    ASSERT_GT(packed.size(), 100u);
    for (std::size_t cut = 0; cut < packed.size(); cut += 7)
        EXPECT_FALSE(platform::unpackPicture(packed.data(), cut).has_value()) << "cut at " << cut;

    for (int delta : {-1, 1}) {
        Bytes wrong = packed;
        const std::uint32_t length = le32(packed, 0) + delta;
        for (int i = 0; i < 4; ++i) wrong[i] = static_cast<std::uint8_t>(length >> (8 * i));
        EXPECT_FALSE(platform::unpackPicture(wrong.data(), wrong.size()).has_value()) << delta;
    }

    int whole = 0;
    for (std::size_t at = 4; at < packed.size(); at += 13) {
        Bytes damaged = packed;
        damaged[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
        const auto dib = platform::unpackPicture(damaged.data(), damaged.size());
        if (dib) {
            ++whole;  // a literal changed into another: still one whole picture of the size
            EXPECT_EQ(dib->size(), le32(packed, 0));
        }
    }
    EXPECT_LT(whole, static_cast<int>(packed.size() / 13));

    const std::uint8_t stored[] = {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'};
    EXPECT_EQ(platform::inflate(stored, sizeof stored, 3), (Bytes{'a', 'b', 'c'}));
    EXPECT_FALSE(platform::inflate(stored, sizeof stored, 2).has_value());  // more than asked
    EXPECT_FALSE(platform::inflate(stored, sizeof stored, 4).has_value());  // less than asked
    const std::uint8_t badComplement[] = {0x01, 0x03, 0x00, 0xFC, 0xFE, 'a', 'b', 'c'};
    EXPECT_FALSE(platform::inflate(badComplement, sizeof badComplement, 3).has_value());
    // A fixed-code block whose first code copies from before the start (length 3, distance 1).
    const std::uint8_t backBeforeStart[] = {0x03, 0x02, 0x00};
    EXPECT_FALSE(platform::inflate(backBeforeStart, sizeof backBeforeStart, 3).has_value());
}

}  // namespace
