// Map image files put together byte by byte, for tests that need a header
// or a code stream no encoder would write.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_support {

// LZW codes packed least significant bit first, each as wide as the decoder
// expects it: minCodeSize + 1 bits after a clear code (and at the start),
// one more bit once the entry 2^w - 1 is defined, never more than 12.
std::string code_stream(int minCodeSize, std::initializer_list<int> codes);

struct TwkBuilder {
    std::string signature = "TWK89a";
    int screenWidth = 0;
    int screenHeight = 0;
    std::uint8_t screenFlags = 0x80;        // global table present, N = 0
    std::vector<std::uint8_t> colourTable;  // 3 bytes a colour; empty: 3 << (N + 1) bytes of i * 7
    std::string beforeImage;                // extension blocks, as bytes
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    std::uint8_t imageFlags = 0;
    int minCodeSize = 2;
    std::string data;  // the code stream, cut into blocks of blockSize
    int blockSize = 255;
    bool terminator = true;     // the zero-length block
    std::string after = ";";    // bytes after the pixel data

    std::string bytes() const;
};

}  // namespace testing_support
