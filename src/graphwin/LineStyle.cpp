// LINESTYLE as a value: copying keeps the dashes only for PS_USERSTYLE.
#include "graphwin/gravo.h"

LINESTYLE::LINESTYLE() : style(0), thickness(1) {}

LINESTYLE::LINESTYLE(const LINESTYLE& other) : style(other.style), thickness(other.thickness)
{
    SetPattern(other.Pattern(), other.PatternCount());
}

LINESTYLE& LINESTYLE::operator=(const LINESTYLE& other)
{
    if (&other != this)
    {
        style = other.style;
        thickness = other.thickness;
        SetPattern(other.Pattern(), other.PatternCount());
    }
    return *this;
}

LINESTYLE::~LINESTYLE() = default;

void LINESTYLE::SetPattern(const DWORD* lengths, DWORD count)
{
    if ((style & PS_STYLE_MASK) == PS_USERSTYLE && lengths != nullptr && count != 0)
    {
        pattern.assign(lengths, lengths + count);
    }
    else
    {
        pattern.clear();
    }
}

void LINESTYLE::ClearPattern()
{
    pattern.clear();
}
