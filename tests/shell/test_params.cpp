#include "errors.h"
#include "params.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fmx;

namespace {

// Sets the command line for one test and clears it afterwards.
class Params : public ::testing::Test {
protected:
    void TearDown() override {
        setCommandLineArguments({});
        qunsetenv("FMX_TEST_PARAM");
    }
    static QString errorText(const std::function<void()>& call) {
        try {
            call();
        } catch (const TBaseDataError& e) {
            EXPECT_EQ(e.kind(), tdek_OngeldigeParameter);
            return e.message();
        }
        return QString();
    }
};

} // namespace

TEST_F(Params, FindActParam) {
    setCommandLineArguments({QStringLiteral("plain"), QStringLiteral("usedir:/a:b"),
                             QStringLiteral("LANG:1043"), QStringLiteral("LANG:1031"),
                             QStringLiteral("EMPTY:"),
                             QStringLiteral("LONG:") + QString(1200, QLatin1Char('z'))});
    EXPECT_EQ(findActParam(QStringLiteral("USEDIR")), QStringLiteral("/a:b"))
        << "name without case, value after first colon";
    EXPECT_EQ(findActParam(QStringLiteral("lang")), QStringLiteral("1043")) << "the first occurrence counts";
    EXPECT_TRUE(findActParam(QStringLiteral("plain")).isEmpty()) << "no colon, no named parameter";
    EXPECT_TRUE(findActParam(QStringLiteral("EMPTY")).isEmpty());
    EXPECT_TRUE(findActParam(QStringLiteral("USE")).isEmpty());
    EXPECT_EQ(findActParam(QStringLiteral("LONG")).size(), 999);
}

TEST_F(Params, FoundDefaultedAndEnvironment) {
    setCommandLineArguments({QStringLiteral("APPLTITLE:Main"), QStringLiteral("MAXLOGSIZE: 1000000")});
    QString s;
    EXPECT_TRUE(checkStrParam(QStringLiteral("APPLTITLE"), QStringLiteral("d"), s, false, true));
    EXPECT_EQ(s, QStringLiteral("Main"));
    EXPECT_FALSE(checkStrParam(QStringLiteral("FMX_TEST_PARAM"), QStringLiteral("d"), s, true, true));
    EXPECT_EQ(s, QStringLiteral("d"));
    qputenv("FMX_TEST_PARAM", "from env");
    EXPECT_FALSE(checkStrParam(QStringLiteral("FMX_TEST_PARAM"), QStringLiteral("d"), s, false, true))
        << "the environment only counts when asked for";
    EXPECT_TRUE(checkStrParam(QStringLiteral("FMX_TEST_PARAM"), QStringLiteral("d"), s, true, true));
    EXPECT_EQ(s, QStringLiteral("from env"));

    int n = 0;
    EXPECT_TRUE(checkIntParam(QStringLiteral("MAXLOGSIZE"), 5, n, false, true));
    EXPECT_EQ(n, 1000000);
    EXPECT_FALSE(checkIntParam(QStringLiteral("LANG"), 7, n, false, true));
    EXPECT_EQ(n, 7);
}

TEST_F(Params, ErrorsHaveTheirMessagesAndLeaveVariable) {
    QTemporaryDir temp;
    setCommandLineArguments({QStringLiteral("LANG:nl"), QStringLiteral("USEDIR:/nonexistent/fmx"),
                             QStringLiteral("LOGDIR:") + temp.path()});
    registerShellExceptions();
    QString s = QStringLiteral("kept");
    int n = 11;
    EXPECT_EQ(errorText([&] { checkStrParam(QStringLiteral("APPLTITLE"), QString(), s, true, false); }),
              QStringLiteral("Geen omgevingsvariabele of parameter gevonden voor \"APPLTITLE\""));
    EXPECT_EQ(errorText([&] { checkIntParam(QStringLiteral("LANG"), 0, n, false, true); }),
              QStringLiteral("Omgevingsvariabele of parameter \"LANG\" heeft ongeldige waarde \"nl\""));
    EXPECT_EQ(errorText([&] { checkDirParam(QStringLiteral("USEDIR"), QString(), s, false, true, true); }),
              QStringLiteral("Parameter \"USEDIR\": directory \"/nonexistent/fmx\" bestaat niet."));
    EXPECT_EQ(s, QStringLiteral("kept"));
    EXPECT_EQ(n, 11);
    EXPECT_TRUE(checkDirParam(QStringLiteral("USEDIR"), QString(), s, false, false, true))
        << "without must-exist any directory is taken";
    EXPECT_TRUE(checkDirParam(QStringLiteral("LOGDIR"), QString(), s, false, true, true));
    EXPECT_EQ(s, temp.path());
}

TEST(Utils, TruncString) {
    EXPECT_EQ(truncString(QStringLiteral("abcdefghijkl"), 10), QStringLiteral("abcde[...]"));
    EXPECT_EQ(truncString(QStringLiteral("abcdefghij"), 10), QStringLiteral("abcdefghij"));
    EXPECT_EQ(truncString(QString(), 3), QString());
}

TEST(Utils, ScaleControlPart) {
    struct Case {
        int ppi, n, expected;
    };
    const Case cases[] = {{96, 100, 100}, {120, 100, 113}, {144, 100, 135}, {72, 100, 68}, {192, 21, 38}};
    for (const Case& c : cases) {
        setScreenPixelsPerInch(c.ppi);
        EXPECT_EQ(scaleControlPart(c.n), c.expected) << c.ppi << " ppi";
    }
    setScreenPixelsPerInch(96);
}

TEST(Utils, VirtualNowAdvancesByFiveThousandthsOfADay) {
    const QDateTime start = parseVirtualDate(QStringLiteral("2011-10-27"));
    ASSERT_TRUE(start.isValid());
    setVirtualNow(start);
    EXPECT_EQ(GetNow(), start);
    EXPECT_EQ(GetNow(), start.addSecs(432));
    EXPECT_EQ(GetNow(), start.addSecs(864));
    clearVirtualNow();
    EXPECT_LT(qAbs(GetNow().secsTo(QDateTime::currentDateTime())), 60);

    EXPECT_EQ(parseVirtualDate(QStringLiteral("27-10-2011")), start);
    EXPECT_EQ(parseVirtualDate(QStringLiteral("2011-10-27 14:03:05")), start.addSecs(14 * 3600 + 3 * 60 + 5));
    EXPECT_FALSE(parseVirtualDate(QStringLiteral("yesterday")).isValid());
    EXPECT_FALSE(parseVirtualDate(QStringLiteral("2011-13-01")).isValid());
}

TEST(Utils, WriteRightsTest) {
    QTemporaryDir temp;
    QString error;
    EXPECT_TRUE(testSchrijfRechtenInDir(temp.filePath(QStringLiteral("probe.txt")), error));
    EXPECT_FALSE(QFile::exists(temp.filePath(QStringLiteral("probe.txt"))));
    EXPECT_FALSE(testSchrijfRechtenInDir(temp.filePath(QStringLiteral("missing/probe.txt")), error));
    EXPECT_FALSE(error.isEmpty());

    // An existing file of that name is never emptied or deleted by the probe.
    const QString existing = temp.filePath(QStringLiteral("data.txt"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    EXPECT_FALSE(testSchrijfRechtenInDir(existing, error));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("precious"));
}
