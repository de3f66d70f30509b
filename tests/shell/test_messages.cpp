#include "errors.h"
#include "exception_log.h"
#include "shell_fixture.h"

#include <QStringList>

#include <stdexcept>

using namespace fmx;

namespace {

using Messages = ShellTest;
using AssertHandler = ShellTest;
using ExceptionLog = ShellTest;

// Records the modal count seen while a box is open; throws when asked to.
struct CountingSink : TMessageSink {
    int show(const TMessageRequest&) override {
        seen = openModalCount();
        if (fail) throw std::runtime_error("sink failed");
        return idOK;
    }
    int seen = -1;
    bool fail = false;
};

} // namespace

TEST_F(Messages, CaptionsFlagsAndLogLines) {
    struct Case {
        void (*call)();
        const char* caption;
        unsigned flags;
        const char* logged; // expected log text, or nullptr
    };
    const Case cases[] = {
        {[] { MsgError(QStringLiteral("t")); }, "Fermalux -- Error", 0x12010, " E MsgError: t\r\n"},
        {[] { MsgInfo(QStringLiteral("t")); }, "Fermalux -- Info", 0x12040, nullptr},
        {[] { MsgWarning(QStringLiteral("t")); }, "Fermalux -- Warning", MB_YESNO | MB_ICONWARNING,
         " I MsgWarning: t\r\n"},
        {[] { MyMessageBox(QStringLiteral("t"), QString(), MB_OK); }, "Fermalux", MB_OK, nullptr},
        {[] { MyErrorMessageBox(QStringLiteral("t"), QStringLiteral("Fout")); }, "Fermalux -- Fout", 0x12010,
         nullptr},
    };
    for (const Case& c : cases) {
        fSink.fShown.clear();
        resetLogging();
        c.call();
        ASSERT_EQ(fSink.fShown.size(), 1u) << c.caption;
        EXPECT_EQ(fSink.fShown[0].fText, QStringLiteral("t"));
        EXPECT_EQ(fSink.fShown[0].fCaption, QString::fromUtf8(c.caption));
        EXPECT_EQ(fSink.fShown[0].fFlags, c.flags) << c.caption;
        if (c.logged) {
            EXPECT_TRUE(pendingLogText().endsWith(QString::fromUtf8(c.logged))) << c.caption;
        }
    }
}

TEST_F(Messages, WarningIsTrueOnlyForYes) {
    fSink.queueAnswer(idYes);
    EXPECT_TRUE(MsgWarning(QStringLiteral("Delete?")));
    fSink.queueAnswer(idNo);
    EXPECT_FALSE(MsgWarning(QStringLiteral("Delete?")));
    EXPECT_FALSE(MsgWarning(QStringLiteral("Delete?"))) << "closing the box counts as No";
    TStderrMessageSink stderrSink;
    setMessageSink(&stderrSink);
    EXPECT_FALSE(MsgWarning(QStringLiteral("Delete?"))) << "the command line never answers Yes";
    setMessageSink(&fSink);
}

TEST_F(Messages, YesNoBoxCaptionFollowsIcon) {
    struct Case {
        unsigned icon;
        const char* caption;
    };
    const Case cases[] = {{MB_ICONERROR, "Fermalux -- Error"},
                          {MB_ICONWARNING, "Fermalux -- Warning"},
                          {MB_ICONINFORMATION, "Fermalux -- Information"}};
    for (const Case& c : cases) {
        fSink.fShown.clear();
        fSink.queueAnswer(idCancel);
        EXPECT_EQ(ShowYesNoMessageBoxEx(QStringLiteral("q"), QString(), c.icon, true), idCancel);
        ASSERT_EQ(fSink.fShown.size(), 1u);
        EXPECT_EQ(fSink.fShown[0].fCaption, QString::fromUtf8(c.caption));
        EXPECT_EQ(fSink.fShown[0].fFlags, c.icon | MB_YESNOCANCEL);
    }
    fSink.queueAnswer(idYes);
    EXPECT_TRUE(ShowYesNoMessageBox(QStringLiteral("q"), QStringLiteral("Own"), MB_ICONWARNING));
    EXPECT_EQ(fSink.fShown.back().fCaption, QStringLiteral("Fermalux -- Own"));
    EXPECT_EQ(fSink.fShown.back().fFlags, MB_ICONWARNING | MB_YESNO);
}

TEST_F(Messages, ExceptionTextAndFatalStop) {
    const std::runtime_error error("disk full");
    MsgException(QStringLiteral("Saving failed"), &error, false);
    ASSERT_EQ(fSink.fShown.size(), 1u);
    EXPECT_EQ(fSink.fShown[0].fText, QStringLiteral("Saving failed (disk full)\r\n"));
    EXPECT_TRUE(fSink.fShown[0].fStandardErrorDialog);
    EXPECT_TRUE(pendingLogText().endsWith(QStringLiteral(" E MsgException: Saving failed (disk full)\r\n")));

    try {
        MsgException(QStringLiteral("Broken"), nullptr, true);
        FAIL() << "a fatal exception report stops the program";
    } catch (const THaltRequest& halt) {
        EXPECT_EQ(halt.fExitCode, 227);
    }
    EXPECT_EQ(fSink.fShown.back().fText,
              QStringLiteral("\r\nBrokenNa drukken op OK wordt het programma gestopt"));

    setApplShutDown(true);
    MsgException(QStringLiteral("Late"), nullptr, false);
    EXPECT_EQ(fSink.fShown.back().fCaption, QStringLiteral("Fermalux -- Fout"));
    EXPECT_TRUE(fSink.fShown.back().fOwnerless);
    EXPECT_FALSE(fSink.fShown.back().fStandardErrorDialog);
}

TEST_F(Messages, ModalCountCoversOpenBoxOnly) {
    CountingSink sink;
    setMessageSink(&sink);
    MsgInfo(QStringLiteral("x"));
    EXPECT_EQ(sink.seen, 1);
    EXPECT_EQ(openModalCount(), 0);
    sink.fail = true;
    EXPECT_THROW(MsgInfo(QStringLiteral("x")), std::runtime_error);
    EXPECT_EQ(openModalCount(), 0) << "a failing box does not leave the count raised";
    setMessageSink(&fSink);
}

TEST_F(AssertHandler, LogsShowsAndStopsOnOk) {
    fSink.queueAnswer(idOK);
    fSink.queueAnswer(idOK);
    try {
        actualAssertErrorHandler("src/datamodel/dataobj.cpp", 42, QStringLiteral("kaput"));
        FAIL() << "OK stops the program";
    } catch (const THaltRequest& halt) {
        EXPECT_EQ(halt.fExitCode, 227);
    }
    const QString log = pendingLogText();
    for (const char* line :
         {" E Assert:\r\n", " E   Bestand: src/datamodel/dataobj.cpp\r\n", " E   Regel  : 42\r\n",
          " E   Melding: \"kaput\"\r\n", " I --[ ASSERTION ]-----------------------------------------\r\n"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(log.contains(QStringLiteral("call stack de procedureaanroep waarin de assert optreed!\r\n")));

    ASSERT_EQ(fSink.fShown.size(), 2u);
    EXPECT_EQ(fSink.fShown[0].fCaption, QStringLiteral("Fermalux -- -- INTERNE FOUT --"));
    EXPECT_EQ(fSink.fShown[0].fFlags, MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
    EXPECT_EQ(fSink.fShown[0].fText,
              QStringLiteral(
                  "Sorry, maar er is een interne fout geconstateerd (\"kaput\") en het programma wordt "
                  "afgesloten. U wordt vriendelijke verzocht zo spoedig mogelijk contact op te nemen met "
                  "de support afdeling. Geeft u aub daarbij het volgende door: \r\n\r\nBedankt voor uw "
                  "medewerking"));
    EXPECT_EQ(fSink.fShown[1].fFlags, MB_OKCANCEL | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
    EXPECT_EQ(fSink.fShown[1].fText,
              QStringLiteral("U wordt aanbevolen om deze software af te sluiten en GEEN "
                             "gewijzigde gegevens op te slaan. Wilt u dit doen?"));
}

TEST_F(AssertHandler, CancelGoesOn) {
    setLogDirectory(fTemp.path());
    logInfo(lmk_logInfo, QStringLiteral("start"));
    checkWriteLogRecords(true);
    fSink.queueAnswer(idOK);
    fSink.queueAnswer(idCancel);
    EXPECT_NO_THROW(actualAssertErrorHandler("a.cpp", 1, QStringLiteral("m")));
    EXPECT_TRUE(fSink.fShown[0].fText.contains(QStringLiteral("door: \r\n") + currentLogFileName() +
                                               QStringLiteral("\r\nBedankt")))
        << "the box names the log file";
    EXPECT_FALSE(pendingLogText().contains(QStringLiteral("[ ASSERTION ]")));
}

TEST_F(ExceptionLog, LoggedOnceWithClassMessageAndStack) {
    try {
        try {
            throw std::runtime_error("boom");
        } catch (const std::exception& e) {
            logException(e);
            throw;
        }
    } catch (const std::exception& e) {
        logException(e); // the same exception seen by an outer handler
    }
    const QString log = pendingLogText();
    EXPECT_EQ(log.count(QStringLiteral("--[ EXCEPTION ]")), 1);
    const QStringList lines = log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(
        lines[0].endsWith(QStringLiteral(" I --[ EXCEPTION ]-----------------------------------------")));
    EXPECT_EQ(lines[1].trimmed(), QStringLiteral("std::runtime_error: boom"));
    EXPECT_NE(lines[2].trimmed(), QStringLiteral("Stack dump niet beschikbaar!"));

    try {
        throw std::runtime_error("second");
    } catch (const std::exception& e) {
        logException(e);
    }
    EXPECT_EQ(pendingLogText().count(QStringLiteral("--[ EXCEPTION ]")), 2)
        << "a new exception is logged again";
}

TEST_F(ExceptionLog, NoRightsAndAbortAreNotLogged) {
    registerShellExceptions();
    try {
        throw TBaseDataError(tdek_NoRights, QStringLiteral("read-only"));
    } catch (const std::exception& e) {
        logException(e);
    }
    try {
        throw TAbort();
    } catch (...) {
        logCurrentException();
    }
    EXPECT_FALSE(pendingLogText().contains(QStringLiteral("EXCEPTION")));

    try {
        throw TBaseDataError(tdek_DataDirFailure, QStringLiteral("gone"));
    } catch (...) {
        logCurrentException();
    }
    EXPECT_TRUE(pendingLogText().contains(QStringLiteral("fmx::TBaseDataError: Data directory: gone\r\n")));
}

TEST_F(ExceptionLog, ForeignTypesAreLogged) {
    try {
        throw 42;
    } catch (...) {
        logCurrentException();
        logCurrentException();
    }
    EXPECT_EQ(pendingLogText().count(QStringLiteral("int: (no message)\r\n")), 1);
}

TEST(CallStack, EmptyStackSaysSo) {
    EXPECT_EQ(TCallStack().toText(), QStringLiteral("Stack dump niet beschikbaar!"));
    EXPECT_GT(TCallStack::capture().fCount, 0);
}

TEST(CursorStack, RestoresInReverseOrder) {
    struct Cursor : TCursorSink {
        int currentCursor() override { return shape; }
        void setCursor(int c) override { shape = c; }
        int shape = 0;
    } cursor;
    setCursorSink(&cursor);
    pushCursor(3); // wait
    pushCursor(4); // busy
    EXPECT_EQ(cursor.shape, 4);
    popCursor();
    EXPECT_EQ(cursor.shape, 3);
    popCursor();
    EXPECT_EQ(cursor.shape, 0);
    popCursor(); // empty: nothing happens
    EXPECT_EQ(cursor.shape, 0);
    EXPECT_EQ(cursorStackDepth(), 0);
    setCursorSink(nullptr);
}

TEST_F(ExceptionLog, MsgExceptionLogsWhatItShowsOnce) {
    try {
        throw std::runtime_error("full");
    } catch (const std::exception& e) {
        logException(e); // an inner handler saw it first
        MsgException(QStringLiteral("Saving failed"), &e, false);
    }
    EXPECT_EQ(pendingLogText().count(QStringLiteral("--[ EXCEPTION ]")), 1);
    EXPECT_TRUE(pendingLogText().contains(QStringLiteral("std::runtime_error: full\r\n")));
}

TEST_F(ExceptionLog, UncaughtExceptionIsLoggedAndWrittenBeforeTheEnd) {
    const QString dir = fTemp.path();
    EXPECT_DEATH(
        {
            installTerminateHandler();
            setLogDirectory(dir);
            try {
                throw std::runtime_error("nobody caught me");
            } catch (...) {
                std::terminate();
            }
        },
        "");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.log")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QString content = QString::fromUtf8(readFile(dir + QLatin1Char('/') + files[0]));
    EXPECT_TRUE(content.contains(QStringLiteral("--[ EXCEPTION ]")));
    EXPECT_TRUE(content.contains(QStringLiteral("std::runtime_error: nobody caught me\r\n")));
}
