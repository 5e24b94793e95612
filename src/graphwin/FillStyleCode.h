// The numbers of FILLSTYLE::style, which the fill style values, the brush builder and the shape family
// share. Needs nothing.
#pragma once

namespace Gravo
{
enum FillStyleCode : int
{
    fillSolid = 0,
    fillNone = 1,
    fillHatched = 2,
    fillMonochromePattern = 3,
    fillImagePattern = 5,
};
} // namespace Gravo
