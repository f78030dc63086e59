// Push buttons that show a glyph (a bitmap of two images side by side: normal and
// disabled), with or without their caption.
#pragma once
#include <windows.h>

namespace zentrok {

// Makes button draw the glyph bitmap resource bitmapName beside its caption (or
// alone when the caption is empty). The button keeps its id, styles and font.
void AttachGlyph(HWND button, const char* bitmapName);

} // namespace zentrok
