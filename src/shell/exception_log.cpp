#include "exception_log.h"

#include "callstack.h"
#include "errors.h"
#include "log.h"

#include <QString>

#include <cstdlib>
#include <typeinfo>

#include <cxxabi.h>

namespace fmx {
namespace {

// The last exception logged on this thread; kept alive so that its identity cannot be reused.
thread_local std::exception_ptr tLastLogged;
thread_local bool tLogging = false;

QString className(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    QString name = QString::fromLocal8Bit(status == 0 && demangled ? demangled : type.name());
    std::free(demangled);
    return name;
}

// Returns false when the exception being handled was logged already (and remembers it otherwise).
bool firstTime() {
    std::exception_ptr current = std::current_exception();
    if (current && current == tLastLogged) return false;
    tLastLogged = current;
    return true;
}

void writeEntry(const QString& description, const QString& stack) {
    logInfo(lmk_logInfo, QStringLiteral("--[ EXCEPTION ]-----------------------------------------\r\n") +
                             description + QStringLiteral("\r\n") + stack);
}

struct Reentry {
    Reentry() { tLogging = true; }
    ~Reentry() { tLogging = false; }
};

} // namespace

void logException(const std::exception& e) {
    if (tLogging) return; // an exception raised while logging is not logged again
    if (dynamic_cast<const TAbort*>(&e)) return;
    const auto* dataError = dynamic_cast<const TBaseDataError*>(&e);
    if (dataError && tdek_NoRights >= 0 && dataError->kind() == tdek_NoRights) return;
    if (!firstTime()) return;
    Reentry guard;
    try {
        const QString message = dataError ? dataError->text() : QString::fromUtf8(e.what());
        const QString stack = dataError ? dataError->raiseStack().toText() : currentCallStack(1);
        writeEntry(className(typeid(e)) + QStringLiteral(": ") + message, stack);
    } catch (...) {
    }
}

void logCurrentException() {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& e) {
        logException(e);
    } catch (...) {
        if (tLogging || !firstTime()) return;
        Reentry guard;
        try {
            const std::type_info* type = abi::__cxa_current_exception_type();
            writeEntry((type ? className(*type) : QStringLiteral("unknown")) +
                           QStringLiteral(": (no message)"),
                       currentCallStack(1));
        } catch (...) {
        }
    }
}

void installTerminateHandler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    std::set_terminate([] {
        logInfo(lmk_logError, QStringLiteral("Onverwachte fout: het programma wordt beeindigd"));
        logCurrentException();
        checkWriteLogRecords(true);
        std::abort();
    });
}

} // namespace fmx
