#include "platform/gdi/bitmap.h"
#include "platform/system/memory.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

BITMAPINFO256 header(LONG width, LONG height, WORD bits = 8) {
    BITMAPINFO256 info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP create(const BITMAPINFO256& info, void** bits) {
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}

TEST(DibSection, RowsArePaddedToFourBytesAndStartZeroed) {
    for (LONG width : {1, 5, 8}) {
        auto info = header(width, 3);
        info.bmiColors[7] = RGBQUAD{1, 2, 3, 0};
        void* bits = nullptr;
        HBITMAP bitmap = create(info, &bits);
        ASSERT_NE(bitmap, nullptr);
        BITMAP bm{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, width);
        EXPECT_EQ(bm.bmHeight, 3);
        EXPECT_EQ(bm.bmWidthBytes, (width + 3) / 4 * 4);
        EXPECT_EQ(bm.bmBitsPixel, 8);
        EXPECT_EQ(bm.bmBits, bits);
        for (int i = 0; i < bm.bmWidthBytes * 3; ++i) EXPECT_EQ(static_cast<BYTE*>(bits)[i], 0);
        auto* object = platform::gdi::lookup_as<platform::gdi::Bitmap>(bitmap, platform::gdi::ObjectKind::Bitmap);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->colors[7].rgbRed, 3);
        EXPECT_TRUE(DeleteObject(bitmap));
        EXPECT_FALSE(DeleteObject(bitmap));  // a handle is good once
    }
}

TEST(DibSection, RefusesWhatCannotOrMustNotBeHeld) {
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(create(header(65535, 65535), &bits), nullptr);  // 4 GiB of pixels
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(create(header(32768, 32769), &bits), nullptr);  // just over 1 GiB
    EXPECT_EQ(create(header(0, 10), &bits), nullptr);
    EXPECT_EQ(create(header(10, 10, 4), &bits), nullptr);
    int before = platform::gdi::live_object_count(platform::gdi::ObjectKind::Bitmap);
    platform::faults::fail_allocations(platform::AllocKind::Bitmap, 0, 1);
    EXPECT_EQ(create(header(10, 10), &bits), nullptr);
    platform::faults::clear_allocation_faults();
    EXPECT_EQ(platform::gdi::live_object_count(platform::gdi::ObjectKind::Bitmap), before);
}

TEST(DibSection, TopDownAnd32BitBitmaps) {
    void* bits = nullptr;
    HBITMAP bitmap = create(header(3, -2, 32), &bits);
    ASSERT_NE(bitmap, nullptr);
    auto* object = platform::gdi::lookup_as<platform::gdi::Bitmap>(bitmap, platform::gdi::ObjectKind::Bitmap);
    EXPECT_FALSE(object->bottomUp);
    EXPECT_EQ(object->stride, 12);
    EXPECT_EQ(object->row(1), static_cast<BYTE*>(bits) + 12);
    DeleteObject(bitmap);
}

}  // namespace
