// The pens, hatched brushes and fonts that the library's images draw with, kept from library start to stop
// instead of made and deleted for every drawing call. Bounded: beyond the cap of each kind, the least
// recently asked-for object that no image holds selected is deleted. Used under the drawing lock.
#pragma once

#include "win32/UniqueHandles.h"

#include <cstddef>
#include <vector>

namespace Gravo
{
struct PenKey
{
    DWORD style; // with PS_GEOMETRIC an ExtCreatePen pen, without it a CreatePen pen
    DWORD width;
    COLORREF colour;
    std::vector<DWORD> dashes; // PS_USERSTYLE only

    bool operator==(const PenKey& other) const;
};

struct HatchKey
{
    COLORREF colour;
    long hatch;

    bool operator==(const HatchKey& other) const;
};

struct FontKey
{
    LOGFONTW font;

    bool operator==(const FontKey& other) const;
};

// The objects of one kind, looked up by what they were made from.
template <typename Key> class KeptObjects
{
public:
    explicit KeptObjects(std::size_t cap) : cap(cap) {}

    // The object made from key, made by make (a function returning the new handle) when missing.
    template <typename Make> HGDIOBJ Get(const Key& key, Make make);
    // Counts the images that hold object selected; false when it is not one of these.
    bool Hold(HGDIOBJ object, int change);
    std::size_t Size() const { return entries.size(); }

private:
    struct Entry
    {
        Key key;
        UniqueGdiObject object;
        int holders;
        unsigned long long lastUse;
    };
    void EvictBeyondCap(HGDIOBJ keep);

    std::size_t cap;
    std::vector<Entry> entries;
    unsigned long long uses = 0;
};

class GdiObjectCache
{
public:
    static const std::size_t capPerKind = 32;

    GdiObjectCache();

    HPEN Pen(const PenKey& key);
    HBRUSH HatchBrush(const HatchKey& key);
    HFONT Font(const LOGFONTW& font);
    // An image selected object (or stopped holding it); objects the cache did not make are ignored.
    void Hold(HGDIOBJ object);
    void Drop(HGDIOBJ object);
    // Objects kept, all kinds together.
    std::size_t Size() const;

private:
    void CountHolders(HGDIOBJ object, int change);

    KeptObjects<PenKey> pens;
    KeptObjects<HatchKey> hatchBrushes;
    KeptObjects<FontKey> fonts;
};
} // namespace Gravo
