#include "GlyphButton.h"

namespace zentrok {

void AttachGlyph(HWND, const char*) {}

} // namespace zentrok
