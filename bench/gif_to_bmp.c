/* gif-to-bmp: the peer of `mapfolio-tool twk decode` in the whole-process
 * benchmark. Decodes the first image of a GIF with giflib and writes it as
 * the tool writes a map image: an 8-bit BMP with a 40-byte header, 256
 * colour entries (the colour table, then zeros) and bottom-up rows padded
 * to 4 bytes.
 *
 *   gif-to-bmp IN.gif OUT.bmp
 */
#include <gif_lib.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void put16(unsigned char* p, uint32_t v) {
    p[0] = (unsigned char)(v & 0xFF);
    p[1] = (unsigned char)(v >> 8 & 0xFF);
}

static void put32(unsigned char* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fputs("usage: gif-to-bmp IN.gif OUT.bmp\n", stderr);
        return 2;
    }
    int error = 0;
    GifFileType* gif = DGifOpenFileName(argv[1], &error);
    if (gif == NULL) {
        fprintf(stderr, "gif-to-bmp: %s\n", GifErrorString(error));
        return 1;
    }
    /* DGifSlurp puts the rows of an interlaced image in picture order. */
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        fprintf(stderr, "gif-to-bmp: %s\n", GifErrorString(gif->Error));
        DGifCloseFile(gif, &error);
        return 1;
    }
    const SavedImage* image = &gif->SavedImages[0];
    const uint32_t width = (uint32_t)image->ImageDesc.Width;
    const uint32_t height = (uint32_t)image->ImageDesc.Height;
    const ColorMapObject* colours = image->ImageDesc.ColorMap ? image->ImageDesc.ColorMap : gif->SColorMap;
    const uint32_t stride = (width + 3) / 4 * 4;
    const uint32_t headers = 14 + 40 + 256 * 4;

    unsigned char header[14 + 40 + 256 * 4];
    memset(header, 0, sizeof header);
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, headers + stride * height);
    put32(header + 10, headers);
    put32(header + 14, 40);
    put32(header + 18, width);
    put32(header + 22, height);
    put16(header + 26, 1);
    put16(header + 28, 8);
    for (int i = 0; colours != NULL && i < colours->ColorCount && i < 256; ++i) {
        unsigned char* entry = header + 54 + 4 * i;
        entry[0] = colours->Colors[i].Blue;
        entry[1] = colours->Colors[i].Green;
        entry[2] = colours->Colors[i].Red;
    }

    FILE* out = fopen(argv[2], "wb");
    if (out == NULL) {
        perror(argv[2]);
        DGifCloseFile(gif, &error);
        return 1;
    }
    /* A large buffer, so that the rows go out in few writes. */
    static char buffer[1 << 20];
    setvbuf(out, buffer, _IOFBF, sizeof buffer);
    int ok = fwrite(header, 1, sizeof header, out) == sizeof header;
    unsigned char* row = calloc(stride ? stride : 1, 1);
    ok = ok && row != NULL;
    for (uint32_t y = height; ok && y-- > 0;) {
        memcpy(row, image->RasterBits + (size_t)y * width, width);
        ok = fwrite(row, 1, stride, out) == stride;
    }
    free(row);
    ok = (fclose(out) == 0) && ok;
    DGifCloseFile(gif, &error);
    if (!ok) {
        fprintf(stderr, "gif-to-bmp: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
