// Tells a test whether it runs under Wine, for the few places where Wine's behaviour differs from Windows'.
#pragma once

namespace TestSupport
{
bool RunningUnderWine();
}
