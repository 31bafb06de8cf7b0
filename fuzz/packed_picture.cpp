// Any bytes as a packed picture from the program's resources: unpacking must stay inside the
// input and the output (the sanitizers watch), and a picture it gives is whole: its header's
// rows and palette fill exactly the bytes it said it would unpack to. The same bytes after the
// length, unpacked as a bare stream to a few lengths, never give more or less than asked.
#include <cstddef>
#include <cstdint>

#include "fuzz/require.h"
#include "platform/packed_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto dib = platform::unpackPicture(data, size)) {
        require(size >= 4);
        require(dib->size() == (data[0] | data[1] << 8 | data[2] << 16 | static_cast<size_t>(data[3]) << 24));
        require(dib->size() <= platform::kPackedPictureLimit);
    }
    for (size_t length : {size_t{0}, size_t{1}, size * 3, size_t{70000}}) {
        const auto bytes = platform::inflate(data, size, length);
        require(!bytes || bytes->size() == length);
    }
    return 0;
}
