// mapfolio-tool twk: inspect, decode and make map images.
#include "mapview/image_decoder.h"
#include "tools/png_io.h"
#include "tools/quantizer.h"
#include "tools/tool_commands.h"
#include "tools/twk_encoder.h"
#include "tools/twk_header.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string_view>

namespace {

const char* result_name(ImageResult result) {
    static const char* const kNames[] = {"ImageOk", "ImageOpenFailed", "ImageBadSignature", "ImageUnsupported",
                                         "ImageNoMemory"};
    const int i = static_cast<int>(result);
    return i >= 0 && i < 5 ? kNames[i] : "unknown";
}

bool ends_with(const std::string& s, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) return false;
    }
    return true;
}

std::optional<std::string> read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes the parts one after the other as one file.
bool write_parts(const std::string& path, std::initializer_list<std::string_view> parts) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::string_view part : parts) out.write(part.data(), static_cast<std::streamsize>(part.size()));
    out.close();
    return static_cast<bool>(out);
}

bool write_whole(const std::string& path, const std::string& bytes) { return write_parts(path, {bytes}); }

std::u16string wide_path(const std::string& path) { return platform::from_utf8(path); }

// Decodes a map image file into the tool's own picture. The bitmap's rows
// come bottom-up and padded, as the decoder made them.
ImageResult decode_to_indexed(const std::string& path, IndexedImage* image, TwkHeader* header) {
    std::u16string wide = wide_path(path);
    HBITMAP bitmap = nullptr;
    ImageResult result = DecodeMapImage(wide.c_str(), &bitmap);
    if (result != ImageOk) return result;
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    image->width = bm.bmWidth;
    image->height = bm.bmHeight;
    image->pixels.resize(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    for (int y = 0; y < bm.bmHeight; ++y) {
        std::memcpy(image->pixels.data() + static_cast<std::size_t>(y) * bm.bmWidth,
                    bits + static_cast<std::size_t>(bm.bmHeight - 1 - y) * bm.bmWidthBytes, static_cast<std::size_t>(bm.bmWidth));
    }
    DeleteObject(bitmap);
    if (auto h = read_twk_header_file(path)) {
        *header = *h;
        image->palette = h->palette;
    }
    return ImageOk;
}

int run_info(const ToolArgs& args) {
    if (args.size() != 2) return 2;
    IndexedImage image;
    TwkHeader header;
    ImageResult result = decode_to_indexed(args[1], &image, &header);
    std::printf("%s\n", result_name(result));
    if (result != ImageOk) return 1;
    std::printf("width %d\nheight %d\ncolours %zu\ninterlaced %s\n", image.width, image.height, header.palette.size(),
                header.interlaced ? "yes" : "no");
    return 0;
}

void put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// The headers of the bitmap as a Windows BMP file: the file header, the
// decoder's 40-byte header and its 256 colour entries. The decoder's
// bottom-up padded rows follow them as they are.
std::string bmp_headers(int width, int height, int stride, const std::vector<Rgb>& palette) {
    constexpr std::uint32_t kHeaders = 14 + 40 + 256 * 4;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(height);
    std::string out = "BM";
    out.reserve(kHeaders);
    put32(out, kHeaders + pixelBytes);
    put32(out, 0);
    put32(out, kHeaders);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 8);
    for (int i = 0; i < 6; ++i) put32(out, 0);  // BI_RGB, size, resolution, colours used and important
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        out.push_back(static_cast<char>(c.b));
        out.push_back(static_cast<char>(c.g));
        out.push_back(static_cast<char>(c.r));
        out.push_back(0);
    }
    return out;
}

int run_decode(const ToolArgs& args) {
    if (args.size() != 3) return 2;
    const std::string& out = args[2];
    const bool bmp = ends_with(out, ".bmp");
    if (!bmp && !ends_with(out, ".png")) {
        std::fprintf(stderr, "mapfolio-tool: the output must end in .bmp or .png\n");
        return 2;
    }
    std::u16string wide = wide_path(args[1]);
    HBITMAP bitmap = nullptr;
    ImageResult result = DecodeMapImage(wide.c_str(), &bitmap);
    if (result != ImageOk) {
        std::printf("%s\n", result_name(result));
        return 1;
    }
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    TwkHeader header;
    header = read_twk_header_file(args[1]).value_or(TwkHeader{});
    bool written = false;
    std::string error;
    if (bmp) {
        // The rows go out straight from the bitmap, without a copy.
        const std::string_view rows(static_cast<const char*>(bm.bmBits),
                                    static_cast<std::size_t>(bm.bmWidthBytes) * static_cast<std::size_t>(bm.bmHeight));
        written = write_parts(out, {bmp_headers(bm.bmWidth, bm.bmHeight, bm.bmWidthBytes, header.palette), rows});
        if (!written) error = "cannot write " + out;
    } else {
        IndexedImage image;
        image.width = bm.bmWidth;
        image.height = bm.bmHeight;
        image.palette = header.palette;
        const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
        for (int y = 0; y < bm.bmHeight; ++y) {
            const std::uint8_t* row = bits + static_cast<std::size_t>(bm.bmHeight - 1 - y) * bm.bmWidthBytes;
            image.pixels.insert(image.pixels.end(), row, row + bm.bmWidth);
        }
        written = write_png(out, image, &error);
    }
    DeleteObject(bitmap);
    if (!written) {
        std::fprintf(stderr, "mapfolio-tool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// A GIF's first image as a map image: its colour table (the local one when
// it has one) becomes the global one and every extension is left out; the
// pixel data is copied as it is, so the map image decoder can read it.
std::optional<std::string> gif_as_twk(const std::string& gif, std::string* error) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(gif.data());
    const std::size_t size = gif.size();
    auto fail = [&](const char* why) -> std::optional<std::string> {
        *error = why;
        return std::nullopt;
    };
    if (size < 13) return fail("the GIF file is too short");
    std::size_t at = 13;
    std::size_t tableAt = 0;
    std::size_t tableBytes = 0;
    int tableBits = 0;
    if (b[10] & 0x80) {
        tableBits = b[10] & 7;
        tableAt = at;
        tableBytes = 3 * (std::size_t{2} << tableBits);
        at += tableBytes;
    }
    while (at < size && b[at] == '!') {
        at += 2;
        while (at < size && b[at] != 0) at += std::size_t{b[at]} + 1;
        ++at;
    }
    if (at + 10 > size || b[at] != ',') return fail("the GIF file holds no image");
    const std::size_t descriptor = at;
    at += 10;
    if (b[descriptor + 9] & 0x80) {
        tableBits = b[descriptor + 9] & 7;
        tableAt = at;
        tableBytes = 3 * (std::size_t{2} << tableBits);
        at += tableBytes;
    }
    if (tableBytes == 0) return fail("the GIF image has no colour table");
    if (at > size || tableAt + tableBytes > size) return fail("the GIF file is cut short");
    std::string twk = "TWK89a";
    twk.append(gif, 6, 4);
    twk.push_back(static_cast<char>(0x80 | 0x70 | tableBits));
    twk.append(2, '\0');
    twk.append(gif, tableAt, tableBytes);
    twk.append(gif, descriptor, 9);
    twk.push_back(static_cast<char>(b[descriptor + 9] & 0x40));
    twk.append(gif, at, std::string::npos);  // the code size and the data blocks
    return twk;
}

// Reads a GIF through the map image decoder, from a file that only lives in
// memory.
bool read_gif(const std::string& gif, IndexedImage* image, std::string* error) {
    std::optional<std::string> twk = gif_as_twk(gif, error);
    if (!twk) return false;
    int fd = memfd_create("gif-import", MFD_CLOEXEC);
    if (fd < 0 || write(fd, twk->data(), twk->size()) != static_cast<ssize_t>(twk->size())) {
        if (fd >= 0) close(fd);
        *error = "cannot hold the GIF in memory";
        return false;
    }
    TwkHeader header;
    ImageResult result = decode_to_indexed("/proc/self/fd/" + std::to_string(fd), image, &header);
    close(fd);
    if (result != ImageOk) {
        *error = std::string("the GIF image does not decode: ") + result_name(result);
        return false;
    }
    return true;
}

int run_encode(const ToolArgs& args) {
    std::vector<std::string> files;
    bool dither = false;
    int colours = 256;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--dither") {
            dither = true;
        } else if (args[i] == "--colours" && i + 1 < args.size()) {
            colours = std::atoi(args[++i].c_str());
            if (colours < 2 || colours > 256) {
                std::fprintf(stderr, "mapfolio-tool: --colours takes 2 to 256\n");
                return 2;
            }
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return 2;
    const std::string& in = files[0];
    const std::string& out = files[1];
    std::optional<std::string> bytes = read_whole(in);
    if (!bytes) {
        std::fprintf(stderr, "mapfolio-tool: cannot read %s\n", in.c_str());
        return 1;
    }
    IndexedImage image;
    std::string error;
    bool read = false;
    bool reduced = false;
    if (bytes->compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        PngContents png;
        read = read_png(in, &png, &error);
        if (read) {
            image = png.hasPalette ? fit_palette(png.indexed, colours, dither, &reduced)
                                   : fit_palette(png.rgb, colours, dither, &reduced);
        }
    } else if (bytes->compare(0, 3, "GIF") == 0) {
        read = read_gif(*bytes, &image, &error);
    } else {
        error = "not a PNG or GIF file";
    }
    if (!read) {
        std::fprintf(stderr, "mapfolio-tool: %s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    std::optional<std::string> twk = encode_twk(image, TwkEncodeOptions{}, &error);
    if (!twk) {
        std::fprintf(stderr, "mapfolio-tool: %s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    if (!write_whole(out, *twk)) {
        std::fprintf(stderr, "mapfolio-tool: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %zu colours%s\n", out.c_str(), image.width, image.height, image.palette.size(),
                reduced ? (dither ? " (reduced, dithered)" : " (reduced)") : "");
    return 0;
}

}  // namespace

int RunTwkCommand(const ToolArgs& args) {
    struct Command {
        const char* name;
        int (*run)(const ToolArgs&);
    };
    static constexpr Command kCommands[] = {{"info", run_info}, {"decode", run_decode}, {"encode", run_encode}};
    int code = 2;
    for (const Command& command : kCommands) {
        if (!args.empty() && args[0] == command.name) code = command.run(args);
    }
    if (code == 2) {
        std::fprintf(stderr,
                     "usage: mapfolio-tool twk info FILE\n"
                     "       mapfolio-tool twk decode FILE OUT.bmp|OUT.png\n"
                     "       mapfolio-tool twk encode IN.png|IN.gif OUT.twk [--dither] [--colours N]\n");
    }
    return code;
}
