#include "tools/twk_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>

namespace {

constexpr unsigned kMaxCodes = 4096;

// Code strings known to the encoder, keyed by (prefix code, next byte).
class StringTable {
public:
    void clear() { m_keys.fill(kEmpty); }
    // The code of prefix + byte, or -1.
    int find(unsigned prefix, unsigned byte) const {
        const std::uint32_t key = prefix << 8 | byte;
        for (std::uint32_t slot = hash(key);; slot = (slot + 1) & kMask) {
            if (m_keys[slot] == key) return m_codes[slot];
            if (m_keys[slot] == kEmpty) return -1;
        }
    }
    void add(unsigned prefix, unsigned byte, unsigned code) {
        const std::uint32_t key = prefix << 8 | byte;
        std::uint32_t slot = hash(key);
        while (m_keys[slot] != kEmpty) slot = (slot + 1) & kMask;
        m_keys[slot] = key;
        m_codes[slot] = static_cast<std::uint16_t>(code);
    }

private:
    // Twice the largest number of codes, so probes stay short.
    static constexpr std::uint32_t kSize = 2 * kMaxCodes;
    static constexpr std::uint32_t kMask = kSize - 1;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    static std::uint32_t hash(std::uint32_t key) { return (key * 2654435761u) >> 19 & kMask; }
    std::array<std::uint32_t, kSize> m_keys;
    std::array<std::uint16_t, kSize> m_codes;
};

class BitWriter {
public:
    void put(unsigned code, unsigned width) {
        m_bits |= std::uint64_t{code} << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.push_back(static_cast<char>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    std::string finish() {
        if (m_count > 0) m_bytes.push_back(static_cast<char>(m_bits & 0xFF));
        m_count = 0;
        m_bits = 0;
        return std::move(m_bytes);
    }

private:
    std::string m_bytes;
    std::uint64_t m_bits = 0;
    unsigned m_count = 0;
};

// The rows in the order they are sent: top first, or the four interlace
// passes.
std::vector<int> row_order(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    }
    return order;
}

std::string lzw_code(const IndexedImage& image, const TwkEncodeOptions& options, unsigned minCodeSize) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    auto table = std::make_unique<StringTable>();
    table->clear();
    BitWriter out;
    unsigned next = clear + 2;
    // The decoder learns each entry one code later than the encoder makes
    // it, so a code is as wide as the decoder's next free code needs.
    auto width = [&] { return std::min(12u, static_cast<unsigned>(std::bit_width(next - 1))); };
    out.put(clear, width());
    int current = -1;
    for (int y : row_order(image.height, options.interlaced)) {
        const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x) {
            const unsigned pixel = row[x];
            if (current < 0) {
                current = static_cast<int>(pixel);
                continue;
            }
            const int found = table->find(static_cast<unsigned>(current), pixel);
            if (found >= 0) {
                current = found;
                continue;
            }
            out.put(static_cast<unsigned>(current), width());
            if (next < kMaxCodes) {
                table->add(static_cast<unsigned>(current), pixel, next++);
            } else if (options.clearWhenFull) {
                out.put(clear, width());
                table->clear();
                next = clear + 2;
            }
            current = static_cast<int>(pixel);
        }
    }
    out.put(static_cast<unsigned>(current), width());
    if (next < kMaxCodes) ++next;  // the decoder defines an entry on that last code
    out.put(end, width());
    return out.finish();
}

void put16(std::string& s, int v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8 & 0xFF));
}

}  // namespace

std::optional<std::string> encode_twk(const IndexedImage& image, const TwkEncodeOptions& options, std::string* error) {
    auto fail = [&](const char* why) -> std::optional<std::string> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535) {
        return fail("the picture must be 1 to 65535 pixels wide and high");
    }
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return fail("the pixel count does not match the size");
    }
    if (image.palette.size() > 256) return fail("more than 256 colours");
    if (options.blockSize < 1 || options.blockSize > 255) return fail("the block size must be 1 to 255");
    const unsigned highest = image.pixels.empty() ? 0 : *std::max_element(image.pixels.begin(), image.pixels.end());
    const unsigned entries = std::max<unsigned>({2, static_cast<unsigned>(image.palette.size()), highest + 1});
    const unsigned tableBits = std::bit_width(entries - 1);  // 1..8
    unsigned minCodeSize = options.minCodeSize == 0 ? std::max(2u, tableBits) : static_cast<unsigned>(options.minCodeSize);
    if (minCodeSize < 2 || minCodeSize > 11) return fail("the minimum code size must be 2 to 11");
    if (highest >= (1u << minCodeSize)) return fail("a palette index does not fit the minimum code size");

    std::string file = options.gifSignature ? "GIF89a" : "TWK89a";
    put16(file, image.width);
    put16(file, image.height);
    file.push_back(static_cast<char>(0x80 | 0x70 | (tableBits - 1)));  // global table, 8 bits of colour
    file.push_back(0);  // background
    file.push_back(0);  // aspect ratio
    for (unsigned i = 0; i < (1u << tableBits); ++i) {
        Rgb c = i < image.palette.size() ? image.palette[i] : Rgb{};
        file.push_back(static_cast<char>(c.r));
        file.push_back(static_cast<char>(c.g));
        file.push_back(static_cast<char>(c.b));
    }
    if (options.extension) file.append("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
    file.push_back(',');
    put16(file, 0);
    put16(file, 0);
    put16(file, image.width);
    put16(file, image.height);
    file.push_back(static_cast<char>(options.interlaced ? 0x40 : 0));
    file.push_back(static_cast<char>(minCodeSize));
    const std::string data = lzw_code(image, options, minCodeSize);
    for (std::size_t at = 0; at < data.size(); at += static_cast<std::size_t>(options.blockSize)) {
        const std::size_t n = std::min(data.size() - at, static_cast<std::size_t>(options.blockSize));
        file.push_back(static_cast<char>(n));
        file.append(data, at, n);
    }
    file.push_back(0);
    file.push_back(';');  // trailer
    return file;
}
