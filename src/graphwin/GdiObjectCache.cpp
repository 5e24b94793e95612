#include "graphwin/GdiObjectCache.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

namespace Gravo
{
bool PenKey::operator==(const PenKey& other) const
{
    return style == other.style && width == other.width && colour == other.colour && dashes == other.dashes;
}

bool HatchKey::operator==(const HatchKey& other) const
{
    return colour == other.colour && hatch == other.hatch;
}

bool FontKey::operator==(const FontKey& other) const
{
    // The face name is compared as a string: what follows its end may be anything.
    return std::memcmp(&font, &other.font, offsetof(LOGFONTW, lfFaceName)) == 0 &&
           std::wcsncmp(font.lfFaceName, other.font.lfFaceName, LF_FACESIZE) == 0;
}

template <typename Key> template <typename Make> HGDIOBJ KeptObjects<Key>::Get(const Key& key, Make make)
{
    ++uses;
    for (Entry& entry : entries)
    {
        if (entry.key == key)
        {
            entry.lastUse = uses;
            return entry.object.get();
        }
    }
    HGDIOBJ made = make();
    if (made == nullptr)
    {
        return nullptr;
    }
    entries.push_back(Entry{key, UniqueGdiObject(made), 0, uses});
    EvictBeyondCap(made);
    return made;
}

template <typename Key> bool KeptObjects<Key>::Hold(HGDIOBJ object, int change)
{
    for (Entry& entry : entries)
    {
        if (entry.object.get() == object)
        {
            entry.holders += change;
            return true;
        }
    }
    return false;
}

template <typename Key> void KeptObjects<Key>::EvictBeyondCap(HGDIOBJ keep)
{
    while (entries.size() > cap)
    {
        // An object selected into a DC cannot be deleted: only free ones go, and the kind grows past its cap
        // while every object is held.
        auto oldest = entries.end();
        for (auto entry = entries.begin(); entry != entries.end(); ++entry)
        {
            if (entry->holders == 0 && entry->object.get() != keep &&
                (oldest == entries.end() || entry->lastUse < oldest->lastUse))
            {
                oldest = entry;
            }
        }
        if (oldest == entries.end())
        {
            return;
        }
        entries.erase(oldest);
    }
}

GdiObjectCache::GdiObjectCache() : pens(capPerKind), hatchBrushes(capPerKind), fonts(capPerKind) {}

HPEN GdiObjectCache::Pen(const PenKey& key)
{
    return static_cast<HPEN>(pens.Get(
        key,
        [&]() -> HGDIOBJ
        {
            if ((key.style & PS_GEOMETRIC) == 0)
            {
                return CreatePen(static_cast<int>(key.style), static_cast<int>(key.width), key.colour);
            }
            const LOGBRUSH brush = {BS_SOLID, key.colour, 0};
            return ExtCreatePen(key.style, key.width, &brush, static_cast<DWORD>(key.dashes.size()),
                                key.dashes.empty() ? nullptr : key.dashes.data());
        }));
}

HBRUSH GdiObjectCache::HatchBrush(const HatchKey& key)
{
    return static_cast<HBRUSH>(hatchBrushes.Get(
        key,
        [&]() -> HGDIOBJ
        {
            const LOGBRUSH hatched = {BS_HATCHED, key.colour, static_cast<ULONG_PTR>(key.hatch)};
            return CreateBrushIndirect(&hatched);
        }));
}

HFONT GdiObjectCache::Font(const LOGFONTW& font)
{
    return static_cast<HFONT>(
        fonts.Get(FontKey{font}, [&]() -> HGDIOBJ { return CreateFontIndirectW(&font); }));
}

void GdiObjectCache::Hold(HGDIOBJ object)
{
    CountHolders(object, 1);
}

void GdiObjectCache::Drop(HGDIOBJ object)
{
    CountHolders(object, -1);
}

void GdiObjectCache::CountHolders(HGDIOBJ object, int change)
{
    if (!pens.Hold(object, change) && !hatchBrushes.Hold(object, change))
    {
        fonts.Hold(object, change);
    }
}

std::size_t GdiObjectCache::Size() const
{
    return pens.Size() + hatchBrushes.Size() + fonts.Size();
}
} // namespace Gravo
