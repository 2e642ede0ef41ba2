// palette.cpp — logical palettes (CreatePalette, SelectPalette,
// RealizePalette, Get/SetPaletteEntries, GetNearestPaletteIndex) and the
// colours that name them: PALETTEINDEX(i) takes entry i of the DC's
// selected palette, DIBINDEX(i) is index i of a colour table itself.
// A palette's entries are guarded by its own mutex (drawing reads them).
#include <algorithm>
#include <mutex>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

namespace {
bool is_palette_index(COLORREF c) { return (c >> 24) == 0x01; }
}  // namespace

bool is_dib_index(COLORREF c) { return (c >> 16) == 0x10FF; }

COLORREF palette_colour(const DCState& st, COLORREF c) {
    if (is_dib_index(c)) return 0;  // no colour table to take the index from: black
    if (!is_palette_index(c)) return c & 0x00FFFFFFu;
    const Palette* pal = st.palette.get();
    if (!pal) return 0;
    std::lock_guard<std::mutex> lock(pal->m);
    if (pal->entries.empty()) return 0;
    size_t i = c & 0xFFFFu;
    if (i >= pal->entries.size()) i = 0;  // past the end: the first entry
    const PALETTEENTRY& e = pal->entries[i];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

uint64_t palette_stamp(const DCState& st) {
    const Palette* pal = st.palette.get();
    return pal ? pal->serial * 0x9E3779B97F4A7C15ULL + pal->version.load() : 0;
}

}  // namespace plat::gdi

using namespace plat::gdi;

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
    (void)bForceBkgd;
    auto dc = get_dc(hdc);
    auto pal = lookup_as<Palette>(hPal, Kind::Palette);
    if (!dc || !pal) return nullptr;
    std::shared_ptr<Object> before = dc->st.palette;
    if (before == pal) return hPal;
    dc->st.palette = pal;
    DCState tmp_new, tmp_old;
    tmp_new.palette = pal;
    tmp_old.palette = std::static_pointer_cast<Palette>(before);
    restore_selection_counts(*dc, &tmp_old, &tmp_new);
    return before ? static_cast<HPALETTE>(before->handle) : nullptr;
}

UINT WINAPI RealizePalette(HDC hdc) {
    // Bitmaps and true-colour surfaces have no system palette to map into.
    return get_dc(hdc) ? 0 : GDI_ERROR;
}

HPALETTE WINAPI CreatePalette(CONST LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) return nullptr;
    auto p = std::make_shared<Palette>();
    p->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return static_cast<HPALETTE>(add_object(p));
}

UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
    auto p = lookup_as<Palette>(hpal, Kind::Palette);
    if (!p) return 0;
    std::lock_guard<std::mutex> lock(p->m);
    UINT n = UINT(p->entries.size());
    if (!pPalEntries) return n;
    if (iStart >= n) return 0;
    UINT count = std::min(cEntries, n - iStart);
    for (UINT i = 0; i < count; ++i) pPalEntries[i] = p->entries[iStart + i];
    return count;
}

// Entries from iStart on, as many as the palette holds; returns how many
// were set. Drawing made before keeps what it stored.
UINT WINAPI SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, CONST PALETTEENTRY* pPalEntries) {
    auto p = lookup_as<Palette>(hpal, Kind::Palette);
    if (!p || !pPalEntries || p->stock) return 0;
    std::lock_guard<std::mutex> lock(p->m);
    UINT n = UINT(p->entries.size());
    if (iStart >= n) return 0;
    UINT count = std::min(cEntries, n - iStart);
    std::copy(pPalEntries, pPalEntries + count, p->entries.begin() + iStart);
    ++p->version;
    return count;
}

// The entry nearest to a colour by squared RGB distance, the lowest index
// on ties; the colour's flag byte is ignored.
UINT WINAPI GetNearestPaletteIndex(HPALETTE hpal, COLORREF color) {
    auto p = lookup_as<Palette>(hpal, Kind::Palette);
    if (!p) return CLR_INVALID;
    std::lock_guard<std::mutex> lock(p->m);
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    UINT best = CLR_INVALID;
    long best_d = -1;
    for (size_t i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY& e = p->entries[i];
        const long d = long(e.peRed - r) * (e.peRed - r) + long(e.peGreen - g) * (e.peGreen - g) +
                       long(e.peBlue - b) * (e.peBlue - b);
        if (best_d < 0 || d < best_d) best = UINT(i), best_d = d;
    }
    return best;
}
