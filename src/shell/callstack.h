// Call stacks for the log, from glibc's backtrace(); best effort.
#pragma once

#include <QString>

#include <array>

namespace fmx {

// The return addresses of a call stack, captured cheaply and formatted only when logged.
struct TCallStack {
    std::array<void*, 48> fFrames{};
    int fCount = 0;

    // Captures the caller's stack, leaving out `skip` frames above the caller.
    static TCallStack capture(int skip = 0);
    // One frame per line; "Stack dump niet beschikbaar!" when no frames were captured.
    QString toText() const;
};

// The current call stack as text, leaving out `skip` frames above the caller.
QString currentCallStack(int skip = 0);

} // namespace fmx
