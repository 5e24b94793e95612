// How a free function of gravo.h reaches the current drawing device: under the drawing lock, taken once
// for the whole operation however many GDI steps it makes, so the window thread never presents a half-made
// state. Without a current device a call does nothing and answers zero.
#pragma once

#include "graphwin/DrawOnWnd.h"
#include "graphwin/Library.h"

#include <utility>

namespace Gravo
{
template <typename Operation> auto OnDevice(Operation operation)
{
    using Result = decltype(operation(std::declval<DrawOnImg&>()));
    LibraryState& lib = Lib();
    // Before the first start the locks do not exist yet; there is no device then either.
    if (lib.referenceCount == 0)
    {
        return Result();
    }
    ScopedLock lock(lib.drawingLock);
    if (lib.currentDevice == nullptr)
    {
        return Result();
    }
    return operation(*lib.currentDevice);
}

// The batch operations need the graph window as the target; like OnDevice otherwise.
template <typename Operation> void OnWindowDevice(Operation operation)
{
    LibraryState& lib = Lib();
    if (lib.referenceCount == 0)
    {
        return;
    }
    ScopedLock lock(lib.drawingLock);
    if (lib.currentDevice != nullptr && lib.currentDevice == lib.windowDevice)
    {
        operation(*lib.windowDevice);
    }
}
} // namespace Gravo
