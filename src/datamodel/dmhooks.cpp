#include "dmhooks.h"

#include "fmx_assert.h"
#include "log.h"

#include <QDateTime>

namespace fmx {

namespace {
TDmTranslator gTranslator = nullptr;
TDmMessageSink gErrorSink = nullptr;
TDmClock gClock = nullptr;
int32_t gLastGlobalID = 0;
} // namespace

void setDmTranslator(TDmTranslator translator) {
    gTranslator = translator;
}
QString dmTl(const QString& text) {
    return gTranslator ? gTranslator(text) : text;
}

void setDmErrorSink(TDmMessageSink sink) {
    gErrorSink = sink;
}
void dmMsgError(const QString& text) {
    if (gErrorSink)
        gErrorSink(text);
    else
        logInfo(lmk_logError, text);
}

void setDmClock(TDmClock clock) {
    gClock = clock;
}
double dmNow() {
    if (gClock) return gClock();
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const qint64 ms = epoch.msecsTo(QDateTime(now.date(), now.time()));
    return static_cast<double>(ms) / 86400000.0;
}

TDmProgramInfo& dmProgramInfo() {
    static TDmProgramInfo info;
    return info;
}

TDmObjectManagerHooks& dmObjectManagerHooks() {
    static TDmObjectManagerHooks hooks;
    return hooks;
}

int32_t dmClaimID() {
    if (auto f = dmObjectManagerHooks().claimID) return f();
    FMX_ASSERT(gLastGlobalID < 0x7FFEFFFF, QStringLiteral("dmClaimID: geen globale IDs meer"));
    return ++gLastGlobalID;
}
TDataObj* dmActGlobalData() {
    auto f = dmObjectManagerHooks().actGlobalData;
    return f ? f() : nullptr;
}
bool dmBusyFixingBugs() {
    auto f = dmObjectManagerHooks().busyFixingBugs;
    return f ? f() : false;
}
bool dmNoRightsChecks() {
    auto f = dmObjectManagerHooks().noRightsChecks;
    return f ? f() : false;
}
bool dmHasRight(int32_t rightID) {
    if (rightID == -1) return true;
    auto f = dmObjectManagerHooks().hasRight;
    return f ? f(rightID) : true;
}

int32_t dmDataModelVersion() {
    auto f = dmObjectManagerHooks().dmVersion;
    return f ? f() : 0;
}
int32_t dmCurrUserID() {
    auto f = dmObjectManagerHooks().currUserID;
    return f ? f() : 0;
}

} // namespace fmx
