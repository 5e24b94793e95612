// The GDI objects the library keeps instead of making them per drawing call: the same pixels as objects
// made afresh, a bounded number of objects over many rounds, objects in use never deleted, and all of them
// released when the library stops.
#include "WindowPixels.h"

#include "graphwin/GdiObjectCache.h"
#include "graphwin/Library.h"
#include "graphwin/gravo.h"
#include "support/Wine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <vector>

namespace
{
const int side = 64;

std::vector<DWORD> PixelsOf(IMAGE& image)
{
    const DWORD* pixels = TargetPixels(&image);
    return std::vector<DWORD>(pixels, pixels + side * side);
}

// Every kind of pen, brush and font the library makes, drawn into the current target.
void DrawVariedPicture()
{
    const DWORD dashes[] = {4, 2, 1, 2};
    const BYTE checks[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    const POINT star[] = {{32, 2}, {40, 60}, {2, 20}, {62, 20}, {24, 60}};
    const double pi = std::acos(-1.0);
    SetBackColour(RGB(10, 20, 30));
    ClearTarget();
    SetLineColour(RGB(200, 10, 10));
    SetLineStyle(PS_SOLID, 3);
    DrawLine(0, 0, 63, 40);
    SetLineStyle(PS_USERSTYLE | PS_ENDCAP_FLAT, 1, dashes, 4);
    DrawLine(0, 5, 63, 5);
    SetLineStyle(PS_DASH, 1);
    EllipseOutline(4, 4, 40, 30);
    SetLineStyle(PS_SOLID, 1);
    SetFillColour(RGB(0, 180, 90));
    RectFilled(30, 30, 60, 60);
    SetFillStyle(2, HS_DIAGCROSS);
    SetFillColour(RGB(250, 250, 0));
    PieFilled(0, 20, 40, 60, 0.0, pi * 1.2);
    SetFillStyle(0);
    SetFillRule(WINDING);
    PolygonSolid(star, 5);
    SetTextColour(RGB(255, 0, 255));
    SetFillPattern(checks);
    RoundRectSolid(44, 2, 62, 20, 6, 6);
    SetFillStyle(0);
    RectClear(10, 40, 20, 50);
    SetBackMode(TRANSPARENT);
    SetTextStyle(14, 0, L"Tahoma");
    TextAt(2, 44, L"Gravo");
    SetTextStyle(20, 0, L"Courier New", 0, 0, FW_BOLD, true, true, false);
    TextAt(20, 30, L"Wg");
    ResetDefaults();
    CircleFilled(50, 50, 8);
}

// A round of drawing with other colours, widths, hatches and fonts each time; `hatched` is called while the
// hatched brush is selected.
void DrawRound(
    int round, const std::function<void()>& hatched = [] {})
{
    SetLineColour(RGB(round % 256, round / 256 % 256, 7));
    SetLineStyle(round % 2 == 0 ? PS_SOLID : PS_DOT, 1 + round % 4);
    SetFillStyle(2, round % 6);
    SetFillColour(RGB(7, round % 256, round / 256 % 256));
    RectFilled(1, 1, 30, 30);
    hatched();
    SetFillStyle(0);
    SetFillColour(RGB(round % 256, 9, 9));
    EllipseFilled(10, 10, 40, 40);
    SetTextStyle(8 + round % 40, 0, round % 3 == 0 ? L"Tahoma" : L"Arial");
    TextAt(0, 0, L"x");
}

class GdiObjectCacheTest : public ::testing::Test
{
protected:
    GdiObjectCacheTest() : image(side, side) { SelectTarget(&image); }

    HGDIOBJ Selected(UINT kind) { return GetCurrentObject(image.MemoryDc(), kind); }

    IMAGE image;
};

TEST_F(GdiObjectCacheTest, KeptObjectsDrawTheSamePixelsAsNewOnes)
{
    // The first picture is drawn while the cache is empty, the second with objects kept from thousands of
    // rounds and others evicted between.
    DrawVariedPicture();
    const std::vector<DWORD> first = PixelsOf(image);
    for (int round = 0; round < 3000; ++round)
    {
        DrawRound(round);
    }
    DrawVariedPicture();
    EXPECT_EQ(PixelsOf(image), first);
}

TEST_F(GdiObjectCacheTest, TenThousandRoundsKeepTheObjectCountBounded)
{
    SetLineColour(RGB(1, 2, 3));
    SetLineStyle(PS_SOLID, 3);
    const HGDIOBJ firstPen = Selected(OBJ_PEN);
    SetLineStyle(PS_SOLID, 1);
    ASSERT_EQ(GetObjectType(firstPen), static_cast<DWORD>(OBJ_EXTPEN));
    // Every pen, hatched brush and font the rounds drew with. Nothing but the cache makes objects meanwhile,
    // so those still alive at the end are the ones the rounds left behind.
    std::set<HGDIOBJ> drawnWith;
    const auto note = [&](UINT kind)
    {
        if (!GravoTest::IsStockObject(Selected(kind)))
        {
            drawnWith.insert(Selected(kind));
        }
    };
    for (int round = 0; round < 10000; ++round)
    {
        DrawRound(round, [&] { note(OBJ_BRUSH); });
        note(OBJ_PEN);
        note(OBJ_FONT);
    }
    const size_t alive = std::count_if(drawnWith.begin(), drawnWith.end(),
                                       [](HGDIOBJ object) { return GetObjectType(object) != 0; });
    ASSERT_GT(drawnWith.size(), 3 * Gravo::GdiObjectCache::capPerKind) << "more objects than the cache keeps";
    EXPECT_LE(alive, 3 * Gravo::GdiObjectCache::capPerKind);
    EXPECT_LE(Gravo::Lib().gdiObjects->Size(), 3 * Gravo::GdiObjectCache::capPerKind);
    // Evicted long ago, and deleted: no such object exists any more.
    EXPECT_EQ(GetObjectType(firstPen), 0u);
}

// An object made outside the cache and never deleted shows only in the process's count.
TEST_F(GdiObjectCacheTest, TenThousandRoundsKeepTheProcessGdiCountBounded)
{
    if (TestSupport::RunningUnderWine())
    {
        GTEST_SKIP()
            << "Wine keeps no GDI object count (GetGuiResources answers 0); on Windows this shows that "
               "ten thousand rounds leave the process at most the cache's objects more";
    }
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    ASSERT_GT(gdiBefore, 0u);
    for (int round = 0; round < 10000; ++round)
    {
        DrawRound(round);
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
              gdiBefore + 3 * Gravo::GdiObjectCache::capPerKind);
}

TEST_F(GdiObjectCacheTest, AnObjectAnImageHoldsIsNeverEvicted)
{
    SetLineColour(RGB(0, 0, 255));
    SetLineStyle(PS_SOLID, 2);
    const HGDIOBJ held = Selected(OBJ_PEN);
    IMAGE other(side, side);
    SelectTarget(&other);
    for (int round = 0; round < 500; ++round)
    {
        DrawRound(round);
    }
    EXPECT_EQ(GetObjectType(held), static_cast<DWORD>(OBJ_EXTPEN));
    SelectTarget(&image);
    DrawLine(0, 10, 63, 10);
    EXPECT_EQ(TargetPixels(&image)[10 * side + 30], 0x0000FFu);
}

TEST_F(GdiObjectCacheTest, SolidFillsUseTheDcBrush)
{
    SetFillColour(RGB(12, 34, 56));
    EXPECT_EQ(Selected(OBJ_BRUSH), GetStockObject(DC_BRUSH));
    EXPECT_EQ(GetDCBrushColor(image.MemoryDc()), RGB(12, 34, 56));
    SetFillStyle(2, HS_CROSS);
    EXPECT_NE(Selected(OBJ_BRUSH), GetStockObject(DC_BRUSH));
    SetFillStyle(0);
    EXPECT_EQ(Selected(OBJ_BRUSH), GetStockObject(DC_BRUSH));
    RectSolid(0, 0, 3, 3);
    EXPECT_EQ(TargetPixels(&image)[side + 1], 0x0C2238u);
}

TEST(GdiObjectCacheStop, TheLibraryStopReleasesEveryKeptObject)
{
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    {
        // The only image: its end stops the library.
        IMAGE image(8, 8);
        SelectTarget(&image);
        SetLineStyle(PS_SOLID, 4);
        SetTextStyle(30, 0, L"Tahoma");
        pen = GetCurrentObject(image.MemoryDc(), OBJ_PEN);
        font = GetCurrentObject(image.MemoryDc(), OBJ_FONT);
        ASSERT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
        ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(Gravo::Lib().referenceCount, 0);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}
} // namespace
