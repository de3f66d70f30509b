#include "callstack.h"

#include <QStringList>

#include <cstdlib>

#include <cxxabi.h>
#include <execinfo.h>

namespace fmx {
namespace {

// backtrace_symbols gives "binary(mangled+0x12) [0xaddr]"; the mangled name is demangled.
QString describeFrame(const char* symbol) {
    QString line = QString::fromLocal8Bit(symbol);
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype plus = line.indexOf(QLatin1Char('+'), open);
    if (open < 0 || plus <= open + 1) return line;
    const QByteArray mangled = line.mid(open + 1, plus - open - 1).toLocal8Bit();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled.constData(), nullptr, nullptr, &status);
    if (status == 0 && demangled) {
        line = line.left(open + 1) + QString::fromLocal8Bit(demangled) + line.mid(plus);
    }
    std::free(demangled);
    return line;
}

} // namespace

TCallStack TCallStack::capture(int skip) {
    TCallStack stack;
    std::array<void*, 64> raw{};
    const int n = ::backtrace(raw.data(), static_cast<int>(raw.size()));
    const int first = 1 + (skip > 0 ? skip : 0); // leave out capture() itself
    for (int i = first; i < n && stack.fCount < static_cast<int>(stack.fFrames.size()); ++i)
        stack.fFrames[static_cast<size_t>(stack.fCount++)] = raw[static_cast<size_t>(i)];
    return stack;
}

QString TCallStack::toText() const {
    if (fCount <= 0) return QStringLiteral("Stack dump niet beschikbaar!");
    char** symbols = ::backtrace_symbols(fFrames.data(), fCount);
    if (!symbols) return QStringLiteral("Stack dump niet beschikbaar!");
    QStringList lines;
    for (int i = 0; i < fCount; ++i)
        lines << describeFrame(symbols[i]);
    std::free(symbols);
    return lines.join(QStringLiteral("\r\n"));
}

QString currentCallStack(int skip) {
    return TCallStack::capture(skip + 1).toText();
}

} // namespace fmx
