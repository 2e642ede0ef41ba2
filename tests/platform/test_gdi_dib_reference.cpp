// Bit-field sections, monochrome bitmaps as sources, palette-index colours,
// PolyPolyline and right-to-left layouts against the reference GDI: the
// scenarios of reference/scenarios run here on the stand-in and their
// pictures are compared with the reference's dumps in reference/ref (made
// by scripts/gdi_reference.sh reference under Wine). Touched pixels are
// those where the reference or the stand-in differ from the canvas's
// starting colour; rows that hold the calls' answers must agree whole.
#include <unistd.h>
#include <gtest/gtest.h>
#include "reference/px_dump.h"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// Each scenario is a C program; its main() becomes ns::run().
#define main run
namespace sc_bitfields {
#undef FID_H
#include "reference/scenarios/dib_bitfields.c"
}
namespace sc_mono_ddb {
#undef FID_H
#include "reference/scenarios/dib_mono_ddb.c"
}
namespace sc_palette_index {
#undef FID_H
#include "reference/scenarios/dib_palette_index.c"
}
namespace sc_polypolyline_layout {
#undef FID_H
#include "reference/scenarios/dib_polypolyline_layout.c"
}
#undef main

namespace {

using px_dump::Picture;
using px_dump::read_px;

// LV_GDI_KEEP_DUMPS=DIR keeps the stand-in's dumps there for a side-by-side look.
Picture run_scenario(const char* name, int (*run)(int, char**)) {
    const char* keep = std::getenv("LV_GDI_KEEP_DUMPS");
    std::string out = keep ? std::string(keep) + "/" + name + ".px"
                           : ::testing::TempDir() + "dib_scenario_" + std::to_string(getpid()) + ".px";
    char a0[] = "scenario";
    std::vector<char> a1(out.begin(), out.end());
    a1.push_back('\0');
    char* argv[] = {a0, a1.data(), nullptr};
    Picture p;
    EXPECT_EQ(run(2, argv), 0);
    EXPECT_TRUE(read_px(out, &p));
    if (!keep) std::remove(out.c_str());
    return p;
}

struct Case {
    const char* name;
    int (*run)(int, char**);
    int exact_rows;  // rows 0 .. exact_rows - 1 hold answers: they must agree whole
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DibReference : public ::testing::TestWithParam<Case> {};

TEST_P(DibReference, AgreesWithTheReferenceOnTouchedPixels) {
    const Case& c = GetParam();
    Picture ref;
    ASSERT_TRUE(read_px(std::string(LV_GDI_REFERENCE_DIR) + "/ref/" + c.name + ".px", &ref)) << c.name;
    Picture ours = run_scenario(c.name, c.run);
    ASSERT_EQ(ours.w, ref.w);
    ASSERT_EQ(ours.h, ref.h);
    const uint32_t bg = FID_PX(0xD8, 0xE0, 0xE8);
    size_t touched = 0, agree = 0, shown = 0;
    for (size_t i = size_t(c.exact_rows) * ref.w; i < ref.px.size(); ++i) {
        uint32_t r = ref.px[i] & 0xFFFFFF, o = ours.px[i] & 0xFFFFFF;
        if (r == bg && o == bg) continue;
        ++touched;
        if (r == o) ++agree;
        else if (shown++ < 8)
            ADD_FAILURE() << c.name << " (" << i % ref.w << ", " << i / ref.w << "): reference " << std::hex << r
                          << ", ours " << o;
    }
    ASSERT_GT(touched, 0u);
    EXPECT_GE(agree * 100, touched * 99) << c.name << ": " << agree << " of " << touched << " touched pixels agree";
    for (size_t i = 0; i < size_t(c.exact_rows) * ref.w; ++i)
        EXPECT_EQ(ours.px[i] & 0xFFFFFF, ref.px[i] & 0xFFFFFF) << c.name << ": answer at (" << i % ref.w << ", "
                                                                << i / ref.w << ")";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DibReference,
                         ::testing::Values(Case{"dib_bitfields", sc_bitfields::run, 2},
                                           Case{"dib_mono_ddb", sc_mono_ddb::run, 1},
                                           Case{"dib_palette_index", sc_palette_index::run, 2},
                                           Case{"dib_polypolyline_layout", sc_polypolyline_layout::run, 1}),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace
