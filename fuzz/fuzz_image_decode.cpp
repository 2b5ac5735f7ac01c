// Fuzz target: any bytes as a map image must decode or fail cleanly, and a
// decoded bitmap must have its rows' padding untouched.
#include "mapview/image_decoder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The pixel count the image descriptor claims, where the decoder would find
// it; 0 when the bytes do not reach that far.
std::size_t claimed_pixels(const std::uint8_t* data, std::size_t size) {
    if (size < 13) return 0;
    std::size_t at = 13 + 3 * (std::size_t{2} << (data[10] & 7));
    if (at < size && data[at] == '!') at += 8;
    if (at + 9 > size) return 0;
    return static_cast<std::size_t>(data[at + 5] | data[at + 6] << 8) * static_cast<std::size_t>(data[at + 7] | data[at + 8] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures of up to 1 GiB are allowed, but making one costs a run far
    // more than it finds: the decoding is the same for any size, and the
    // unit tests cover the sizes themselves.
    if (claimed_pixels(data, size) > (std::size_t{1} << 22)) return 0;
    // The decoder reads from a path; an in-memory file keeps the runs fast.
    static int fd = memfd_create("fuzz.twk", 0);
    if (fd < 0) return 0;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    static const std::u16string wide(path.begin(), path.end());
    HBITMAP bitmap = nullptr;
    if (DecodeMapImage(wide.c_str(), &bitmap) != ImageOk) return 0;
    BITMAP bm{};
    if (GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0) std::abort();
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    for (LONG y = 0; y < bm.bmHeight; ++y) {
        for (LONG x = bm.bmWidth; x < bm.bmWidthBytes; ++x) {
            if (bits[static_cast<std::size_t>(y) * bm.bmWidthBytes + x] != 0) std::abort();
        }
    }
    DeleteObject(bitmap);
    return 0;
}
