// AlphaBlend, TransparentBlt, GradientFill, StretchDIBits and
// SetDIBitsToDevice against the reference GDI: the scenarios of
// reference/scenarios run here on the stand-in, and their pictures are
// compared with the reference's dumps kept in reference/ref (made by
// scripts/gdi_reference.sh reference under Wine). The touched pixels are
// those where the reference or the stand-in differ from the same scenario
// run with the calls under test left out.
#include <unistd.h>
#include <gtest/gtest.h>
#include "reference/px_dump.h"
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {
bool g_base = false;  // leave the calls under test out: the scenario's starting picture
}

#define AlphaBlend(...) (g_base ? TRUE : ::AlphaBlend(__VA_ARGS__))
#define TransparentBlt(...) (g_base ? TRUE : ::TransparentBlt(__VA_ARGS__))
#define GradientFill(...) (g_base ? TRUE : ::GradientFill(__VA_ARGS__))
#define StretchDIBits(...) (g_base ? 0 : ::StretchDIBits(__VA_ARGS__))
#define SetDIBitsToDevice(...) (g_base ? 0 : ::SetDIBitsToDevice(__VA_ARGS__))

// Each scenario is a C program; its main() becomes ns::run().
#define main run
namespace sc_alpha_blend {
#undef FID_H
#include "reference/scenarios/msimg_alpha_blend.c"
}
namespace sc_alpha_overflow {
#undef FID_H
#include "reference/scenarios/msimg_alpha_overflow.c"
}
namespace sc_transparent_blt {
#undef FID_H
#include "reference/scenarios/msimg_transparent_blt.c"
}
namespace sc_gradient_fill {
#undef FID_H
#include "reference/scenarios/msimg_gradient_fill.c"
}
namespace sc_formats {
#undef FID_H
#include "reference/scenarios/msimg_formats.c"
}
namespace sc_dib_transfer {
#undef FID_H
#include "reference/scenarios/dib_transfer.c"
}
#undef main

namespace {

using px_dump::Picture;
using px_dump::read_px;

std::string data_dir() { return LV_GDI_REFERENCE_DIR "/"; }

Picture run_scenario(int (*run)(int, char**), bool base) {
    // One file per process: ctest runs the scenarios side by side.
    std::string out = ::testing::TempDir() + "msimg_scenario_" + std::to_string(getpid()) + ".px";
    char a0[] = "scenario";
    std::vector<char> a1(out.begin(), out.end());
    a1.push_back('\0');
    char* argv[] = {a0, a1.data(), nullptr};
    g_base = base;
    int rc = run(2, argv);
    g_base = false;
    Picture p;
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(read_px(out, &p));
    std::remove(out.c_str());
    return p;
}

struct Case {
    const char* name;
    int (*run)(int, char**);
    int exact_row;  // a row that holds the calls' return values: it must agree whole (-1: none)
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class MsimgReference : public ::testing::TestWithParam<Case> {};

TEST_P(MsimgReference, AgreesWithTheReferenceOnTouchedPixels) {
    const Case& c = GetParam();
    Picture ref;
    ASSERT_TRUE(read_px(data_dir() + "ref/" + c.name + ".px", &ref)) << c.name;
    Picture ours = run_scenario(c.run, false), base = run_scenario(c.run, true);
    ASSERT_EQ(ours.w, ref.w);
    ASSERT_EQ(ours.h, ref.h);
    ASSERT_EQ(base.px.size(), ref.px.size());
    size_t touched = 0, agree = 0, first_bad = SIZE_MAX;
    for (size_t i = 0; i < ref.px.size(); ++i) {
        uint32_t r = ref.px[i] & 0xFFFFFF, o = ours.px[i] & 0xFFFFFF, b = base.px[i] & 0xFFFFFF;
        if (r == b && o == b) continue;
        ++touched;
        if (r == o) ++agree;
        else if (first_bad == SIZE_MAX) first_bad = i;
    }
    ASSERT_GT(touched, 0u);
    EXPECT_GE(agree * 100, touched * 99)
        << c.name << ": " << agree << " of " << touched << " touched pixels agree; first difference at ("
        << first_bad % ref.w << ", " << first_bad / ref.w << ")";
    if (c.exact_row >= 0) {
        for (unsigned x = 0; x < ref.w; ++x) {
            EXPECT_EQ(ours.px[c.exact_row * ref.w + x] & 0xFFFFFF, ref.px[c.exact_row * ref.w + x] & 0xFFFFFF)
                << c.name << ": return value at column " << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, MsimgReference,
                         ::testing::Values(Case{"msimg_alpha_blend", sc_alpha_blend::run, 95},
                                           Case{"msimg_alpha_overflow", sc_alpha_overflow::run, 0},
                                           Case{"msimg_transparent_blt", sc_transparent_blt::run, -1},
                                           Case{"msimg_gradient_fill", sc_gradient_fill::run, 149},
                                           Case{"msimg_formats", sc_formats::run, -1},
                                           Case{"dib_transfer", sc_dib_transfer::run, 119}),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace
