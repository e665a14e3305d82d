// Small text, font, rectangle and drawing helpers the library's controls,
// pads and calendar share. Drawing goes through TCanvas only.
#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <cstdint>
#include <string>

// Sum of the widths of the text's characters measured one by one (a GBK
// double-byte character as one pair): what a box sized by character widths
// needs, which can differ from the width of the whole string.
int DoubleByteTextWidth(TCanvas* canvas, const std::string& text);
void SwapWords(uint16_t& a, uint16_t& b);
TTextMetric GetFontMetrics(TFont* font);
// Character height plus one eighth of it, rounded half to even.
int FontLineHeight(TFont* font);
int FontAvgCharWidth(TFont* font);
inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
// Sends the message (WParam = control, LParam = param) to every child of
// the control's parent, the control itself included.
void BroadcastToSiblings(TControl* control, unsigned msg, intptr_t param);

// Fills r with the button face and draws a one-pixel raised (or, pressed,
// sunken) inner edge.
void DrawButtonFace(TCanvas* canvas, const TRect& r, bool pressed);
void DrawTextFormat(TCanvas* canvas, const std::string& text, int length, unsigned format, TRect r);
// Transparent colour arguments of StretchBitmap.
constexpr TColor clTransparentNone = clNone;
constexpr TColor clTransparentDefault = clDefault;
// Copies src (the whole bitmap when src is empty) to (x, y) stretched to
// w x h (the bitmap's size when below 1). clTransparentNone copies through
// the canvas's copy mode; clTransparentDefault takes the bottom-left pixel
// as transparent; any other colour is transparent itself.
void StretchBitmap(TCanvas* canvas, TBitmap* bitmap, TColor transparent, TRect src, int x, int y, int w, int h);
void DrawBitmapInRect(TCanvas* canvas, int x, int y, int w, int h, TColor transparent, TBitmap* bitmap,
                      const TRect& src);
