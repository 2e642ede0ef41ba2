// Test entry point: every test program runs its windows on the headless
// backend with the virtual clock, so no display is needed and pauses are free.
#include <gtest/gtest.h>

#include "platform/headless.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    headless::Use(/*virtual_clock=*/true);
    return RUN_ALL_TESTS();
}
