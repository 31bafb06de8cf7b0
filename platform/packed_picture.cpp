#include "platform/packed_picture.h"

namespace platform {

namespace {

// A canonical Huffman code as deflate sends it: how many codes each length has, and the
// symbols ordered by code. Decoding walks the lengths, shortest first.
struct Huffman {
    std::uint16_t count[16] = {};
    std::uint16_t symbol[288] = {};
};

// Builds the code from each symbol's length (0: unused). False for lengths that ask more
// codes than the bits can hold; a code with some codes unused is kept, and reading one of
// those fails in decode().
bool build(Huffman& h, const std::uint8_t* lengths, int n) {
    for (int symbol = 0; symbol < n; ++symbol) ++h.count[lengths[symbol]];
    int left = 1;
    for (int length = 1; length < 16; ++length) {
        left = left * 2 - h.count[length];
        if (left < 0) return false;
    }
    std::uint16_t offset[16] = {};
    for (int length = 1; length < 15; ++length) offset[length + 1] = offset[length] + h.count[length];
    for (int symbol = 0; symbol < n; ++symbol)
        if (lengths[symbol] != 0) h.symbol[offset[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
    return true;
}

class Inflater {
public:
    Inflater(const std::uint8_t* data, std::size_t size, std::size_t limit) : data_(data), size_(size), limit_(limit) {
        out_.reserve(limit);
    }

    std::optional<std::vector<std::uint8_t>> run() {
        bool last = false;
        while (!last && !bad_) {
            last = bits(1) != 0;
            switch (bits(2)) {
                case 0: stored(); break;
                case 1: fixed(); break;
                case 2: dynamic(); break;
                default: bad_ = true;
            }
        }
        if (bad_ || out_.size() != limit_) return std::nullopt;
        return std::move(out_);
    }

private:
    // The next n bits, first bit lowest; past the end of the input the stream is bad.
    unsigned bits(int n) {
        while (count_ < n) {
            if (pos_ >= size_) {
                bad_ = true;
                return 0;
            }
            buffer_ |= static_cast<std::uint32_t>(data_[pos_++]) << count_;
            count_ += 8;
        }
        const unsigned value = buffer_ & ((1u << n) - 1);
        buffer_ >>= n;
        count_ -= n;
        return value;
    }

    int decode(const Huffman& h) {
        int code = 0, first = 0, index = 0;
        for (int length = 1; length < 16; ++length) {
            code |= static_cast<int>(bits(1));
            if (bad_) return -1;
            const int count = h.count[length];
            if (code - first < count) return h.symbol[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        bad_ = true;  // a code of no symbol
        return -1;
    }

    void put(std::uint8_t byte) {
        if (out_.size() >= limit_) bad_ = true;
        else out_.push_back(byte);
    }

    // A block kept as it is: its length and that length's complement, then the bytes.
    void stored() {
        buffer_ = 0;
        count_ = 0;
        if (size_ - pos_ < 4) {
            bad_ = true;
            return;
        }
        const unsigned length = data_[pos_] | data_[pos_ + 1] << 8;
        const unsigned complement = data_[pos_ + 2] | data_[pos_ + 3] << 8;
        pos_ += 4;
        if ((length ^ 0xFFFFu) != complement || size_ - pos_ < length || limit_ - out_.size() < length) {
            bad_ = true;
            return;
        }
        out_.insert(out_.end(), data_ + pos_, data_ + pos_ + length);
        pos_ += length;
    }

    void fixed() {
        std::uint8_t lengths[288 + 30];
        for (int symbol = 0; symbol < 288; ++symbol)
            lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
        for (int symbol = 0; symbol < 30; ++symbol) lengths[288 + symbol] = 5;
        Huffman literals, distances;
        build(literals, lengths, 288);
        build(distances, lengths + 288, 30);
        codes(literals, distances);
    }

    // The block's own codes, themselves sent as lengths in a code of code lengths.
    void dynamic() {
        const int literalCount = static_cast<int>(bits(5)) + 257;
        const int distanceCount = static_cast<int>(bits(5)) + 1;
        const int lengthCodeCount = static_cast<int>(bits(4)) + 4;
        if (bad_ || literalCount > 286 || distanceCount > 30) {
            bad_ = true;
            return;
        }
        static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::uint8_t lengths[286 + 30] = {};
        for (int i = 0; i < lengthCodeCount; ++i) lengths[kOrder[i]] = static_cast<std::uint8_t>(bits(3));
        Huffman lengthCode;
        if (bad_ || !build(lengthCode, lengths, 19)) {
            bad_ = true;
            return;
        }
        const int total = literalCount + distanceCount;
        for (int at = 0; at < total && !bad_;) {
            const int symbol = decode(lengthCode);
            if (symbol < 0) return;
            if (symbol < 16) {
                lengths[at++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t repeated = 0;
            int times = 0;
            if (symbol == 16) {
                if (at == 0) {
                    bad_ = true;
                    return;
                }
                repeated = lengths[at - 1];
                times = 3 + static_cast<int>(bits(2));
            } else if (symbol == 17) {
                times = 3 + static_cast<int>(bits(3));
            } else {
                times = 11 + static_cast<int>(bits(7));
            }
            if (at + times > total) {
                bad_ = true;
                return;
            }
            while (times-- > 0) lengths[at++] = repeated;
        }
        Huffman literals, distances;
        if (bad_ || lengths[256] == 0 || !build(literals, lengths, literalCount) ||
            !build(distances, lengths + literalCount, distanceCount)) {
            bad_ = true;
            return;
        }
        codes(literals, distances);
    }

    // Literals and back references up to the block's end code.
    void codes(const Huffman& literals, const Huffman& distances) {
        static constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static constexpr std::uint16_t kDistanceBase[30] = {
            1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
            193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        while (!bad_) {
            const int symbol = decode(literals);
            if (symbol < 0 || symbol == 256) return;
            if (symbol < 256) {
                put(static_cast<std::uint8_t>(symbol));
                continue;
            }
            if (symbol > 285) {
                bad_ = true;
                return;
            }
            const std::size_t length = kLengthBase[symbol - 257] + bits(kLengthExtra[symbol - 257]);
            const int code = decode(distances);
            if (code < 0 || code >= 30) {
                bad_ = true;
                return;
            }
            const std::size_t distance = kDistanceBase[code] + bits(kDistanceExtra[code]);
            if (bad_ || distance > out_.size() || limit_ - out_.size() < length) {
                bad_ = true;
                return;
            }
            // Byte by byte: the copy may overlap what it writes (a run of one repeated byte).
            for (std::size_t i = 0; i < length; ++i) out_.push_back(out_[out_.size() - distance]);
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t limit_;
    std::size_t pos_ = 0;
    std::uint32_t buffer_ = 0;
    int count_ = 0;
    bool bad_ = false;
    std::vector<std::uint8_t> out_;
};

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> inflate(const std::uint8_t* data, std::size_t size, std::size_t unpackedSize) {
    return Inflater(data, size, unpackedSize).run();
}

std::optional<std::vector<std::uint8_t>> unpackPicture(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 40;
    if (data == nullptr || size < 4) return std::nullopt;
    const std::size_t unpacked = le32(data);
    if (unpacked < kHeader || unpacked > kPackedPictureLimit) return std::nullopt;
    auto dib = inflate(data + 4, size - 4, unpacked);
    if (!dib) return std::nullopt;
    const std::uint8_t* h = dib->data();
    const std::int32_t width = static_cast<std::int32_t>(le32(h + 4));
    const std::int32_t height = static_cast<std::int32_t>(le32(h + 8));
    const unsigned planes = h[12] | h[13] << 8;
    const unsigned bitCount = h[14] | h[15] << 8;
    const std::uint32_t colours = le32(h + 32);
    if (le32(h) != kHeader || width < 1 || width > 4096 || height < 1 || height > 4096 || planes != 1 ||
        (bitCount != 8 && bitCount != 24) || le32(h + 16) != 0 /* BI_RGB */)
        return std::nullopt;
    const std::size_t palette = bitCount == 8 ? (colours == 0 ? 256 : colours) : colours;
    if (palette > (bitCount == 8 ? 256u : 0u)) return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
    if (kHeader + palette * 4 + stride * static_cast<std::size_t>(height) != unpacked) return std::nullopt;
    return dib;
}

}  // namespace platform
