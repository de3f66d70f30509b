// Test entry point: every assertion becomes a TAssertionFailure exception, so a test can expect
// one and an unexpected one fails the test instead of aborting the run.
#include "fmx_assert.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    fmx::setAssertHandler(&fmx::throwingAssertHandler);
    return RUN_ALL_TESTS();
}
