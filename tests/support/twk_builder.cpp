#include "tests/support/twk_builder.h"

#include <algorithm>

namespace testing_support {

std::string code_stream(int minCodeSize, std::initializer_list<int> codes) {
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    int next = clear + 2;
    bool afterClear = true;
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= static_cast<std::uint32_t>(code) << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            afterClear = true;
        } else if (code != clear + 1) {
            if (!afterClear && next < 4096 && ++next == 1 << width && width < 12) ++width;
            afterClear = false;
        }
    }
    if (count > 0) out.push_back(static_cast<char>(bits & 0xFF));
    return out;
}

std::string TwkBuilder::bytes() const {
    std::string out = signature;
    auto put16 = [&](int v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8 & 0xFF));
    };
    put16(screenWidth);
    put16(screenHeight);
    out.push_back(static_cast<char>(screenFlags));
    out.append(2, '\0');
    if (colourTable.empty()) {
        for (int i = 0; i < 3 * (2 << (screenFlags & 7)); ++i) out.push_back(static_cast<char>(i * 7));
    } else {
        out.append(colourTable.begin(), colourTable.end());
    }
    out += beforeImage;
    out.push_back(',');
    put16(left);
    put16(top);
    put16(width);
    put16(height);
    out.push_back(static_cast<char>(imageFlags));
    out.push_back(static_cast<char>(minCodeSize));
    for (std::size_t at = 0; at < data.size(); at += static_cast<std::size_t>(blockSize)) {
        const std::size_t n = std::min(data.size() - at, static_cast<std::size_t>(blockSize));
        out.push_back(static_cast<char>(n));
        out.append(data, at, n);
    }
    if (terminator) out.push_back('\0');
    out += after;
    return out;
}

}  // namespace testing_support
