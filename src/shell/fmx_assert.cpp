#include "fmx_assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace fmx {
namespace {

void defaultAssertHandler(const char* file, int line, const QString& message) {
    std::fprintf(stderr, "Assert: %s:%d \"%s\"\n", file, line, message.toLocal8Bit().constData());
    std::abort();
}

std::atomic<TAssertHandler> gAssertHandler{&defaultAssertHandler};

std::string describe(const char* file, int line, const QString& message) {
    return std::string(file) + ":" + std::to_string(line) + ": " + message.toStdString();
}

} // namespace

TAssertHandler setAssertHandler(TAssertHandler handler) {
    return gAssertHandler.exchange(handler ? handler : &defaultAssertHandler);
}

TAssertHandler assertHandler() { return gAssertHandler.load(); }

void assertFailed(const char* file, int line, const QString& message) {
    gAssertHandler.load()(file, line, message);
}

TAssertionFailure::TAssertionFailure(const char* file, int line, const QString& message)
    : std::logic_error(describe(file, line, message)), fMessage(message), fFile(file), fLine(line) {}

void throwingAssertHandler(const char* file, int line, const QString& message) {
    throw TAssertionFailure(file, line, message);
}

} // namespace fmx
