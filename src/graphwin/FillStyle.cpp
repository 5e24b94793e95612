// FILLSTYLE as a value: copying keeps a pattern image only for the pattern styles.
#include "graphwin/FillStyleCode.h"
#include "graphwin/gravo.h"

FILLSTYLE::FILLSTYLE() : style(Gravo::fillSolid), hatch(0) {}

FILLSTYLE::FILLSTYLE(const FILLSTYLE& other) : FILLSTYLE()
{
    *this = other;
}

FILLSTYLE& FILLSTYLE::operator=(const FILLSTYLE& other)
{
    if (&other == this)
    {
        return *this;
    }
    style = other.style;
    hatch = other.hatch;
    if (other.patternImage &&
        (other.style == Gravo::fillMonochromePattern || other.style == Gravo::fillImagePattern))
    {
        SetPatternImage(*other.patternImage);
    }
    else
    {
        patternImage.reset();
    }
    return *this;
}

FILLSTYLE::~FILLSTYLE() = default;

void FILLSTYLE::SetPatternImage(const IMAGE& image)
{
    if (&image == patternImage.get())
    {
        return;
    }
    if (!patternImage)
    {
        patternImage.reset(new IMAGE(0, 0));
    }
    *patternImage = image;
}

void FILLSTYLE::ClearPatternImage()
{
    patternImage.reset();
}
