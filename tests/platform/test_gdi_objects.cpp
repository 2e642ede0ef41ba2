// GDI objects: handle validity, selection and deletion, stock objects,
// GetObjectA contents, the export table, concurrent use of the handle table.
#include <cstring>
#include <thread>

#include "gdi_test_util.h"
#include "module_exports.h"

using namespace gdi_test;

TEST(GdiObjects, BadAndStaleHandlesFailWithoutCrashing) {
    HGDIOBJ junk[] = {nullptr, reinterpret_cast<HGDIOBJ>(1), reinterpret_cast<HGDIOBJ>(0x12345),
                      reinterpret_cast<HGDIOBJ>(~uintptr_t(0))};
    for (HGDIOBJ h : junk) {
        HDC dc = static_cast<HDC>(h);
        EXPECT_FALSE(DeleteObject(h));
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
        EXPECT_FALSE(Rectangle(dc, 0, 0, 5, 5));
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_EQ(GetObjectA(h, 0, nullptr), 0);
        EXPECT_EQ(GetBkMode(dc), 0);
        EXPECT_FALSE(DeleteDC(dc));
        EXPECT_EQ(SelectClipRgn(dc, nullptr), ERROR);
    }
    // A deleted handle stays invalid even after its slot is reused.
    HBRUSH a = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DeleteObject(a));
    HBRUSH b = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_NE(a, b);
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(a, sizeof lb, &lb), 0);
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_EQ(GetObjectA(b, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
    // Handles are typed: a brush is not a DC, a DC is not deletable with DeleteObject.
    EXPECT_EQ(GetBkMode(reinterpret_cast<HDC>(b)), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    DeleteObject(b);
}

TEST(GdiObjects, SelectReturnsPreviousAndDeletingSelectedIsDeferred) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(9, 9, 9));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    // The pen is selected: deletion succeeds but waits until it is deselected.
    EXPECT_TRUE(DeleteObject(pen));
    LOGPEN lp;
    EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), pen);
    EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), 0) << "freed once deselected";

    // A selected bitmap cannot be deleted, and cannot go into a second DC.
    HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ def = SelectObject(dc, bm);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(GetObjectType(def), DWORD(OBJ_BITMAP));
    EXPECT_FALSE(DeleteObject(bm));
    HDC dc2 = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(dc2, bm), nullptr);
    // Deleting the DC releases its selections.
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_NE(SelectObject(dc2, bm), nullptr);
    EXPECT_TRUE(DeleteDC(dc2));
    EXPECT_TRUE(DeleteObject(bm));
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(STOCK_LAST + 1), nullptr);
}

TEST(GdiObjects, GetObjectDescribesEachKind) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 7, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(dib, sizeof bm, &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 28);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, bits);
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectA(dib, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBmih.biHeight, -3);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 84u);
    DeleteObject(dib);

    const BYTE mono[] = {0xF0, 0, 0x0F, 0};
    HBITMAP m = CreateBitmap(5, 2, 1, 1, mono);
    EXPECT_EQ(GetObjectA(m, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidthBytes, 2);  // rows are word aligned
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(m, 4, &bm), 0) << "too small a buffer";
    DeleteObject(m);

    DWORD dashes[] = {3, 1, 2, 5};
    LOGBRUSH lb{BS_SOLID, RGB(1, 2, 3), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER, 4, &lb, 4, dashes);
    ASSERT_NE(ext, nullptr);
    int need = GetObjectA(ext, 0, nullptr);
    ASSERT_GE(need, int(offsetof(EXTLOGPEN, elpStyleEntry) + 4 * sizeof(DWORD)));
    std::vector<uint8_t> buf(static_cast<size_t>(need));
    EXPECT_EQ(GetObjectA(ext, need, buf.data()), need);
    auto* elp = reinterpret_cast<EXTLOGPEN*>(buf.data());
    EXPECT_EQ(elp->elpPenStyle, DWORD(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER));
    EXPECT_EQ(elp->elpWidth, 4u);
    EXPECT_EQ(elp->elpColor, RGB(1, 2, 3));
    ASSERT_EQ(elp->elpNumEntries, 4u);
    EXPECT_EQ(elp->elpStyleEntry[3], 5u);
    EXPECT_EQ(GetObjectType(ext), DWORD(OBJ_EXTPEN));
    DeleteObject(ext);
    // Invalid pen descriptions are refused.
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, &lb, 0, nullptr), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 1, &lb, 2, dashes), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_INSIDEFRAME, 1, &lb, 0, nullptr), nullptr);  // geometric only
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 1, nullptr, 0, nullptr), nullptr);

    HPEN p = CreatePen(PS_DASH, 1, RGB(7, 8, 9));
    LOGPEN lp{};
    EXPECT_EQ(GetObjectA(p, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(7, 8, 9));
    DeleteObject(p);

    LOGFONTA lf{};
    lf.lfHeight = 20;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Courier");
    HFONT f = CreateFontIndirectA(&lf);
    LOGFONTA got{};
    EXPECT_EQ(GetObjectA(f, sizeof got, &got), 60);
    EXPECT_EQ(std::memcmp(&got, &lf, sizeof lf), 0);
    DeleteObject(f);
    EXPECT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof got, &got), 60);
    EXPECT_EQ(got.lfHeight, 16);
    EXPECT_STREQ(got.lfFaceName, "System");
    WORD entries = 0;
    EXPECT_EQ(GetObjectA(GetStockObject(DEFAULT_PALETTE), sizeof entries, &entries), 2);
    EXPECT_EQ(entries, 20);
}

TEST(GdiObjects, StateDefaultsAndSaveRestore) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);
    EXPECT_EQ(SetBkMode(dc, 3), 0);
    EXPECT_EQ(SetPolyFillMode(dc, 0), 0);
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    HBRUSH br = CreateSolidBrush(0);
    SelectObject(dc, br);
    SetTextColor(dc, RGB(9, 9, 9));
    SetROP2(dc, R2_XORPEN);
    EXPECT_TRUE(DeleteObject(br));  // deferred: still selected
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(br, sizeof lb, &lb), 0) << "the deferred deletion completed on restore";
    EXPECT_FALSE(RestoreDC(dc, 1));
    EXPECT_EQ(GdiSetBatchLimit(5), 1u);
    EXPECT_EQ(GdiSetBatchLimit(1), 5u);
    EXPECT_TRUE(GdiFlush());
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE),
              GetStockObject(DEFAULT_PALETTE));
    EXPECT_NE(RealizePalette(dc), UINT(GDI_ERROR));
    DeleteDC(dc);
}

TEST(GdiObjects, ExportTableHasTheLookedUpNames) {
    const char* names[] = {"Arc", "BitBlt", "CreateBitmap", "CreateBrushIndirect", "CreateCompatibleDC",
                           "CreateDIBSection", "CreatePen", "CreateRectRgn", "CreateSolidBrush", "DeleteDC",
                           "DeleteObject", "Ellipse", "ExtCreatePen", "ExtFloodFill", "FillRgn",
                           "GdiSetBatchLimit", "GetBkMode", "GetClipRgn", "GetCurrentObject", "GetDIBits",
                           "GetPixel", "GetPolyFillMode", "GetROP2", "GetStockObject", "LineTo", "MoveToEx", "Pie",
                           "PolyBezier", "Polygon", "Polyline", "RealizePalette", "Rectangle", "RoundRect",
                           "SelectClipRgn", "SelectObject", "SelectPalette", "SetBkColor", "SetBkMode",
                           "SetGraphicsMode", "SetPixelV", "SetPolyFillMode", "SetROP2", "SetTextColor",
                           "SetWorldTransform", "CreateFontIndirectA", "GetObjectA", "GetTextExtentPoint32A",
                           "TextOutA"};
    const plat::ExportTable& t = plat::gdi32_exports;
    EXPECT_STREQ(t.dll_name, "gdi32.dll");
    for (const char* n : names) {
        const void* found = nullptr;
        for (size_t i = 0; i < t.count; ++i)
            if (std::strcmp(t.entries[i].name, n) == 0) found = t.entries[i].proc;
        EXPECT_NE(found, nullptr) << n;
    }
    // Through the module loader as the graphics layer does it.
    HMODULE gdi = LoadLibraryA("gdi32.dll");
    ASSERT_NE(gdi, nullptr);
    auto get_rop2 = reinterpret_cast<int(WINAPI*)(HDC)>(reinterpret_cast<void*>(GetProcAddress(gdi, "GetROP2")));
    ASSERT_NE(get_rop2, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(get_rop2(dc), R2_COPYPEN);
    DeleteDC(dc);
}

TEST(GdiObjects, ConcurrentCreateSelectDelete) {
    auto work = [](int seed) {
        for (int i = 0; i < 2000; ++i) {
            HDC dc = CreateCompatibleDC(nullptr);
            HBRUSH br = CreateSolidBrush(RGB(seed, i & 255, 0));
            HPEN pen = CreatePen(PS_SOLID, 1, RGB(i & 255, seed, 0));
            HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
            HGDIOBJ ob = SelectObject(dc, br);
            SelectObject(dc, pen);
            HGDIOBJ obm = SelectObject(dc, bm);
            Rectangle(dc, 0, 0, 4, 4);
            DeleteObject(br);  // deferred while selected
            SelectObject(dc, ob);
            SelectObject(dc, obm);
            DeleteObject(bm);
            DeleteDC(dc);  // releases the pen, which is then deleted below
            DeleteObject(pen);
        }
    };
    std::thread a(work, 1), b(work, 2);
    a.join();
    b.join();
    // Slots were recycled: new handles still work.
    HBRUSH br = CreateSolidBrush(RGB(5, 5, 5));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(br, sizeof lb, &lb), int(sizeof lb));
    DeleteObject(br);
}
