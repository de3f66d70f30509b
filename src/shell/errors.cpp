#include "errors.h"

#include "fmx_assert.h"
#include "log.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace fmx {

int tdek_OngeldigeParameter = -1;
int tdek_NoRights = -1;
int tdek_DataDirFailure = -1;

namespace {

// A deque keeps references from getExceptionRec valid while later kinds are registered.
std::deque<TExceptionRec>& kinds() {
    static std::deque<TExceptionRec> list;
    return list;
}
std::mutex gKindsLock;
std::atomic<TExceptionTextTranslator> gTranslator{nullptr};

} // namespace

void regException(int& kind, const QString& varName, const QString& defaultText) {
    FMX_ASSERT(kind == -1, QStringLiteral("Exception kind %1 is al geregistreerd").arg(varName));
    if (kind != -1) return;
    std::lock_guard<std::mutex> guard(gKindsLock);
    kinds().push_back(TExceptionRec{varName, defaultText});
    kind = static_cast<int>(kinds().size()) - 1;
}

int getNumRegExceptions() {
    std::lock_guard<std::mutex> guard(gKindsLock);
    return static_cast<int>(kinds().size());
}

const TExceptionRec& getExceptionRec(int kind) {
    {
        std::lock_guard<std::mutex> guard(gKindsLock);
        if (kind >= 0 && kind < static_cast<int>(kinds().size())) return kinds()[static_cast<size_t>(kind)];
    }
    FMX_ASSERT(false, QStringLiteral("Ongeldig exception kind %1").arg(kind));
    static const TExceptionRec unknown{QStringLiteral("tdek_Unknown"), QStringLiteral("Unknown error")};
    return unknown;
}

QString getExceptionText(int kind) {
    const TExceptionRec& rec = getExceptionRec(kind);
    if (auto translator = gTranslator.load()) return translator(rec);
    return rec.fDefText;
}

void setExceptionTextTranslator(TExceptionTextTranslator translator) { gTranslator.store(translator); }

void registerShellExceptions() {
    if (tdek_OngeldigeParameter != -1) return;
    regException(tdek_OngeldigeParameter, QStringLiteral("tdek_OngeldigeParameter"),
                 QStringLiteral("Invalid parameter"));
    regException(tdek_NoRights, QStringLiteral("tdek_NoRights"),
                 QStringLiteral("Not enough rights for the action"));
    regException(tdek_DataDirFailure, QStringLiteral("tdek_DataDirFailure"), QStringLiteral("Data directory"));
}

TBaseDataError::TBaseDataError(int kind) : fKind(kind) { build(); }

TBaseDataError::TBaseDataError(int kind, const QString& message) : fKind(kind), fMessage(message) { build(); }

void TBaseDataError::build() {
    const QString kindText = getExceptionText(fKind);
    fText = fMessage.isEmpty() ? kindText : kindText + QStringLiteral(": ") + fMessage;
    fWhat = fText.toUtf8();
    fRaiseStack = TCallStack::capture(2); // leave out build() and the constructor
    logInfo(lmk_logError, QStringLiteral("TDataError ") + fText);
}

} // namespace fmx
