// Drawing under world transforms that scale and translate, under page
// transforms (origins, extents, map modes), and arcs of many angles, sizes
// and pen widths, against the reference GDI: the scenarios of
// reference/scenarios run here on the stand-in and must paint exactly the
// pixels of the reference's dumps in reference/ref (made by
// scripts/gdi_reference.sh reference under Wine). Every pixel either side
// painted over the scenario's plain background has to agree.
#include <unistd.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <math.h>  // before the scenarios, which include it inside their namespaces

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// Each scenario is a C program; its main() becomes ns::run().
#define main run
namespace sc_xform_shapes {
#undef FID_H
#include "reference/scenarios/xform_scale_shapes.c"
}
namespace sc_xform_arcs {
#undef FID_H
#include "reference/scenarios/xform_scale_arcs.c"
}
namespace sc_xform_blits {
#undef FID_H
#include "reference/scenarios/xform_scale_blits.c"
}
namespace sc_xform_misc {
#undef FID_H
#include "reference/scenarios/xform_scale_misc.c"
}
namespace sc_xform_rects {
#undef FID_H
#include "reference/scenarios/xform_scale_rects.c"
}
namespace sc_xform_page {
#undef FID_H
#include "reference/scenarios/xform_page_origin.c"
}
namespace sc_page_compatible {
#undef FID_H
#include "reference/scenarios/page_compatible.c"
}
namespace sc_arc_angles {
#undef FID_H
#include "reference/scenarios/arc_angles.c"
}
#undef main

namespace {

struct Dump {
    unsigned w = 0, h = 0;
    std::vector<uint32_t> px;
};

bool read_dump(const std::string& path, Dump* d) {
    std::ifstream f(path, std::ios::binary);
    char head[12];
    if (!f.read(head, 12) || std::memcmp(head, "FPX1", 4) != 0) return false;
    std::memcpy(&d->w, head + 4, 4);
    std::memcpy(&d->h, head + 8, 4);
    d->px.resize(size_t(d->w) * d->h);
    return bool(f.read(reinterpret_cast<char*>(d->px.data()), std::streamsize(d->px.size() * 4)));
}

struct Scenario {
    const char* name;
    int (*run)(int, char**);
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class TransformReference : public ::testing::TestWithParam<Scenario> {};

TEST_P(TransformReference, PaintsTheReferencePixels) {
    const Scenario& s = GetParam();
    Dump ref, ours;
    ASSERT_TRUE(read_dump(std::string(LV_GDI_REFERENCE_DIR "/ref/") + s.name + ".px", &ref)) << s.name;
    std::string out = ::testing::TempDir() + s.name + "_" + std::to_string(getpid()) + ".px";
    char a0[] = "scenario";
    std::vector<char> a1(out.begin(), out.end());
    a1.push_back('\0');
    char* argv[] = {a0, a1.data(), nullptr};
    ASSERT_EQ(s.run(2, argv), 0);
    ASSERT_TRUE(read_dump(out, &ours));
    std::remove(out.c_str());
    ASSERT_EQ(ours.w, ref.w);
    ASSERT_EQ(ours.h, ref.h);
    const uint32_t bg = FID_PX(0xD8, 0xE0, 0xE8);
    size_t touched = 0, agree = 0;
    std::string first;
    for (size_t i = 0; i < ref.px.size(); ++i) {
        uint32_t r = ref.px[i] & 0xFFFFFF, o = ours.px[i] & 0xFFFFFF;
        if (r == bg && o == bg) continue;
        ++touched;
        if (r == o) {
            ++agree;
        } else if (first.empty()) {
            char b[96];
            std::snprintf(b, sizeof b, "(%zu, %zu): reference %06X, ours %06X", i % ref.w, i / ref.w, r, o);
            first = b;
        }
    }
    ASSERT_GT(touched, 0u);
    EXPECT_EQ(agree, touched) << s.name << ": " << touched - agree << " of " << touched
                              << " touched pixels differ; first " << first;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, TransformReference,
                         ::testing::Values(Scenario{"xform_scale_shapes", sc_xform_shapes::run},
                                           Scenario{"xform_scale_arcs", sc_xform_arcs::run},
                                           Scenario{"xform_scale_blits", sc_xform_blits::run},
                                           Scenario{"xform_scale_misc", sc_xform_misc::run},
                                           Scenario{"xform_scale_rects", sc_xform_rects::run},
                                           Scenario{"xform_page_origin", sc_xform_page::run},
                                           Scenario{"page_compatible", sc_page_compatible::run},
                                           Scenario{"arc_angles", sc_arc_angles::run}),
                         [](const ::testing::TestParamInfo<Scenario>& i) { return std::string(i.param.name); });

}  // namespace
