// GDI+ start-up and shutdown for the graphics window library. gdiplus.dll is not a KnownDLL, so it is
// loaded from the system folder only and its functions are resolved by name.
#pragma once

#include <windows.h>

namespace Gravo
{
struct GdiplusSession
{
    HMODULE module;
    ULONG_PTR token;
};

void StartGdiplus(GdiplusSession& session);
void StopGdiplus(GdiplusSession& session);
} // namespace Gravo
