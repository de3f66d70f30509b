#include "log.h"

#include <QDateTime>
#include <QStringList>

#include <mutex>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

namespace fmx {
namespace {

std::mutex gPendingLock;
QString gPending;

QString kindLetter(TLogMsgKind kind) {
    switch (kind) {
    case lmk_logError: return QStringLiteral("E");
    case lmk_logWarning: return QStringLiteral("W");
    case lmk_logInfo: return QStringLiteral("I");
    case lmk_logBaseDebug: return QStringLiteral("D");
    case lmk_logExtDebug: break;
    }
    return QString();
}

QString linePrefix(TLogMsgKind kind) {
    const QDateTime now = QDateTime::currentDateTime();
    const auto tid = static_cast<unsigned long>(::syscall(SYS_gettid));
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
           QStringLiteral("%1").arg(tid & 0xFFFFFFFFUL, 8, 16, QLatin1Char('0')).toUpper() +
           QLatin1Char(' ') + kindLetter(kind) + QLatin1Char(' ');
}

} // namespace

void logInfo(TLogMsgKind kind, const QString& text) {
    const QString prefix = linePrefix(kind);
    const QString eol = QStringLiteral("\r\n");
    QString entry;
    if (!text.contains(eol)) {
        entry = prefix + text + eol;
    } else {
        const QString indent(prefix.size(), QLatin1Char(' '));
        const QStringList lines = text.split(eol);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // A trailing line break leaves an empty remainder, which adds nothing.
            if (i == lines.size() - 1 && lines[i].isEmpty()) break;
            entry += (i == 0 ? prefix : indent) + lines[i] + eol;
        }
    }
    std::lock_guard<std::mutex> guard(gPendingLock);
    gPending += entry;
}

QString pendingLogText() {
    std::lock_guard<std::mutex> guard(gPendingLock);
    return gPending;
}

} // namespace fmx
