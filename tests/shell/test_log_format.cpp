#include "log.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

using namespace fmx;

namespace {
// The entries added since `before` (the pending text only grows while nothing writes it).
QString addedSince(const QString& before) { return pendingLogText().mid(before.size()); }
} // namespace

TEST(LogFormat, SingleLineHasPrefixKindLetterAndCrLf) {
    const QString before = pendingLogText();
    logInfo(lmk_logInfo, QStringLiteral("Using threaded logging."));
    const QString added = addedSince(before);
    static const QRegularExpression line(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} [0-9A-F]{8} I Using threaded logging\\.\\r\\n$"));
    EXPECT_TRUE(line.match(added).hasMatch()) << added.toStdString();
}

TEST(LogFormat, MultiLineIsIndentedByPrefixWidth) {
    const QString before = pendingLogText();
    logInfo(lmk_logError, QStringLiteral("one\r\ntwo\r\nthree"));
    const QStringList lines = addedSince(before).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4); // three lines and the empty rest after the last CR LF
    const qsizetype prefixWidth = lines[0].indexOf(QStringLiteral("one"));
    EXPECT_EQ(lines[0].mid(prefixWidth - 2, 2), QStringLiteral("E "));
    EXPECT_EQ(lines[1], QString(prefixWidth, QLatin1Char(' ')) + QStringLiteral("two"));
    EXPECT_EQ(lines[2], QString(prefixWidth, QLatin1Char(' ')) + QStringLiteral("three"));
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(LogFormat, ExtDebugHasNoLetter) {
    const QString before = pendingLogText();
    logInfo(lmk_logExtDebug, QStringLiteral("x"));
    EXPECT_TRUE(addedSince(before).endsWith(QStringLiteral("  x\r\n")));
}
