// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/gdi.h"
#include "tests/resourcelimits.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <sys/resource.h>

#include <cstring>
#include <vector>

namespace {

BITMAPINFO dibHeader(int width, int height, int bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP makeDib(int width, int height, int bits, BYTE** pixels = nullptr)
{
    const BITMAPINFO info = dibHeader(width, height, bits);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (pixels)
        *pixels = static_cast<BYTE*>(memory);
    return bitmap;
}

long maxRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A memory context with a bitmap selected; the stock bitmap goes back on destruction.
struct Selected {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old;
    explicit Selected(HBITMAP bitmap) : old(SelectObject(dc, bitmap)) {}
    ~Selected()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
};

} // namespace

TEST(GdiDibSection, DescribesItselfWithTheTrueImageSizeAndZeroedPixels)
{
    BYTE* pixels = nullptr;
    HBITMAP canvas = makeDib(2000, 2000, 24, &pixels);
    ASSERT_NE(canvas, nullptr);
    DIBSECTION section{};
    EXPECT_EQ(GetObjectA(canvas, GDI_DIBSECTION_BYTES, &section), 84);
    EXPECT_EQ(section.dsBm.bmBits, pixels);
    EXPECT_EQ(section.dsBm.bmWidth, 2000);
    EXPECT_EQ(section.dsBm.bmHeight, 2000);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 6000);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(section.dsBmih.biHeight, 2000);
    EXPECT_EQ(section.dsBmih.biSizeImage, 12000000u);
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    std::vector<BYTE> zeros(12000000, 0);
    EXPECT_EQ(std::memcmp(pixels, zeros.data(), zeros.size()), 0);
    EXPECT_EQ(GetObjectA(canvas, 0, nullptr), 84);
    EXPECT_EQ(DeleteObject(canvas), 1);
}

TEST(GdiDibSection, RowStrideIsPaddedToWholeWords)
{
    HBITMAP bitmap = makeDib(5, -3, 24);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), 84);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 16);
    EXPECT_EQ(section.dsBm.bmHeight, 3);
    EXPECT_EQ(section.dsBmih.biHeight, -3);
    EXPECT_EQ(section.dsBmih.biSizeImage, 48u);
    BITMAP plain{};
    EXPECT_EQ(GetObjectA(bitmap, GDI_BITMAP_BYTES, &plain), 24);
    EXPECT_EQ(plain.bmWidth, 5);
    EXPECT_EQ(GetObjectA(bitmap, 10, &plain), 0);
    DeleteObject(bitmap);
}

TEST(GdiDibSection, RefusesUnsupportedHeaders)
{
    for (auto [width, height, bits] : {std::tuple{0, 10, 24}, {10, 0, 24}, {-4, 10, 32}, {10, 10, 8}, {10, 10, 16}}) {
        void* memory = reinterpret_cast<void*>(1);
        const BITMAPINFO info = dibHeader(width, height, bits);
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0), nullptr);
        EXPECT_EQ(memory, nullptr);
    }
    BITMAPINFO compressed = dibHeader(4, 4, 24);
    compressed.bmiHeader.biCompression = 1;
    EXPECT_EQ(CreateDIBSection(nullptr, &compressed, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiDibSection, BottomUpStoresTheTopRowLastTopDownFirst)
{
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT topRow{0, 0, 4, 1};
    for (int height : {3, -3}) {
        BYTE* pixels = nullptr;
        HBITMAP bitmap = makeDib(4, height, 24, &pixels);
        {
            Selected selected(bitmap);
            EXPECT_NE(FillRect(selected.dc, &topRow, red), 0);
        }
        const BYTE* top = height > 0 ? pixels + 2 * 12 : pixels;
        const BYTE* other = height > 0 ? pixels : pixels + 2 * 12;
        EXPECT_EQ(top[0], 0);
        EXPECT_EQ(top[2], 255) << "height " << height;
        EXPECT_EQ(top[11], 255);
        EXPECT_EQ(other[2], 0);
        EXPECT_EQ(GdiBitmapToImage(bitmap).pixel(3, 0), qRgb(255, 0, 0));
        EXPECT_EQ(GdiBitmapToImage(bitmap).pixel(3, 2), qRgb(0, 0, 0));
        DeleteObject(bitmap);
    }
    DeleteObject(red);
}

TEST(GdiDibSection, HugeSectionCostsOnlyThePagesWritten)
{
    const long before = maxRssKiB();
    BYTE* pixels = nullptr;
    HBITMAP huge = makeDib(30000, -20000, 32, &pixels);
    ASSERT_NE(huge, nullptr);
    DIBSECTION section{};
    GetObjectA(huge, GDI_DIBSECTION_BYTES, &section);
    EXPECT_EQ(section.dsBmih.biSizeImage, 2400000000u);
    pixels[0] = 1;
    pixels[2400000000u - 1] = 1;
    // All its pages would be 2.4 GB.
    if (kChecksResourceLimits)
        EXPECT_LT(maxRssKiB() - before, 20 * 1024);
    DeleteObject(huge);
}

TEST(GdiCompatibleBitmap, IsDeviceDependentWithoutAddressablePixels)
{
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 7, 5);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    section.dsBmih.biSize = 12345;
    EXPECT_EQ(GetObjectA(bitmap, GDI_DIBSECTION_BYTES, &section), 24);
    EXPECT_EQ(section.dsBmih.biSize, 12345u);
    EXPECT_EQ(section.dsBm.bmWidth, 7);
    EXPECT_EQ(section.dsBm.bmHeight, 5);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBm.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), 24);
    EXPECT_EQ(DeleteObject(bitmap), 1);
    EXPECT_EQ(CreateCompatibleBitmap(screen, -1, 5), nullptr);
    DeleteDC(screen);
}

TEST(GdiMemoryContext, StartsWithTheStockBitmapAndHandsBackThePrevious)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mine = makeDib(8, 8, 24);
    HBITMAP stock = SelectObject(dc, mine);
    ASSERT_NE(stock, nullptr);
    BITMAP description{};
    ASSERT_EQ(GetObjectA(stock, GDI_DIBSECTION_BYTES, &description), 24);
    EXPECT_EQ(description.bmWidth, 1);
    EXPECT_EQ(description.bmHeight, 1);
    EXPECT_EQ(description.bmBitsPixel, 1);
    EXPECT_EQ(GdiContextBitmap(dc), mine);

    EXPECT_EQ(DeleteObject(mine), 0) << "a selected bitmap cannot be deleted";
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, mine), nullptr) << "a bitmap lives in one context at a time";
    EXPECT_EQ(SelectObject(dc, stock), mine);
    EXPECT_NE(SelectObject(other, mine), nullptr);
    EXPECT_EQ(DeleteDC(other), 1);
    EXPECT_EQ(DeleteObject(mine), 1) << "deleting the context releases its bitmap";
    EXPECT_EQ(DeleteObject(stock), 1);
    EXPECT_EQ(GdiContextPainter(dc), nullptr);
    DeleteDC(dc);
}

TEST(GdiFillRect, FillsOnlyTheInsideOfTheBitmap)
{
    BYTE* pixels = nullptr;
    HBITMAP bitmap = makeDib(4, -4, 32, &pixels);
    std::memset(pixels, 0x11, 64);
    HBRUSH blue = CreateSolidBrush(RGB(1, 2, 3));
    {
        Selected selected(bitmap);
        const RECT overhanging{2, -5, 100, 1};
        EXPECT_NE(FillRect(selected.dc, &overhanging, blue), 0);
        const RECT empty{3, 3, 3, 10};
        EXPECT_NE(FillRect(selected.dc, &empty, blue), 0);
        EXPECT_EQ(FillRect(selected.dc, &overhanging, nullptr), 0);
    }
    const BYTE filled[4] = {3, 2, 1, 0};
    EXPECT_EQ(std::memcmp(pixels + 8, filled, 4), 0);
    EXPECT_EQ(std::memcmp(pixels + 12, filled, 4), 0);
    EXPECT_EQ(pixels[4], 0x11);
    EXPECT_EQ(pixels[16 + 8], 0x11);
    EXPECT_EQ(pixels[3 * 16 + 15], 0x11);
    DeleteObject(blue);
    DeleteObject(bitmap);
}

// Greys fill as repeated bytes; in 32 bits the fourth byte stays 0 whatever the grey.
TEST(GdiFillRect, GreysFillEveryByteOfTheirPixelsOnly)
{
    struct Case {
        int bits;
        COLORREF colour;
        std::vector<int> pixel;
    };
    for (const Case& c : {Case{24, RGB(0, 0, 0), {0, 0, 0}}, Case{24, RGB(64, 64, 64), {64, 64, 64}},
                          Case{32, RGB(0, 0, 0), {0, 0, 0, 0}}, Case{32, RGB(255, 255, 255), {255, 255, 255, 0}}}) {
        BYTE* pixels = nullptr;
        HBITMAP bitmap = makeDib(4, -3, c.bits, &pixels);
        const int step = c.bits / 8, stride = c.bits == 24 ? 12 : 16;
        std::memset(pixels, 0x11, std::size_t(3 * stride));
        HBRUSH brush = CreateSolidBrush(c.colour);
        {
            Selected selected(bitmap);
            const RECT middle{1, 1, 3, 2};
            EXPECT_NE(FillRect(selected.dc, &middle, brush), 0);
        }
        for (int x = 0; x < 4; ++x) {
            const BYTE* p = pixels + stride + x * step;
            const std::vector<int> expected = x == 1 || x == 2 ? c.pixel : std::vector<int>(std::size_t(step), 0x11);
            EXPECT_EQ(std::vector<int>(p, p + step), expected) << c.bits << " bits, column " << x;
        }
        EXPECT_EQ(pixels[stride - 1], 0x11) << "the row above";
        EXPECT_EQ(pixels[2 * stride + step], 0x11) << "the row below";
        DeleteObject(brush);
        DeleteObject(bitmap);
    }
}

class GdiBitBlt : public testing::Test {
protected:
    // Source: 5 x 4, 32 bits, top-down; pixel (x, y) = B x, G y, R 200, alpha 77.
    void SetUp() override
    {
        BYTE* pixels = nullptr;
        source = makeDib(5, -4, 32, &pixels);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                BYTE* p = pixels + y * 20 + x * 4;
                p[0] = BYTE(x), p[1] = BYTE(y), p[2] = 200, p[3] = 77;
            }
        canvasBits = nullptr;
        canvas = makeDib(3, 3, 24, &canvasBits);
    }
    void TearDown() override
    {
        DeleteObject(source);
        DeleteObject(canvas);
    }
    // Canvas pixel (x, y), counted from the top, as B G R.
    std::vector<int> canvasAt(int x, int y) const
    {
        const BYTE* p = canvasBits + (2 - y) * 12 + x * 3;
        return {p[0], p[1], p[2]};
    }
    HBITMAP source = nullptr;
    HBITMAP canvas = nullptr;
    BYTE* canvasBits = nullptr;
};

TEST_F(GdiBitBlt, Copies32BitsOnto24BitsClippedToBothBitmaps)
{
    Selected from(source), to(canvas);
    EXPECT_NE(BitBlt(to.dc, 1, 1, 2000, 2000, from.dc, 0, 0, SRCCOPY), 0);
    EXPECT_EQ(canvasAt(1, 1), (std::vector<int>{0, 0, 200}));
    EXPECT_EQ(canvasAt(2, 1), (std::vector<int>{1, 0, 200}));
    EXPECT_EQ(canvasAt(2, 2), (std::vector<int>{1, 1, 200}));
    EXPECT_EQ(canvasAt(0, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(canvasAt(0, 2), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(canvasAt(2, 0), (std::vector<int>{0, 0, 0}));
}

TEST_F(GdiBitBlt, NegativeOffsetsAndSourceOriginShiftTheBlock)
{
    Selected from(source), to(canvas);
    EXPECT_NE(BitBlt(to.dc, -1, 0, 3, 3, from.dc, 3, 2, SRCCOPY), 0);
    EXPECT_EQ(canvasAt(0, 0), (std::vector<int>{4, 2, 200}));
    EXPECT_EQ(canvasAt(1, 1), (std::vector<int>{0, 0, 0})) << "past the bottom of the source";
    EXPECT_EQ(canvasAt(1, 0), (std::vector<int>{0, 0, 0})) << "past the right of the source";
    EXPECT_EQ(BitBlt(to.dc, 0, 0, 3, 3, from.dc, 0, 0, 0x00EE0086), 0) << "only SRCCOPY";
}

TEST_F(GdiBitBlt, AsksADeferredSourceForTheRegionItReads)
{
    std::vector<QRect> asked;
    GdiSetDeferredSource(source, [&](const QRect& region) {
        asked.push_back(region);
        return true;
    });
    Selected from(source), to(canvas);
    EXPECT_NE(BitBlt(to.dc, 0, 0, 2000, 2000, from.dc, 1, 0, SRCCOPY), 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], QRect(1, 0, 3, 3));
    GdiSetDeferredSource(source, [](const QRect&) { return false; });
    EXPECT_EQ(BitBlt(to.dc, 0, 0, 3, 3, from.dc, 0, 0, SRCCOPY), 0);
}

// A deferred copy writes straight into the destination's rows: the bottom-up canvas is handed
// out from its top row downwards, and the source's own pixels are never prepared.
TEST_F(GdiBitBlt, LetsADeferredCopyWriteStraightIntoTheDestinationRows)
{
    bool prepared = false;
    GdiSetDeferredSource(source, [&](const QRect&) { return prepared = true; });
    std::vector<QRect> asked;
    GdiSetDeferredCopy(source, [&](const QRect& region, const GdiPixelRows& rows) {
        asked.push_back(region);
        EXPECT_EQ(rows.bitsPerPixel, 24);
        for (int y = 0; y < region.height(); ++y)
            for (int x = 0; x < region.width(); ++x) {
                BYTE* p = rows.row(y) + 3 * x;
                p[0] = BYTE(region.left() + x), p[1] = BYTE(region.top() + y), p[2] = 99;
            }
        return true;
    });
    {
        Selected from(source), to(canvas);
        EXPECT_NE(BitBlt(to.dc, 1, 0, 2000, 2000, from.dc, 2, 1, SRCCOPY), 0);
    }
    ASSERT_EQ(asked, std::vector<QRect>{QRect(2, 1, 2, 3)});
    EXPECT_FALSE(prepared);
    EXPECT_EQ(canvasAt(1, 0), (std::vector<int>{2, 1, 99}));
    EXPECT_EQ(canvasAt(2, 0), (std::vector<int>{3, 1, 99}));
    EXPECT_EQ(canvasAt(1, 2), (std::vector<int>{2, 3, 99}));
    EXPECT_EQ(canvasAt(0, 1), (std::vector<int>{0, 0, 0})) << "left of the block";

    GdiSetDeferredCopy(source, [](const QRect&, const GdiPixelRows&) { return false; });
    Selected from(source), to(canvas);
    EXPECT_EQ(BitBlt(to.dc, 0, 0, 3, 3, from.dc, 0, 0, SRCCOPY), 0);
}

TEST(GdiPainterContext, FillsAndCopiesThroughThePainter)
{
    QImage window(6, 6, QImage::Format_RGB32);
    window.fill(Qt::white);
    QPainter painter(&window);
    HDC screen = GdiCreatePainterDC(&painter);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GdiContextPainter(screen), &painter);
    EXPECT_EQ(GdiContextBitmap(screen), nullptr);
    HBITMAP photo = makeDib(2, 2, 24);
    EXPECT_EQ(SelectObject(screen, photo), nullptr);

    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    const RECT area{0, 0, 3, 3};
    FillRect(screen, &area, green);
    {
        Selected memory(photo);
        EXPECT_NE(BitBlt(screen, 4, 4, 2, 2, memory.dc, 0, 0, SRCCOPY), 0);
        EXPECT_EQ(BitBlt(memory.dc, 0, 0, 2, 2, screen, 0, 0, SRCCOPY), 0);
    }
    DeleteDC(screen);
    painter.end();
    EXPECT_EQ(window.pixel(2, 2), qRgb(0, 255, 0));
    EXPECT_EQ(window.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(window.pixel(5, 5), qRgb(0, 0, 0));
    DeleteObject(photo);
    DeleteObject(green);
}

TEST(GdiDrawImage, StretchesIntoAMemoryContextClipped)
{
    BYTE* pixels = nullptr;
    HBITMAP canvas = makeDib(4, 4, 24, &pixels);
    QImage red(1, 1, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    {
        Selected selected(canvas);
        EXPECT_NE(GdiDrawImage(selected.dc, QRect(2, 2, 10, 10), red), 0);
    }
    const QImage result = GdiBitmapToImage(canvas);
    EXPECT_EQ(result.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(result.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(result.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(result.pixel(3, 1), qRgb(0, 0, 0));
    DeleteObject(canvas);
}
