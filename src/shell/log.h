// The run's text log. Entries are appended to memory on the caller's thread (any thread); the
// log-writer thread writes them to the log files in batches.
#pragma once

#include <QString>

namespace fmx {

enum TLogMsgKind : int {
    lmk_logError = 0,
    lmk_logWarning = 1,
    lmk_logInfo = 2,
    lmk_logBaseDebug = 3,
    lmk_logExtDebug = 4,
};

// Adds one entry; callable from any thread.
void logInfo(TLogMsgKind kind, const QString& text);

// The pending (not yet written) text. For tests and the final flush.
QString pendingLogText();

} // namespace fmx
