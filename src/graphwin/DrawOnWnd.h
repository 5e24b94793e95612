// The window device: the image device on the graph window's back buffer, plus opening, closing and batch
// drawing of the graph window. Its drawing needs no overrides: every public call holds the drawing lock,
// which the window thread takes to copy the back buffer.
#pragma once

#include "graphwin/DrawOnImg.h"

namespace Gravo
{
class DrawOnWnd : public DrawOnImg
{
public:
    ~DrawOnWnd() override;

    // Opening and closing wait for the window thread, which takes the drawing lock: never call them
    // holding it.
    virtual HWND WindowOpen(int width, int height, int flags);
    virtual void WindowClose();
    virtual void StartBatch();
    virtual void PresentBatchRect(int left, int top, int right, int bottom);
    virtual void PresentBatch();
    virtual void StopBatchRect(int left, int top, int right, int bottom);
    virtual void StopBatch();
};
} // namespace Gravo
