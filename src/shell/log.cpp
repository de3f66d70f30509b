#include "log.h"

#include "messages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fmx {
namespace {

using Clock = std::chrono::steady_clock;

// All log state lives in one object that is never destroyed, so that entries logged while the
// process ends (static destructors, the writer thread) never meet a destroyed string or mutex.
struct LogState {
    std::mutex pendingLock; // guards pending
    QString pending;

    std::mutex writeLock; // guards everything below; held for a whole write
    QString directory;
    QString productName = QStringLiteral("Fermalux");
    QString baseName;
    QString currentFile;
    int part = 1;
    qint64 totalSize = 0;
    qint64 maxSize = kDefaultMaxLogSize;
    bool written = false;
    Clock::time_point lastWrite{};
    QString failureMessage; // shown once by logInfo on the main thread

    std::atomic<bool> stopped{false};
    std::atomic<bool> broken{false};
    std::atomic<bool> failurePending{false};
    std::thread::id mainThread = std::this_thread::get_id();

    std::mutex writerLock; // guards the writer thread's flags
    std::condition_variable writerWake;
    std::thread* writer = nullptr; // deliberately leaked: the process may end while it runs
    bool writerTerminate = false;
    bool writerFinished = false;
};

LogState& st() {
    static LogState* state = new LogState;
    return *state;
}

const QString& kindLetter(TLogMsgKind kind) {
    static const QString letters[] = {QStringLiteral("E"), QStringLiteral("W"), QStringLiteral("I"),
                                      QStringLiteral("D"), QString()};
    const int k = static_cast<int>(kind);
    return letters[k >= 0 && k <= 4 ? k : 4];
}

// The prefix up to and including the thread ID and its blank. The date part changes once a
// second and the thread ID never, so both are kept per thread.
const QString& timeAndThread() {
    thread_local std::time_t cachedSecond = -1;
    thread_local QString cached;
    thread_local const QString thread =
        QStringLiteral("%1 ")
            .arg(static_cast<unsigned long>(::syscall(SYS_gettid)) & 0xFFFFFFFFUL, 8, 16, QLatin1Char('0'))
            .toUpper();
    const std::time_t now = std::time(nullptr);
    if (now != cachedSecond) {
        std::tm local{};
        ::localtime_r(&now, &local);
        char buf[96];
        std::snprintf(buf, sizeof buf, "%d-%.2d-%.2d %.2d:%.2d:%.2d ", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        cached = QString::fromLatin1(buf) + thread;
        cachedSecond = now;
    }
    return cached;
}

void appendEntry(TLogMsgKind kind, const QString& text) {
    const QString& head = timeAndThread();
    const QString& letter = kindLetter(kind);
    const QString eol = QStringLiteral("\r\n");
    QString entry;
    if (!text.contains(eol)) {
        entry.reserve(head.size() + letter.size() + 1 + text.size() + 2);
        entry += head;
        entry += letter;
        entry += QLatin1Char(' ');
        entry += text;
        entry += eol;
    } else {
        const QString prefix = head + letter + QLatin1Char(' ');
        const QString indent(prefix.size(), QLatin1Char(' '));
        const QStringList lines = text.split(eol);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // A trailing line break leaves an empty remainder, which adds nothing.
            if (i == lines.size() - 1 && lines[i].isEmpty()) break;
            entry += (i == 0 ? prefix : indent) + lines[i] + eol;
        }
    }
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.pendingLock);
    s.pending += entry;
}

QString partFileName(const QString& base, int part) {
    if (part <= 1) return base + QStringLiteral(".log");
    return base + QStringLiteral(" - part %1.log").arg(part, 4, 10, QLatin1Char('0'));
}

// Callers hold writeLock.
void fixBaseName(LogState& s) {
    if (!s.baseName.isEmpty()) return;
    const QDateTime now = QDateTime::currentDateTime();
    s.baseName =
        QDir(s.directory)
            .filePath(now.toString(QStringLiteral("yyyy-MM-dd HHmmss")) +
                      QStringLiteral(" %1 ").arg(static_cast<long long>(::getpid())) + s.productName);
    s.part = 1;
    s.currentFile = partFileName(s.baseName, 1);
}

void cleanUpLocked(LogState& s) {
    fixBaseName(s);
    const QFileInfoList files =
        QDir(s.directory).entryInfoList({QStringLiteral("*.log")}, QDir::Files | QDir::Hidden, QDir::Name);
    qint64 sum = 0;
    for (const QFileInfo& f : files)
        sum += f.size();
    for (const QFileInfo& f : files) {
        if (sum < s.maxSize) break;
        // An old file that cannot be deleted is left; the next one is tried.
        if (QFile::remove(f.absoluteFilePath())) sum -= f.size();
    }
    s.totalSize = sum;
}

void breakLogging(LogState& s, const QString& error) {
    s.stopped = true;
    s.broken = true;
    s.failureMessage =
        QStringLiteral("Interne fout bij het loggen ") + error + QStringLiteral(", logging wordt uitgezet");
    s.failurePending = true;
}

// Callers hold writeLock. Writes `text` to the current part, moving to the next part first when
// the current one is full.
void writeLocked(LogState& s, const QString& text) {
    if (s.baseName.isEmpty() || s.totalSize > s.maxSize) cleanUpLocked(s);
    const QByteArray bytes = text.toUtf8();
    for (;;) {
        s.currentFile = partFileName(s.baseName, s.part);
        QFile file(s.currentFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            breakLogging(s,
                         QStringLiteral("bij openen van \"%1\": %2").arg(s.currentFile, file.errorString()));
            return;
        }
        if (file.size() > kLogPartSize) {
            file.close();
            if (s.part == 1) {
                const QString first = partFileName(s.baseName, 1);
                const QString renamed = s.baseName + QStringLiteral(" - part 0001.log");
                if (!QFile::rename(first, renamed)) {
                    breakLogging(s, QStringLiteral("bij hernoemen van \"%1\"").arg(first));
                    return;
                }
            }
            ++s.part;
            continue;
        }
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            breakLogging(
                s, QStringLiteral("bij schrijven naar \"%1\": %2").arg(s.currentFile, file.errorString()));
            return;
        }
        s.totalSize += bytes.size();
        return;
    }
}

// Takes the pending text and writes it. Callers hold writeLock. Entries added meanwhile wait for
// the next write; taking the text under pendingLock means no half-appended entry is ever seen.
void flushLocked(LogState& s) {
    if (s.directory.isEmpty() || s.broken) return;
    QString text;
    {
        std::lock_guard<std::mutex> guard(s.pendingLock);
        text.swap(s.pending);
    }
    s.written = true;
    s.lastWrite = Clock::now();
    if (text.isEmpty()) return;
    writeLocked(s, text);
}

void writerLoop() {
    LogState& s = st();
    // Writing the log must not compete with the user's work.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 5);
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(s.writerLock);
            s.writerWake.wait_for(lock, std::chrono::milliseconds(200), [&] { return s.writerTerminate; });
            if (s.writerTerminate) break;
        }
        try {
            checkWriteLogRecords(false);
        } catch (...) {
            // Out of memory while writing: logging goes off, the program goes on.
            std::lock_guard<std::mutex> guard(s.writeLock);
            breakLogging(s, QStringLiteral("in de schrijfthread"));
        }
        if (s.broken) break;
    }
    bool terminated;
    {
        std::lock_guard<std::mutex> lock(s.writerLock);
        terminated = s.writerTerminate;
    }
    if (terminated) {
        s.stopped = true;
        appendEntry(lmk_logInfo, QStringLiteral("Final log line"));
        checkWriteLogRecords(true);
    }
    std::lock_guard<std::mutex> lock(s.writerLock);
    s.writerFinished = true;
    s.writerWake.notify_all();
}

} // namespace

void logInfo(TLogMsgKind kind, const QString& text) {
    LogState& s = st();
    if (s.failurePending.load(std::memory_order_relaxed) && std::this_thread::get_id() == s.mainThread) {
        QString message;
        {
            std::lock_guard<std::mutex> guard(s.writeLock);
            message.swap(s.failureMessage);
            s.failurePending = false;
        }
        if (!message.isEmpty()) MsgError(message);
    }
    if (s.stopped.load(std::memory_order_relaxed) || s.broken.load(std::memory_order_relaxed)) return;
    appendEntry(kind, text);
}

QString pendingLogText() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.pendingLock);
    return s.pending;
}

void setProductName(const QString& name) {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    s.productName = name;
}

QString productName() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    return s.productName;
}

void setLogDirectory(const QString& dir) {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    s.directory = dir;
}

QString logDirectory() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    return s.directory;
}

void setMaxLogSize(qint64 bytes) {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    s.maxSize = bytes;
}

qint64 maxLogSize() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    return s.maxSize;
}

bool checkWriteLogRecords(bool force) {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    if (s.directory.isEmpty() || s.broken) return false;
    qsizetype waiting;
    {
        std::lock_guard<std::mutex> pendingGuard(s.pendingLock);
        waiting = s.pending.size();
    }
    const bool due = force || (!s.written && waiting > 0) || waiting > 80000 ||
                     (waiting > 0 && Clock::now() - s.lastWrite > std::chrono::milliseconds(5000));
    if (!due) return false;
    flushLocked(s);
    return true;
}

void flushLogRecords() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    flushLocked(s);
}

void initLogging() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    if (s.directory.isEmpty()) return;
    cleanUpLocked(s);
}

QString currentLogFileName() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    return s.currentFile;
}

bool isLoggingStopped() {
    return st().stopped;
}
bool isLoggingBroken() {
    return st().broken;
}

void startLogWriter() {
    LogState& s = st();
    std::lock_guard<std::mutex> lock(s.writerLock);
    if (s.writer) return;
    s.writerTerminate = false;
    s.writerFinished = false;
    s.writer = new std::thread(&writerLoop);
}

bool shutdownLogging() {
    LogState& s = st();
    bool done;
    std::thread* writer;
    {
        std::unique_lock<std::mutex> lock(s.writerLock);
        writer = s.writer;
        if (writer) {
            s.writerTerminate = true;
            s.writerWake.notify_all();
            done = s.writerWake.wait_for(lock, std::chrono::milliseconds(5000),
                                         [&] { return s.writerFinished; });
        }
    }
    if (writer) {
        if (done) {
            writer->join();
            delete writer;
        } else {
            writer->detach(); // still busy after 5 s: leave it, the process is ending
        }
        std::lock_guard<std::mutex> lock(s.writerLock);
        s.writer = nullptr;
        done = done && !s.broken;
    } else {
        const bool wasBroken = s.broken;
        s.stopped = true;
        if (!wasBroken) appendEntry(lmk_logInfo, QStringLiteral("Final log line"));
        checkWriteLogRecords(true);
        done = !wasBroken && !s.broken && !logDirectory().isEmpty();
    }
    s.stopped = true;
    s.broken = true;
    return done;
}

void resetLogging() {
    LogState& s = st();
    std::lock_guard<std::mutex> guard(s.writeLock);
    {
        std::lock_guard<std::mutex> pendingGuard(s.pendingLock);
        s.pending.clear();
    }
    s.directory.clear();
    s.baseName.clear();
    s.currentFile.clear();
    s.part = 1;
    s.totalSize = 0;
    s.maxSize = kDefaultMaxLogSize;
    s.written = false;
    s.failureMessage.clear();
    s.failurePending = false;
    s.stopped = false;
    s.broken = false;
    s.mainThread = std::this_thread::get_id();
}

} // namespace fmx
