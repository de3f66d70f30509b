// Test entry point of the report library: a QApplication on the offscreen platform (Qt Charts
// draws through QtWidgets), and every assertion becomes a TAssertionFailure exception.
#include "fmx_assert.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fmx::setAssertHandler(&fmx::throwingAssertHandler);
    return RUN_ALL_TESTS();
}
