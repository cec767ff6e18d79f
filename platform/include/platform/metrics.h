// The fixed screen of this stand-in and its deterministic text measure. Every size a dialog
// computes from the system's metrics comes from here, so results are the same on every machine.
#pragma once

#include <string>

#include "platform/graphics.h"

namespace platform::metrics {

inline constexpr int PixelsPerInch = 96;
inline constexpr int ScreenWidth = 1280;
inline constexpr int ScreenHeight = 1024;
inline constexpr int VerticalScrollBarWidth = 16;
inline constexpr int HorizontalScrollBarHeight = 16;
inline constexpr int CaptionHeight = 19;       // a normal window's title bar
inline constexpr int SmallCaptionHeight = 15;  // a tool window's title bar
inline constexpr int FixedFrame = 3;           // each side of a dialog or single border
inline constexpr int SizeableFrame = 4;        // each side of a resizable border
inline constexpr int EditBorder = 2;           // each side of an edit box or memo (sunken)
inline constexpr int EditMargin = 6;           // text margin inside an edit box or memo

// The height in pixels of a font of `points` points.
int FontPixelHeight(int points);
// The advance width in pixels of one character in `font` (see docs/platform.md for the table).
int CharWidth(const Font& font, char c);
// The width in pixels of `text` in `font`: the sum of its character widths.
int TextWidth(const Font& font, const std::string& text);
// The height of a line of text in `font`.
int TextHeight(const Font& font);
// True for the fixed-pitch faces this stand-in knows (every character equally wide).
bool IsFixedPitch(const std::string& face);
// True for the faces this stand-in treats as TrueType.
bool IsTrueTypeFace(const std::string& face);
// True when `face` is one of the fonts installed on the stand-in machine.
bool IsInstalledFace(const std::string& face);

}  // namespace platform::metrics
