#include "shell_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <thread>
#include <vector>

#include <unistd.h>

using namespace fmx;

namespace {

QStringList logFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
}

// A file of the given size without writing its bytes (sparse), for the clean-up.
void makeSizedFile(const QString& file, qint64 size) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(size));
}

using LogWriter = ShellTest;

} // namespace

TEST_F(LogWriter, FirstWriteCreatesFileNamedByTimePidAndProduct) {
    logInfo(lmk_logInfo, QStringLiteral("before the directory was known"));
    EXPECT_FALSE(checkWriteLogRecords(true)) << "nothing can be written without a directory";
    setLogDirectory(fTemp.path());
    logInfo(lmk_logWarning, QStringLiteral("second entry"));
    EXPECT_TRUE(checkWriteLogRecords(false)) << "the first write is due at once";

    const QStringList files = logFiles(fTemp.path());
    ASSERT_EQ(files.size(), 1);
    const QRegularExpression name(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{6} %1 Fermalux\\.log$").arg(::getpid()));
    EXPECT_TRUE(name.match(files[0]).hasMatch()) << files[0].toStdString();
    EXPECT_EQ(QFileInfo(currentLogFileName()).fileName(), files[0]);

    const QString content = QString::fromUtf8(readFile(path(files[0])));
    EXPECT_TRUE(content.contains(QStringLiteral(" I before the directory was known\r\n")));
    EXPECT_TRUE(content.contains(QStringLiteral(" W second entry\r\n")));
    EXPECT_TRUE(pendingLogText().isEmpty());

    logInfo(lmk_logInfo, QStringLiteral("appended"));
    EXPECT_TRUE(checkWriteLogRecords(true));
    EXPECT_EQ(logFiles(fTemp.path()).size(), 1);
    EXPECT_TRUE(QString::fromUtf8(readFile(path(files[0]))).endsWith(QStringLiteral(" I appended\r\n")));
}

TEST_F(LogWriter, FullPartMovesToNextPartAndRenamesFirst) {
    setLogDirectory(fTemp.path());
    logInfo(lmk_logInfo, QString(kLogPartSize, QLatin1Char('x')));
    ASSERT_TRUE(checkWriteLogRecords(true));
    const QString base = currentLogFileName().chopped(4); // without ".log"
    ASSERT_TRUE(QFile::exists(base + QStringLiteral(".log")));

    logInfo(lmk_logInfo, QStringLiteral("into part two"));
    ASSERT_TRUE(checkWriteLogRecords(true));
    EXPECT_FALSE(QFile::exists(base + QStringLiteral(".log")));
    const QString part1 = base + QStringLiteral(" - part 0001.log");
    const QString part2 = base + QStringLiteral(" - part 0002.log");
    EXPECT_GT(QFileInfo(part1).size(), kLogPartSize);
    EXPECT_EQ(currentLogFileName(), part2);
    EXPECT_TRUE(QString::fromUtf8(readFile(part2)).endsWith(QStringLiteral(" I into part two\r\n")));

    logInfo(lmk_logInfo, QStringLiteral("still part two"));
    ASSERT_TRUE(checkWriteLogRecords(true));
    EXPECT_EQ(logFiles(fTemp.path()).size(), 2);
    EXPECT_TRUE(QString::fromUtf8(readFile(part2)).endsWith(QStringLiteral(" I still part two\r\n")));
    EXPECT_FALSE(isLoggingBroken());
}

TEST_F(LogWriter, CleanUpDeletesOldestLogFilesUntilUnderLimit) {
    for (int i = 0; i < 25; ++i)
        makeSizedFile(
            path(QStringLiteral("2020-01-01 0000%1 100 Fermalux.log").arg(i, 2, 10, QLatin1Char('0'))),
            10000000);
    writeFile(path(QStringLiteral("notes.txt")), "not a log");
    ASSERT_TRUE(QDir(fTemp.path()).mkdir(QStringLiteral("folder.log")));

    setLogDirectory(fTemp.path());
    logInfo(lmk_logInfo, QStringLiteral("first"));
    ASSERT_TRUE(checkWriteLogRecords(true));

    // 250000000 bytes: the five oldest go, leaving 200000000 < 204800000.
    const QStringList files = logFiles(fTemp.path());
    ASSERT_EQ(files.size(), 21); // 20 old ones and this run's file
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("2020-01-01 000005 ")));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("notes.txt"))));
    EXPECT_TRUE(QDir(path(QStringLiteral("folder.log"))).exists());
}

TEST_F(LogWriter, SmallLimitKeepsDirectoryNearIt) {
    for (int i = 0; i < 4; ++i)
        makeSizedFile(path(QStringLiteral("2020-01-01 00000%1 100 Fermalux.log").arg(i)), 250000);
    setMaxLogSize(1000000);
    setLogDirectory(fTemp.path());
    logInfo(lmk_logInfo, QStringLiteral("first"));
    ASSERT_TRUE(checkWriteLogRecords(true));
    // Exactly at the limit counts as full: the oldest goes (1000000 -> 750000).
    const QStringList files = logFiles(fTemp.path());
    ASSERT_EQ(files.size(), 4);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("2020-01-01 000001 ")));

    // Growing past the limit triggers the clean-up again before the next write.
    for (int round = 0; round < 6; ++round) {
        logInfo(lmk_logInfo, QString(300000, QLatin1Char('y')));
        ASSERT_TRUE(checkWriteLogRecords(true));
        qint64 total = 0;
        for (const QFileInfo& f : QDir(fTemp.path()).entryInfoList({QStringLiteral("*.log")}, QDir::Files))
            total += f.size();
        EXPECT_LT(total, 1000000 + 2 * 300100) << "round " << round;
    }
    EXPECT_FALSE(isLoggingBroken());
}

TEST_F(LogWriter, UnwritableFolderSwitchesLoggingOffAndTellsOnce) {
    writeFile(path(QStringLiteral("plainfile")), "x");
    setLogDirectory(path(QStringLiteral("plainfile/logs"))); // no folder can exist below a file
    logInfo(lmk_logInfo, QStringLiteral("lost"));
    EXPECT_NO_THROW(checkWriteLogRecords(true));
    EXPECT_TRUE(isLoggingBroken());
    EXPECT_TRUE(isLoggingStopped());
    EXPECT_TRUE(fSink.fShown.empty()) << "the message waits for the next entry";

    logInfo(lmk_logInfo, QStringLiteral("next"));
    ASSERT_EQ(fSink.fShown.size(), 1u);
    EXPECT_TRUE(fSink.fShown[0].fText.startsWith(QStringLiteral("Interne fout bij het loggen ")));
    EXPECT_TRUE(fSink.fShown[0].fText.endsWith(QStringLiteral(", logging wordt uitgezet")));
    EXPECT_EQ(fSink.fShown[0].fCaption, QStringLiteral("Fermalux -- Error"));

    logInfo(lmk_logInfo, QStringLiteral("and another"));
    EXPECT_EQ(fSink.fShown.size(), 1u);
    EXPECT_TRUE(pendingLogText().isEmpty()) << "no entries are taken once logging is broken";
    EXPECT_FALSE(checkWriteLogRecords(true));
}

TEST_F(LogWriter, EightThreadsLoseAndInterleaveNothing) {
    constexpr int kThreads = 8;
    constexpr int kPerThread = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i)
                logInfo(lmk_logInfo, QStringLiteral("thread %1 entry %2 end").arg(t).arg(i));
        });
    for (std::thread& th : threads)
        th.join();

    const QStringList lines = pendingLogText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kThreads * kPerThread);
    static const QRegularExpression line(QStringLiteral(
        "^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} [0-9A-F]{8} I thread (\\d) entry (\\d+) end$"));
    std::vector<int> next(kThreads, 0);
    for (const QString& l : lines) {
        const QRegularExpressionMatch m = line.match(l);
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        const int t = m.captured(1).toInt();
        EXPECT_EQ(m.captured(2).toInt(), next[static_cast<size_t>(t)]++)
            << "entries of one thread keep their order";
    }
    for (int n : next)
        EXPECT_EQ(n, kPerThread);
}

TEST_F(LogWriter, ShutdownWritesEverythingAndFinalLine) {
    setLogDirectory(fTemp.path());
    startLogWriter();
    logInfo(lmk_logInfo, QStringLiteral("written by the thread"));
    EXPECT_TRUE(shutdownLogging());
    logInfo(lmk_logInfo, QStringLiteral("after the end"));

    const QString content = QString::fromUtf8(readFile(currentLogFileName()));
    EXPECT_TRUE(content.contains(QStringLiteral(" I written by the thread\r\n")));
    EXPECT_TRUE(content.endsWith(QStringLiteral(" I Final log line\r\n")));
    EXPECT_FALSE(content.contains(QStringLiteral("after the end")));
    EXPECT_TRUE(pendingLogText().isEmpty());
}

TEST_F(LogWriter, ShutdownWithoutThreadStillWrites) {
    setLogDirectory(fTemp.path());
    logInfo(lmk_logError, QStringLiteral("last words"));
    EXPECT_TRUE(shutdownLogging());
    const QString content = QString::fromUtf8(readFile(currentLogFileName()));
    EXPECT_TRUE(content.contains(QStringLiteral(" E last words\r\n")));
    EXPECT_TRUE(content.endsWith(QStringLiteral(" I Final log line\r\n")));
}
