#include "graphwin/GdiplusSession.h"

#include "win32/SystemLibrary.h"

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
} // namespace

GdiplusSession::GdiplusSession() : module(LoadSystemLibrary(L"gdiplus.dll"))
{
    if (!module)
    {
        return;
    }
    auto startup = ResolveFunction<StartupFunction>(module.get(), "GdiplusStartup");
    const StartupInput input = {1, nullptr, FALSE, FALSE};
    if (startup == nullptr || startup(&token, &input, nullptr) != 0)
    {
        token = 0;
    }
}

GdiplusSession::~GdiplusSession()
{
    if (!Started())
    {
        return;
    }
    auto shutdown = ResolveFunction<ShutdownFunction>(module.get(), "GdiplusShutdown");
    if (shutdown != nullptr)
    {
        shutdown(token);
    }
}
} // namespace Gravo
