#include "graphwin/GdiplusSession.h"

namespace Gravo
{
namespace
{
struct StartupInput
{
    UINT32 version;
    void* debugEventCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};

using StartupFunction = int(WINAPI*)(ULONG_PTR* token, const StartupInput* input, void* output);
using ShutdownFunction = void(WINAPI*)(ULONG_PTR token);

template <typename Function> Function Resolve(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

void StartGdiplus(GdiplusSession& session)
{
    session.token = 0;
    session.module = LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (session.module == nullptr)
    {
        return;
    }
    auto startup = Resolve<StartupFunction>(session.module, "GdiplusStartup");
    const StartupInput input = {1, nullptr, FALSE, FALSE};
    if (startup == nullptr || startup(&session.token, &input, nullptr) != 0)
    {
        session.token = 0;
    }
}

void StopGdiplus(GdiplusSession& session)
{
    if (session.module == nullptr)
    {
        return;
    }
    auto shutdown = Resolve<ShutdownFunction>(session.module, "GdiplusShutdown");
    if (session.token != 0 && shutdown != nullptr)
    {
        shutdown(session.token);
    }
    FreeLibrary(session.module);
    session.module = nullptr;
    session.token = 0;
}
} // namespace Gravo
