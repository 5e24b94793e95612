// The window device: the image device's operations on the graph window's back buffer, each GDI or pixel
// step under the drawing lock (the window thread copies that buffer concurrently), plus opening,
// closing and batch drawing of the graph window.
#pragma once

#include "graphwin/DrawOnImg.h"

namespace Gravo
{
class DrawOnWnd : public DrawOnImg
{
public:
    ~DrawOnWnd() override;

    void ClearTarget() override;
    void SetTextColour(COLORREF colour) override;
    void SetBackColour(COLORREF colour) override;
    int BackMode() override;
    void SetBackMode(int mode) override;
    void SetOrigin(int x, int y) override;
    void SetClipRegion(HRGN region) override;
    void ClearClipRegion() override;
    void ApplyLineStyle(const LINESTYLE* style) override;
    void ApplyFillStyle(const FILLSTYLE* style) override;
    void SetFillColour(COLORREF colour) override;
    void SetAspect(float xScale, float yScale) override;
    int RasterOp() override;
    void SetRasterOp(int mode) override;
    int FillRule() override;
    void SetFillRule(int mode) override;
    COLORREF ReadPixel(int x, int y) override;
    void WritePixel(int x, int y, COLORREF colour) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    void RectFilled(int left, int top, int right, int bottom) override;
    void CircleFilled(int x, int y, int radius) override;
    void EllipseFilled(int left, int top, int right, int bottom) override;
    void RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth,
                         int cornerHeight) override;
    void ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle) override;
    void PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle) override;
    void DrawPolyline(const POINT* points, int count) override;
    void PolygonFilled(const POINT* points, int count) override;
    void DrawBezier(const POINT* points, int count) override;
    void FloodFillAt(int x, int y, COLORREF colour, UINT fillType) override;
    void TextAt(int x, int y, const wchar_t* text) override;
    int TextInRect(const wchar_t* text, RECT* rect, UINT format) override;
    int TextWidth(const wchar_t* text) override;
    int TextHeight(const wchar_t* text) override;
    void SetFont(const LOGFONTW* font) override;
    void GetFont(LOGFONTW* font) override;

    virtual HWND WindowOpen(int width, int height, int flags);
    virtual void WindowClose();
    virtual void StartBatch();
    virtual void PresentBatchRect(int left, int top, int right, int bottom);
    virtual void PresentBatch();
    virtual void StopBatchRect(int left, int top, int right, int bottom);
    virtual void StopBatch();
};
} // namespace Gravo
