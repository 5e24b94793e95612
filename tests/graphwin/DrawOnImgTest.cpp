// The image device: every operation draws into an IMAGE whose pixels are then checked.
#include "graphwin/gravo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>

namespace
{
const DWORD white = 0xFFFFFF;
const DWORD red = 0xFF0000;
const DWORD green = 0x00FF00;
const DWORD blue = 0x0000FF;

class DrawOnImgTest : public ::testing::Test
{
protected:
    DrawOnImgTest() : image(20, 20) { SelectTarget(&image); }

    DWORD At(int x, int y) { return TargetPixels(&image)[y * image.Width() + x]; }
    int CountInRow(int y, DWORD word)
    {
        int count = 0;
        for (int x = 0; x < image.Width(); ++x)
        {
            count += At(x, y) == word;
        }
        return count;
    }

    IMAGE image;
};

TEST_F(DrawOnImgTest, DefaultsAreWhiteOnOpaqueBlackInSystemSixteen)
{
    SetLineColour(RGB(1, 1, 1));
    SetBackMode(TRANSPARENT);
    ResetDefaults();
    EXPECT_EQ(LineColour(), RGB(255, 255, 255));
    EXPECT_EQ(FillColour(), RGB(255, 255, 255));
    EXPECT_EQ(TextColour(), RGB(255, 255, 255));
    EXPECT_EQ(BackColour(), RGB(0, 0, 0));
    EXPECT_EQ(BackMode(), OPAQUE);
    LINESTYLE line;
    GetLineStyle(&line);
    EXPECT_EQ(line.style, 0u);
    EXPECT_EQ(line.thickness, 1u);
    FILLSTYLE fill;
    GetFillStyle(&fill);
    EXPECT_EQ(fill.style, 0);
    LOGFONTW font = {};
    GetFont(&font);
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_STREQ(font.lfFaceName, L"System");
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);
}

TEST_F(DrawOnImgTest, FilledRectangleHasOutlineAndInterior)
{
    SetFillColour(RGB(255, 0, 0));
    RectFilled(2, 2, 12, 12);
    EXPECT_EQ(At(2, 2), white);
    EXPECT_EQ(At(7, 7), red);
    EXPECT_EQ(At(15, 15), 0u);
}

TEST_F(DrawOnImgTest, FillStyleNoneLeavesOnlyTheOutline)
{
    SetFillStyle(1);
    RectFilled(2, 2, 12, 12);
    EXPECT_EQ(At(2, 2), white);
    EXPECT_EQ(At(7, 2), white);
    EXPECT_EQ(At(7, 7), 0u);
}

TEST_F(DrawOnImgTest, OutlineRestoresTheFillStyle)
{
    SetFillColour(RGB(0, 0, 255));
    RectOutline(2, 2, 12, 12);
    EXPECT_EQ(At(7, 7), 0u);
    EXPECT_EQ(At(2, 7), white);
    FILLSTYLE fill;
    GetFillStyle(&fill);
    EXPECT_EQ(fill.style, 0);
    RectFilled(2, 2, 12, 12);
    EXPECT_EQ(At(7, 7), blue);
}

TEST_F(DrawOnImgTest, SolidRectangleCoversBothEndColumnsAndRowsWithoutOutline)
{
    SetFillColour(RGB(255, 0, 0));
    SetLineColour(RGB(0, 255, 0));
    RectSolid(10, 10, 5, 5);
    EXPECT_EQ(At(5, 5), red);
    EXPECT_EQ(At(10, 10), red);
    EXPECT_EQ(At(5, 10), red);
    EXPECT_EQ(At(10, 5), red);
    EXPECT_EQ(At(4, 4), 0u);
    EXPECT_EQ(At(12, 12), 0u);
    LINESTYLE line;
    GetLineStyle(&line);
    EXPECT_EQ(line.style, 0u);
}

TEST_F(DrawOnImgTest, ClearFillsWithBackgroundAndRestoresFillState)
{
    SetFillColour(RGB(255, 0, 0));
    RectSolid(0, 0, 19, 19);
    SetBackColour(RGB(0, 0, 255));
    SetRasterOp(R2_XORPEN);
    RectClear(4, 4, 8, 8);
    EXPECT_EQ(At(4, 4), blue);
    EXPECT_EQ(At(8, 8), blue);
    EXPECT_EQ(At(9, 9), red);
    EXPECT_EQ(FillColour(), RGB(255, 0, 0));
    EXPECT_EQ(RasterOp(), R2_XORPEN);
}

TEST_F(DrawOnImgTest, UserStyleWithoutPatternDrawsNothing)
{
    SetLineStyle(PS_USERSTYLE, 1, nullptr, 0);
    DrawLine(0, 5, 19, 5);
    EXPECT_EQ(CountInRow(5, white), 0);
}

TEST_F(DrawOnImgTest, UserStyleWithPatternDrawsDashes)
{
    const DWORD dashes[] = {3, 3};
    SetLineStyle(PS_USERSTYLE | PS_ENDCAP_FLAT, 1, dashes, 2);
    DrawLine(0, 5, 19, 5);
    const int lit = CountInRow(5, white);
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, 19);
    LINESTYLE line;
    GetLineStyle(&line);
    EXPECT_EQ(line.PatternCount(), 2u);
}

TEST_F(DrawOnImgTest, LineColourAndThicknessRebuildThePen)
{
    SetLineColour(RGB(255, 0, 0));
    SetLineStyle(PS_SOLID, 5);
    DrawLine(2, 10, 17, 10);
    EXPECT_EQ(At(10, 10), red);
    EXPECT_EQ(At(10, 8), red);
    EXPECT_EQ(At(10, 4), 0u);
}

TEST_F(DrawOnImgTest, ApplyLineStyleRestoresASavedStyle)
{
    LINESTYLE saved;
    GetLineStyle(&saved);
    SetLineStyle(PS_SOLID, 7);
    ApplyLineStyle(&saved);
    DrawLine(2, 10, 17, 10);
    EXPECT_EQ(At(10, 10), white);
    EXPECT_EQ(At(10, 9), 0u);
}

TEST_F(DrawOnImgTest, PenLineToDrawsFromThePenPosition)
{
    PenMoveTo(0, 3);
    PenLineTo(10, 3);
    PenLineTo(10, 13);
    EXPECT_EQ(At(5, 3), white);
    EXPECT_EQ(At(10, 8), white);
    EXPECT_EQ(At(5, 8), 0u);
}

TEST_F(DrawOnImgTest, ArcEndPointsFollowTheBox)
{
    int sx, sy, ex, ey;
    ArcEndPoints(0, 0, 10, 10, 0.0, std::acos(-1.0) / 2, &sx, &sy, &ex, &ey);
    EXPECT_EQ(sx, 10);
    EXPECT_EQ(sy, 5);
    EXPECT_EQ(ex, 5);
    EXPECT_EQ(ey, 0);
    ArcEndPoints(10, 10, 0, 0, std::acos(-1.0), -std::acos(-1.0) / 2, &sx, &sy, &ex, &ey);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 5);
    EXPECT_EQ(ex, 5);
    EXPECT_EQ(ey, 10);
}

TEST_F(DrawOnImgTest, ArcEndPointsRoundNegativeCoordinatesAwayFromZero)
{
    int sx, sy, ex, ey;
    // Box radius 1 (integer halving of 3), centre (-2, -2); at 60 degrees y is -2.87, which truncation
    // alone would make -2.
    ArcEndPoints(-3, -3, 0, 0, std::acos(-1.0) / 3, 0.0, &sx, &sy, &ex, &ey);
    EXPECT_EQ(sy, -3);
    EXPECT_EQ(ex, -1);
    EXPECT_EQ(ey, -2);
}

TEST_F(DrawOnImgTest, PieFillsTheChosenQuarter)
{
    SetFillColour(RGB(0, 255, 0));
    const double pi = std::acos(-1.0);
    PieSolid(0, 0, 19, 19, 0.0, pi / 2);
    EXPECT_EQ(At(13, 5), green);
    EXPECT_EQ(At(5, 13), 0u);
    EXPECT_EQ(At(5, 5), 0u);
}

TEST_F(DrawOnImgTest, EllipseAndCircleFillTheirMiddles)
{
    SetFillColour(RGB(255, 0, 0));
    EllipseSolid(0, 0, 19, 9);
    EXPECT_EQ(At(10, 4), red);
    EXPECT_EQ(At(0, 0), 0u);
    CircleFilled(10, 15, 3);
    EXPECT_EQ(At(10, 15), red);
    EXPECT_EQ(At(10, 12), white);
}

TEST_F(DrawOnImgTest, RoundRectangleLeavesItsCornersOut)
{
    SetFillColour(RGB(0, 0, 255));
    RoundRectSolid(0, 0, 19, 19, 10, 10);
    EXPECT_EQ(At(10, 10), blue);
    EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(DrawOnImgTest, PolygonFillsItsInside)
{
    const POINT triangle[] = {{0, 0}, {19, 0}, {0, 19}};
    SetFillColour(RGB(255, 0, 0));
    PolygonFilled(triangle, 3);
    EXPECT_EQ(At(4, 4), red);
    EXPECT_EQ(At(16, 16), 0u);
    PolygonClear(triangle, 3);
    EXPECT_EQ(At(4, 4), 0u);
}

TEST_F(DrawOnImgTest, PolylineAndBezierDrawWithThePen)
{
    const POINT line[] = {{0, 2}, {19, 2}};
    DrawPolyline(line, 2);
    EXPECT_EQ(At(10, 2), white);
    const POINT curve[] = {{0, 10}, {6, 10}, {12, 10}, {19, 10}};
    DrawBezier(curve, 4);
    EXPECT_EQ(At(10, 10), white);
}

TEST_F(DrawOnImgTest, HatchedFillUsesFillColourOnBackground)
{
    SetFillStyle(2, HS_HORIZONTAL);
    SetFillColour(RGB(0, 255, 0));
    RectSolid(0, 0, 19, 19);
    bool fullRow = false;
    bool emptyRow = false;
    for (int y = 0; y < 20; ++y)
    {
        fullRow = fullRow || CountInRow(y, green) == 20;
        emptyRow = emptyRow || CountInRow(y, green) == 0;
    }
    EXPECT_TRUE(fullRow);
    EXPECT_TRUE(emptyRow);
}

TEST_F(DrawOnImgTest, MonochromePatternPaintsTextColourWhereThePatternIsWhite)
{
    const BYTE leftHalf[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0};
    SetTextColour(RGB(255, 0, 0));
    SetBackColour(RGB(0, 0, 255));
    SetFillPattern(leftHalf);
    RectSolid(0, 0, 15, 7);
    EXPECT_EQ(At(0, 0), red);
    EXPECT_EQ(At(3, 5), red);
    EXPECT_EQ(At(4, 0), blue);
    EXPECT_EQ(At(7, 7), blue);
    EXPECT_EQ(At(8, 2), red);
    FILLSTYLE fill;
    GetFillStyle(&fill);
    EXPECT_EQ(fill.style, 3);
    ASSERT_NE(fill.PatternImage(), nullptr);
    EXPECT_EQ(fill.PatternImage()->Width(), 8);
}

TEST_F(DrawOnImgTest, ImagePatternRepeatsTheImage)
{
    IMAGE pattern(2, 1);
    pattern.Pixels()[0] = red;
    pattern.Pixels()[1] = blue;
    SetFillStyle(5, 0, &pattern);
    RectSolid(0, 0, 7, 0);
    EXPECT_EQ(At(0, 0), red);
    EXPECT_EQ(At(1, 0), blue);
    EXPECT_EQ(At(6, 0), red);
    EXPECT_EQ(At(7, 0), blue);
}

TEST_F(DrawOnImgTest, ClipRegionLimitsDrawingAndItsClear)
{
    HRGN region = CreateRectRgn(0, 0, 5, 5);
    SetClipRegion(region);
    DeleteObject(region);
    RectSolid(0, 0, 19, 19);
    EXPECT_EQ(At(2, 2), white);
    EXPECT_EQ(At(10, 10), 0u);
    SetBackColour(RGB(0, 0, 255));
    ClearClipRegion();
    EXPECT_EQ(At(2, 2), blue);
    EXPECT_EQ(At(10, 10), 0u);
    SetClipRegion(nullptr);
    ClearClipRegion();
    EXPECT_EQ(At(10, 10), blue);
}

TEST_F(DrawOnImgTest, OriginMovesLogicalCoordinates)
{
    SetOrigin(5, 6);
    WritePixel(0, 0, RGB(255, 0, 0));
    EXPECT_EQ(At(5, 6), red);
    float x = 0, y = 0;
    GetAspect(&x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
}

TEST_F(DrawOnImgTest, TextIsDrawnAndMeasured)
{
    EXPECT_GT(TextWidth(L"W"), 0);
    EXPECT_GT(TextWidth(L"WWW"), TextWidth(L"W"));
    EXPECT_GT(TextHeight(L"W"), 0);
    SetBackMode(TRANSPARENT);
    TextAt(0, 0, L"W");
    int lit = 0;
    for (int y = 0; y < 16; ++y)
    {
        lit += CountInRow(y, white);
    }
    EXPECT_GT(lit, 0);
}

TEST_F(DrawOnImgTest, SetTextStyleKeepsUnnamedFields)
{
    SetTextStyle(24, 0, L"Tahoma");
    LOGFONTW font = {};
    GetFont(&font);
    EXPECT_EQ(font.lfHeight, 24);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);
    SetTextStyle(12, 0, nullptr, 0, 0, FW_BOLD, true, false, false);
    GetFont(&font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
}

TEST_F(DrawOnImgTest, PutImagePartCopiesIntoTheTarget)
{
    IMAGE source(4, 4);
    SelectTarget(&source);
    SetBackColour(RGB(255, 0, 0));
    ClearTarget();
    SelectTarget(&image);
    PutImagePart(2, 2, 4, 4, &source, 0, 0, SRCCOPY);
    EXPECT_EQ(At(2, 2), red);
    EXPECT_EQ(At(5, 5), red);
    EXPECT_EQ(At(1, 1), 0u);
    EXPECT_EQ(At(6, 6), 0u);
}

TEST_F(DrawOnImgTest, FloodFillStopsAtTheBorder)
{
    RectOutline(2, 2, 10, 10);
    SetFillColour(RGB(0, 255, 0));
    FloodFillAt(5, 5, RGB(255, 255, 255), FLOODFILLBORDER);
    EXPECT_EQ(At(5, 5), green);
    EXPECT_EQ(At(15, 15), 0u);
}
} // namespace
