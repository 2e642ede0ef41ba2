// text_internal.h — what GDI's text files share: the font a DC draws with at
// device size.
#pragma once

#include <memory>

#include "font_engine.h"
#include "gdi/gdi_internal.h"

namespace plat::gdi {

// The DC's font as drawn: under a scaling world transform (advanced mode, no
// rotation or shear) at its device size, with the scale factors in *sx, *sy
// (1 otherwise). Rotated text is drawn upright.
std::shared_ptr<plat::text::Font> device_font(const DCState& st, FontObj& font, double* sx, double* sy);

}  // namespace plat::gdi
