// IMAGE, LINESTYLE and FILLSTYLE as values: buffers, resizing, copying and the pixel word order.
#include "graphwin/gravo.h"

#include <gtest/gtest.h>

namespace
{
const DWORD red = 0xFF0000;
const DWORD green = 0x00FF00;
const DWORD blue = 0x0000FF;

DWORD At(IMAGE& image, int x, int y)
{
    return TargetPixels(&image)[y * image.Width() + x];
}

// Makes image the target and fills it with colour.
void ClearTo(IMAGE& image, COLORREF colour)
{
    SelectTarget(&image);
    SetBackColour(colour);
    ClearTarget();
}

class ImageTest : public ::testing::Test
{
};

TEST_F(ImageTest, NewImageIsBlackAndOfItsSize)
{
    IMAGE image(490, 328);
    ASSERT_NE(image.Pixels(), nullptr);
    EXPECT_EQ(image.Width(), 490);
    EXPECT_EQ(image.Height(), 328);
    EXPECT_EQ(At(image, 0, 0), 0u);
    EXPECT_EQ(At(image, 489, 327), 0u);
}

TEST_F(ImageTest, EmptyImageHasNoPixelsUntilResized)
{
    IMAGE image;
    EXPECT_EQ(image.Pixels(), nullptr);
    image.Resize(0, 5);
    EXPECT_EQ(image.Pixels(), nullptr);
    image.Resize(3, 2);
    ASSERT_NE(image.Pixels(), nullptr);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
}

TEST_F(ImageTest, ColourBecomesPixelWordWithRedAndBlueSwapped)
{
    IMAGE image(4, 4);
    ClearTo(image, RGB(1, 2, 3));
    EXPECT_EQ(At(image, 3, 3), 0x00010203u);
    WritePixel(1, 1, RGB(10, 20, 30));
    EXPECT_EQ(At(image, 1, 1), 0x000A141Eu);
    EXPECT_EQ(ReadPixel(1, 1), RGB(10, 20, 30));
}

TEST_F(ImageTest, FillKeepsTheTopByteOfTheColour)
{
    IMAGE image(4, 4);
    ClearTo(image, 0x01020304);
    EXPECT_EQ(At(image, 2, 2), 0x01040302u);
}

TEST_F(ImageTest, GreyFillIsByteWiseIncludingTheTopByte)
{
    IMAGE image(4, 4);
    ClearTo(image, RGB(7, 7, 7));
    EXPECT_EQ(At(image, 0, 3), 0x07070707u);
}

TEST_F(ImageTest, ResizeKeepsOldPictureTopLeftAndFillsTheRestWithBackground)
{
    IMAGE image(10, 10);
    ClearTo(image, RGB(255, 0, 0));
    SetBackColour(RGB(0, 0, 255));
    image.Resize(20, 20);
    EXPECT_EQ(image.Width(), 20);
    EXPECT_EQ(At(image, 0, 0), red);
    EXPECT_EQ(At(image, 9, 9), red);
    EXPECT_EQ(At(image, 10, 9), blue);
    EXPECT_EQ(At(image, 19, 19), blue);
}

TEST_F(ImageTest, ResizeKeepsTheDrawingState)
{
    IMAGE image(10, 10);
    SelectTarget(&image);
    SetLineColour(RGB(0, 255, 0));
    image.Resize(20, 20);
    DrawLine(0, 15, 19, 15);
    EXPECT_EQ(LineColour(), RGB(0, 255, 0));
    EXPECT_EQ(At(image, 12, 15), green);
}

TEST_F(ImageTest, CopyAssignmentCopiesPixelsAndSizeButNotState)
{
    IMAGE source(6, 4);
    SelectTarget(&source);
    SetBackColour(RGB(0, 255, 0));
    ClearTarget();
    SetLineColour(RGB(255, 0, 0));

    IMAGE copy(2, 2);
    copy = source;
    EXPECT_EQ(copy.Width(), 6);
    EXPECT_EQ(copy.Height(), 4);
    EXPECT_EQ(At(copy, 5, 3), green);
    SelectTarget(&copy);
    EXPECT_EQ(LineColour(), RGB(255, 255, 255));
    EXPECT_EQ(BackColour(), RGB(0, 0, 0));
}

TEST_F(ImageTest, CopyConstructionOwnsItsOwnBuffer)
{
    IMAGE source(3, 3);
    SelectTarget(&source);
    SetBackColour(RGB(0, 0, 255));
    ClearTarget();
    IMAGE copy(source);
    ASSERT_NE(copy.Pixels(), source.Pixels());
    EXPECT_EQ(At(copy, 2, 2), blue);
    ClearTarget();
    SetBackColour(RGB(255, 0, 0));
    ClearTarget();
    EXPECT_EQ(At(copy, 2, 2), blue);
}

TEST_F(ImageTest, DestroyedTargetIsNoLongerDrawnOn)
{
    {
        IMAGE image(4, 4);
        SelectTarget(&image);
    }
    IMAGE keeper(1, 1);
    // Without a current target these do nothing instead of touching the destroyed image.
    ClearTarget();
    DrawLine(0, 0, 3, 3);
    EXPECT_EQ(TargetWidth(), 0);
}

class StyleValueTest : public ::testing::Test
{
};

TEST_F(StyleValueTest, LineStyleCopiesPatternOnlyForUserStyle)
{
    const DWORD dashes[] = {4, 2};
    LINESTYLE user;
    user.style = PS_USERSTYLE;
    user.thickness = 3;
    user.SetPattern(dashes, 2);
    LINESTYLE copy = user;
    EXPECT_EQ(copy.thickness, 3u);
    ASSERT_EQ(copy.PatternCount(), 2u);
    EXPECT_EQ(copy.Pattern()[0], 4u);
    EXPECT_NE(copy.Pattern(), user.Pattern());

    LINESTYLE solid;
    solid.style = PS_SOLID;
    solid.SetPattern(dashes, 2);
    EXPECT_EQ(solid.Pattern(), nullptr);
    copy = solid;
    EXPECT_EQ(copy.Pattern(), nullptr);
    EXPECT_EQ(copy.PatternCount(), 0u);
}

TEST_F(StyleValueTest, FillStyleCopiesPatternImageOnlyForPatternStyles)
{
    IMAGE pattern(8, 8);
    FILLSTYLE patterned;
    patterned.style = 3;
    patterned.SetPatternImage(pattern);
    FILLSTYLE copy = patterned;
    ASSERT_NE(copy.PatternImage(), nullptr);
    EXPECT_NE(copy.PatternImage(), patterned.PatternImage());
    EXPECT_EQ(copy.PatternImage()->Width(), 8);

    patterned.style = 0;
    copy = patterned;
    EXPECT_EQ(copy.PatternImage(), nullptr);
}
} // namespace
