// GDI+ for the time the graphics window library runs: gdiplus.dll is not a KnownDLL, so it is loaded from
// the system folder only (by full path where the loader lacks the search flags) and started by name.
#pragma once

#include "win32/UniqueHandles.h"

namespace Gravo
{
class GdiplusSession
{
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Started() const { return token != 0; }

private:
    UniqueModule module;
    ULONG_PTR token = 0;
};
} // namespace Gravo
