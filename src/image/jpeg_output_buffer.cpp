#include "image/jpeg_output_buffer.h"

#include <algorithm>
#include <cstring>

namespace vantola::jpeg {

void JpegOutputBuffer::putBytes(const std::uint8_t* data, std::size_t count) {
    reserve(count);
    if (count > 0)
        std::memcpy(bytes_.data() + position_, data, count);
    position_ += count;
}

void JpegOutputBuffer::grow(std::size_t count) {
    const std::size_t needed = position_ + count;
    bytes_.resize(std::max(needed, bytes_.size() + bytes_.size() / 2));
}

} // namespace vantola::jpeg
