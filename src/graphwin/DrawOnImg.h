// The image device: every drawing operation on the current target image and its memory DC, in three
// units: the drawing state (DrawOnImgState.cpp), pixels, lines and shapes (DrawOnImgShapes.cpp) and text
// (DrawOnImgText.cpp). The free functions of gravo.h call it under the drawing lock.
#pragma once

#include "graphwin/gravo.h"

namespace Gravo
{
class DrawOnImg
{
public:
    DrawOnImg() = default;
    DrawOnImg(const DrawOnImg&) = delete;
    DrawOnImg& operator=(const DrawOnImg&) = delete;
    virtual ~DrawOnImg();

    virtual void ClearTarget();
    virtual COLORREF LineColour();
    virtual void SetLineColour(COLORREF colour);
    virtual COLORREF TextColour();
    virtual void SetTextColour(COLORREF colour);
    virtual COLORREF BackColour();
    virtual void SetBackColour(COLORREF colour);
    virtual int BackMode();
    virtual void SetBackMode(int mode);
    virtual void SetOrigin(int x, int y);
    virtual void SetClipRegion(HRGN region);
    virtual void ClearClipRegion();
    virtual void GetLineStyle(LINESTYLE* style);
    virtual void SetLineStyle(DWORD style, int thickness, const DWORD* pattern, DWORD count);
    virtual void ApplyLineStyle(const LINESTYLE* style);
    virtual void GetFillStyle(FILLSTYLE* style);
    virtual void SetFillStyle(int style, long hatch, const IMAGE* pattern);
    virtual void SetFillPattern(const BYTE pattern[8]);
    virtual void ApplyFillStyle(const FILLSTYLE* style);
    virtual COLORREF FillColour();
    virtual void SetFillColour(COLORREF colour);
    virtual void GetAspect(float* xScale, float* yScale);
    virtual void SetAspect(float xScale, float yScale);
    virtual int RasterOp();
    virtual void SetRasterOp(int mode);
    virtual int FillRule();
    virtual void SetFillRule(int mode);
    virtual void ResetDefaults();
    virtual COLORREF ReadPixel(int x, int y);
    virtual void WritePixel(int x, int y, COLORREF colour);
    virtual void DrawLine(int x1, int y1, int x2, int y2);
    virtual void RectOutline(int left, int top, int right, int bottom);
    virtual void RectFilled(int left, int top, int right, int bottom);
    virtual void RectSolid(int left, int top, int right, int bottom);
    virtual void RectClear(int left, int top, int right, int bottom);
    virtual void ArcEndPoints(int left, int top, int right, int bottom, double startAngle, double endAngle,
                              int* startX, int* startY, int* endX, int* endY);
    virtual void CircleOutline(int x, int y, int radius);
    virtual void CircleFilled(int x, int y, int radius);
    virtual void CircleSolid(int x, int y, int radius);
    virtual void CircleClear(int x, int y, int radius);
    virtual void EllipseOutline(int left, int top, int right, int bottom);
    virtual void EllipseFilled(int left, int top, int right, int bottom);
    virtual void EllipseSolid(int left, int top, int right, int bottom);
    virtual void EllipseClear(int left, int top, int right, int bottom);
    virtual void RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth,
                                  int cornerHeight);
    virtual void RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    virtual void RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    virtual void RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    virtual void ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void DrawPolyline(const POINT* points, int count);
    virtual void PolygonOutline(const POINT* points, int count);
    virtual void PolygonFilled(const POINT* points, int count);
    virtual void PolygonSolid(const POINT* points, int count);
    virtual void PolygonClear(const POINT* points, int count);
    virtual void DrawBezier(const POINT* points, int count);
    virtual void FloodFillAt(int x, int y, COLORREF colour, UINT fillType);
    virtual void TextAt(int x, int y, const wchar_t* text);
    virtual int TextInRect(const wchar_t* text, RECT* rect, UINT format);
    virtual int TextWidth(const wchar_t* text);
    virtual int TextHeight(const wchar_t* text);
    virtual void SetFont(const LOGFONTW* font);
    virtual void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                              int weight, bool italic, bool underline, bool strikeOut, BYTE charSet,
                              BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily);
    virtual void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                              int weight, bool italic, bool underline, bool strikeOut);
    virtual void SetTextStyle(int height, int width, const wchar_t* face);
    virtual void GetFont(LOGFONTW* font);
    virtual int TargetWidth();
    virtual int TargetHeight();

protected:
    static IMAGE& Target();
    static HDC Dc();
};
} // namespace Gravo
