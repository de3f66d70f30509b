// Assertions that carry their source file and line to the installed handler.
//
// The application installs the interactive handler (log, message box, offer to stop); tests install
// a handler that throws TAssertionFailure so that an assertion is testable.
#pragma once

#include <QString>

#include <stdexcept>
#include <string>

namespace fmx {

using TAssertHandler = void (*)(const char* file, int line, const QString& message);

// Installs a handler and returns the previous one. nullptr restores the default, which writes the
// failure to standard error and aborts.
TAssertHandler setAssertHandler(TAssertHandler handler);
TAssertHandler assertHandler();

// Called by FMX_ASSERT on failure. Returns when the handler returns (the user chose to go on).
void assertFailed(const char* file, int line, const QString& message);

// Thrown by throwingAssertHandler, the handler used by tests and by batch tools.
class TAssertionFailure : public std::logic_error {
public:
    TAssertionFailure(const char* file, int line, const QString& message);
    const QString& message() const noexcept { return fMessage; }
    const std::string& file() const noexcept { return fFile; }
    int line() const noexcept { return fLine; }

private:
    QString fMessage;
    std::string fFile;
    int fLine;
};

[[noreturn]] void throwingAssertHandler(const char* file, int line, const QString& message);

} // namespace fmx

#define FMX_ASSERT(cond, message)                                                                            \
    do {                                                                                                     \
        if (!(cond)) ::fmx::assertFailed(__FILE__, __LINE__, (message));                                     \
    } while (0)
