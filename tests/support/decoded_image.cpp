#include "tests/support/decoded_image.h"

#include "platform/gdi/bitmap.h"
#include "tests/support/test_files.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace testing_support {

std::vector<std::uint8_t> DecodedImage::picture() const {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = memory.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        out.insert(out.end(), row, row + width);
    }
    return out;
}

DecodedImage decode_image(const std::string& path) {
    DecodedImage out;
    std::u16string wide = to_u16(path);
    HBITMAP bitmap = nullptr;
    out.result = DecodeMapImage(wide.c_str(), &bitmap);
    if (out.result != ImageOk) return out;
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    out.width = bm.bmWidth;
    out.height = bm.bmHeight;
    out.stride = bm.bmWidthBytes;
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    out.memory.assign(bits, bits + static_cast<std::size_t>(bm.bmWidthBytes) * bm.bmHeight);
    auto* object = platform::gdi::lookup_as<platform::gdi::Bitmap>(bitmap, platform::gdi::ObjectKind::Bitmap);
    if (object) std::memcpy(out.colours.data(), object->colors, sizeof object->colors);
    DeleteObject(bitmap);
    return out;
}

DecodedImage decode_bytes(std::string_view bytes) {
    // A file in memory: rewriting a small file on disk over and over costs
    // milliseconds each time, and the hostile-file sweeps write thousands.
    static const int fd = memfd_create("decode-bytes", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        return DecodedImage{};
    }
    return decode_image("/proc/self/fd/" + std::to_string(fd));
}

std::string as_map_image(std::string gif) {
    if (gif.size() >= 3) gif.replace(0, 3, "TWK");
    return gif;
}

}  // namespace testing_support
