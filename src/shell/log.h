// The run's text log. Entries are appended to memory on the caller's thread (any thread); the
// log-writer thread writes them to the log files in batches.
//
// Files: <log directory>/<yyyy-MM-dd HHmmss> <pid> <product>.log, taken from the time of the first
// write. A part above kLogPartSize bytes is closed and the next part " - part NNNN.log" begun; on
// the move to part 2 the first file is renamed to " - part 0001.log". Before the first write and
// whenever the directory holds more than the limit, the oldest "*.log" files are deleted until it
// holds less. Any failure while writing switches logging off for the rest of the run and leaves
// one message, shown through MsgError by the next logInfo on the thread that started logging.
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

inline constexpr qint64 kLogPartSize = 1024000;
inline constexpr qint64 kDefaultMaxLogSize = 204800000;

// Adds one entry; callable from any thread. Entries are taken before the log directory is known
// and written once it is.
void logInfo(TLogMsgKind kind, const QString& text);

// The pending (not yet written) text. For tests and the final flush.
QString pendingLogText();

// Product name used in log file names and message captions.
void setProductName(const QString& name);
QString productName();

// Fixes the log directory (created by the caller); files are written from then on.
void setLogDirectory(const QString& dir);
QString logDirectory();

// Limit on the total size of the "*.log" files in the log directory, in bytes.
void setMaxLogSize(qint64 bytes);
qint64 maxLogSize();

// Writes the pending text when due (first write, more than 80000 characters waiting, or entries
// waiting for more than 5000 ms) or when force is set. Returns true when it wrote.
bool checkWriteLogRecords(bool force);
// Writes the pending text now (nothing without a log directory or once logging is broken).
void flushLogRecords();
// Fixes the base name if not yet done and deletes the oldest log files while the directory holds
// at least the limit.
void initLogging();

// The file the next write goes to, or empty before the first write.
QString currentLogFileName();
bool isLoggingStopped();
bool isLoggingBroken();

// Starts the log-writer thread (every 200 ms: checkWriteLogRecords(false)). Idempotent.
void startLogWriter();
// Stops taking entries, appends "Final log line" and writes everything (through the writer thread
// when it runs, waiting at most 5000 ms for it). Logging is broken afterwards. Returns true when the
// final write was done.
bool shutdownLogging();

// Forgets files, flags, message and pending text and restores the default limit (for a new run in
// the same process, as tests do). The writer thread must not be running.
void resetLogging();

} // namespace fmx
