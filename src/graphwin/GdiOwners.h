// RAII owners for the Windows handles of the graphics window library, one per way of releasing them,
// and a scoped SelectObject that puts the previous object back.
#pragma once

#include <windows.h>

namespace Gravo
{
template <typename Handle, typename Closer> class UniqueAny
{
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle value) : handle(value) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : handle(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const { return handle; }
    explicit operator bool() const { return handle != Handle(); }
    Handle release()
    {
        Handle value = handle;
        handle = Handle();
        return value;
    }
    void reset(Handle value = Handle())
    {
        if (handle != Handle())
        {
            Closer()(handle);
        }
        handle = value;
    }

private:
    Handle handle = Handle();
};

struct MemoryDcCloser
{
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectCloser
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

using UniqueMemoryDc = UniqueAny<HDC, MemoryDcCloser>;
using UniqueGdiObject = UniqueAny<HGDIOBJ, GdiObjectCloser>;

class ScopedSelect
{
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { SelectObject(dc, previous); }

private:
    HDC dc;
    HGDIOBJ previous;
};

// Selects object into dc and deletes the object of the same kind that it replaces.
inline void SelectReplacing(HDC dc, HGDIOBJ object)
{
    HGDIOBJ previous = SelectObject(dc, object);
    if (previous != nullptr && previous != HGDI_ERROR)
    {
        DeleteObject(previous);
    }
}
} // namespace Gravo
