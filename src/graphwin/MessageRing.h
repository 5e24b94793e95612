// The graph window's input queue: GraphMessage records built from window messages, kept in a ring of
// 64 slots (63 usable) and taken out by category. The caller holds the queue lock around every call.
#pragma once

#include "graphwin/gravo.h"

#include <cstdint>

namespace Gravo
{
// CAT_MOUSE, CAT_KEY, CAT_CHAR, CAT_WINDOW or 0 for a record's message number.
int MessageCategory(std::uint16_t message);

// Builds the record for a window message of the graph window; false for a message that has none.
// Wheel positions arrive in screen coordinates and are converted against window.
bool MakeRecord(HWND window, UINT message, WPARAM wParam, LPARAM lParam, GraphMessage* record);

class MessageRing
{
public:
    MessageRing() : slots(), indexWord(0) {}

    bool Full() const;
    // Drops the record when the ring is full.
    void Push(const GraphMessage& record);
    // Discards leading records outside filter (unless it holds all categories), then copies and/or
    // removes the oldest one. False when nothing is left.
    bool Poll(GraphMessage* record, int filter, bool remove);

private:
    static const std::uint32_t slotCount = 64;
    std::uint32_t ReadIndex() const { return indexWord & 0x3F; }
    std::uint32_t WriteIndex() const { return (indexWord >> 6) & 0x3F; }
    void SetIndices(std::uint32_t read, std::uint32_t write);

    GraphMessage slots[slotCount];
    std::uint32_t indexWord; // bits 0-5 read index, bits 6-11 write index
};
} // namespace Gravo
