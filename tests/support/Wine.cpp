#include "support/Wine.h"

#include <windows.h>

namespace TestSupport
{
bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
} // namespace TestSupport
