#include "errors.h"
#include "fmx_assert.h"
#include "formats.h"
#include "language.h"
#include "params.h"
#include "registry.h"
#include "shell_fixture.h"
#include "startup.h"
#include "utils.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

using namespace fmx;

namespace {

enum TemplateDir { kHtml = 1, kSubsidy = 2, kProjects = 4, kAll = 7 };

// A program folder, user folders and a settings scope inside the temporary folder.
class StartUp : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        fSavedLang = qgetenv("LANG");
        qunsetenv("LANG");
        for (const char* dir : {"program", "userdata", "docs", "tmp", "settings"})
            ASSERT_TRUE(QDir(fTemp.path()).mkpath(QString::fromUtf8(dir)));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           path(QStringLiteral("settings/user")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                           path(QStringLiteral("settings/system")));
        clearRegisteredModules();
    }
    void TearDown() override {
        resetStartUp();
        setRegPakketNaam(QString());
        qputenv("LANG", fSavedLang);
        ShellTest::TearDown();
    }

    TStartUpOptions options(const QStringList& arguments = {}) const {
        TStartUpOptions o;
        o.fArguments = arguments;
        o.fProgramDir = path(QStringLiteral("program"));
        o.fDirBases = TDirBases{path(QStringLiteral("userdata")), path(QStringLiteral("docs")),
                                path(QStringLiteral("tmp"))};
        o.fLibraryModules = {{QStringLiteral("Datamodel"), datamodelModuleInfo()}};
        o.fStartLogWriter = false;
        return o;
    }
    void makeTemplates(int which, const QString& root = QStringLiteral("program")) const {
        const QDir dir(path(root));
        if (which & kHtml) {
            ASSERT_TRUE(dir.mkpath(QStringLiteral("Templates/HTML Report")));
        }
        if (which & kSubsidy) {
            ASSERT_TRUE(dir.mkpath(QStringLiteral("Templates/Subsidy")));
        }
        if (which & kProjects) {
            ASSERT_TRUE(dir.mkpath(QStringLiteral("Templates/Projects")));
        }
    }
    // The exit code of the stop, or -1 when start-up went through.
    static int run(const TStartUpOptions& o) {
        try {
            initAppl(o);
        } catch (const THaltRequest& halt) {
            return halt.fExitCode;
        }
        return -1;
    }
    QString lastMessage() const { return fSink.fShown.empty() ? QString() : fSink.fShown.back().fText; }
    void newRun() {
        resetStartUp();
        resetLogging();
        fSink.fShown.clear();
    }

    QByteArray fSavedLang;
};

const QString kHtmlMissing = QStringLiteral("The HTML report template directory does not exist. The "
                                            "application can not continue and will shut down now.");
const QString kSubsidyMissing = QStringLiteral(
    "The subsidy files directory does not exist. The application can not continue and will shut down now.");
const QString kProjectsMissing = QStringLiteral("The project templates directory does not exist. The "
                                                "application can not continue and will shut down now.");

} // namespace

TEST_F(StartUp, SetsGlobalsDirectoriesAndLogLines) {
    makeTemplates(kAll);
    ASSERT_EQ(run(options({QStringLiteral("APPLTITLE:Main"), QStringLiteral("extra")})), -1)
        << lastMessage().toStdString();
    EXPECT_TRUE(fSink.fShown.empty());

    const TBGXApplGlobals* g = gApplGlobals();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->gApplID, 201);
    EXPECT_EQ(g->gClientVersion, 1400);
    EXPECT_EQ(g->gClientVersionStr, QStringLiteral("1.4"));
    EXPECT_EQ(g->gDMVersionCurr, 1);
    EXPECT_EQ(g->gPakketNaam, QStringLiteral("Fermalux"));
    EXPECT_EQ(g->gRegRootPakket, QStringLiteral("\\Software\\Morvane Software\\"));
    EXPECT_EQ(g->gReleaseDate, QStringLiteral("27 october 2011"));
    EXPECT_EQ(g->gBaseHelpName, QStringLiteral("FMXC_help_v2"));
    EXPECT_EQ(g->fHTMLTemplateDir, path(QStringLiteral("program/Templates/HTML Report")));
    EXPECT_EQ(g->fSubsidyTemplateDir, path(QStringLiteral("program/Templates/Subsidy")));
    EXPECT_EQ(g->fProjectTemplateDir, path(QStringLiteral("program/Templates/Projects")));

    const TApplDirs& d = gDirs();
    EXPECT_EQ(d.fProgramDir, path(QStringLiteral("program/")));
    EXPECT_EQ(d.fDataDir, path(QStringLiteral("userdata/Morvane Software/Fermalux")));
    EXPECT_EQ(d.fLogDir, d.fDataDir + QStringLiteral("/logs"));
    EXPECT_EQ(d.fSharedDir, path(QStringLiteral("userdata/Morvane Software/Fermalux Shared")));
    EXPECT_EQ(d.fDatabasesDir, d.fDataDir + QStringLiteral("/databases"));
    EXPECT_EQ(d.fPersonalDir, path(QStringLiteral("docs")));
    EXPECT_EQ(d.fTempDir, path(QStringLiteral("tmp")));
    for (const QString& dir : {d.fDataDir, d.fLogDir, d.fSharedDir})
        EXPECT_TRUE(QDir(dir).exists()) << dir.toStdString();
    EXPECT_EQ(currentLanguage(), 2057);
    EXPECT_EQ(maxLogSize(), kDefaultMaxLogSize);
    EXPECT_EQ(assertHandler(), &actualAssertErrorHandler);

    // The lines of the core start-up, in this order.
    const QStringList lines = pendingLogText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QStringList texts;
    for (const QString& line : lines)
        texts << line.mid(line.indexOf(QStringLiteral(" I ")) + 3);
    const TMachineIdentity id = readMachineIdentity();
    const QStringList expected = {
        QStringLiteral("Program param \"APPLTITLE:Main\""),
        QStringLiteral("Program param \"extra\""),
        QStringLiteral("Geregistreerde modules:"),
        QStringLiteral("  Components LIB: Version 4000 rev 162 date \"2011/10/27 17:35:20\""),
        QStringLiteral("  Datamodel LIB: Version 6000 rev 264 date \"2011/10/27 20:06:54\""),
        QStringLiteral("PC: \"%1\" user:\"%2\"").arg(id.fComputerName, id.fUserName),
        QStringLiteral("Temp dir: \"%1\"").arg(path(QStringLiteral("tmp"))),
        QStringLiteral("Using threaded logging"),
    };
    EXPECT_EQ(texts, expected);

    finalizeCoreFunctions();
    EXPECT_EQ(assertHandler(), &throwingAssertHandler) << "the previous handler is back";
    EXPECT_TRUE(currentLogFileName().startsWith(d.fLogDir + QLatin1Char('/')));
    EXPECT_TRUE(
        QString::fromUtf8(readFile(currentLogFileName())).contains(QStringLiteral("Using threaded logging")));
}

TEST_F(StartUp, WriterThreadWritesTheRunLog) {
    makeTemplates(kAll);
    TStartUpOptions o = options();
    o.fStartLogWriter = true;
    ASSERT_EQ(run(o), -1);
    logInfo(lmk_logInfo, QStringLiteral("working"));
    finalizeCoreFunctions();
    const QString content = QString::fromUtf8(readFile(currentLogFileName()));
    EXPECT_TRUE(content.contains(QStringLiteral(" I Using threaded logging\r\n")));
    EXPECT_TRUE(content.contains(QStringLiteral(" I working\r\n")));
    EXPECT_TRUE(content.endsWith(QStringLiteral(" I Final log line\r\n")));
}

TEST_F(StartUp, TemplateDirectoriesAreCheckedInOrder) {
    struct Case {
        int present;
        const QString* message;
    };
    const Case cases[] = {{kSubsidy | kProjects, &kHtmlMissing},
                          {kHtml | kProjects, &kSubsidyMissing},
                          {kHtml | kSubsidy, &kProjectsMissing},
                          {kHtml, &kSubsidyMissing},
                          {0, &kHtmlMissing}};
    for (const Case& c : cases) {
        newRun();
        QDir(path(QStringLiteral("program/Templates"))).removeRecursively();
        makeTemplates(c.present);
        EXPECT_EQ(run(options()), 1) << c.present;
        ASSERT_EQ(fSink.fShown.size(), 1u) << c.present;
        EXPECT_EQ(lastMessage(), *c.message);
        EXPECT_EQ(fSink.fShown[0].fCaption, QStringLiteral("Fermalux -- Error"));
    }
}

TEST_F(StartUp, BuildTreeFindsTemplatesOneLevelUp) {
    makeTemplates(kAll, QString());
    EXPECT_EQ(run(options()), 1) << "outside the build tree the program directory alone counts";
    newRun();
    TStartUpOptions o = options();
    o.fDevelopmentTree = true;
    ASSERT_EQ(run(o), -1) << lastMessage().toStdString();
    EXPECT_TRUE(QDir(gApplGlobals()->fProjectTemplateDir).exists());
}

TEST_F(StartUp, DirectoryOverrides) {
    makeTemplates(kAll);
    ASSERT_TRUE(QDir(fTemp.path()).mkdir(QStringLiteral("own")));
    ASSERT_EQ(run(options({QStringLiteral("USEDIR:") + path(QStringLiteral("own")),
                           QStringLiteral("USESHAREDDIR:") + path(QStringLiteral("shared"))})),
              -1)
        << lastMessage().toStdString();
    EXPECT_EQ(gDirs().fDataDir, path(QStringLiteral("own")));
    EXPECT_EQ(gDirs().fLogDir, path(QStringLiteral("own/logs")));
    EXPECT_TRUE(QDir(gDirs().fLogDir).exists());
    EXPECT_FALSE(QDir(path(QStringLiteral("userdata/Morvane Software/Fermalux"))).exists());
    EXPECT_EQ(gDirs().fSharedDir, path(QStringLiteral("shared")));
    EXPECT_FALSE(QDir(gDirs().fSharedDir).exists()) << "a given directory is used as given";

    newRun();
    ASSERT_EQ(run(options({QStringLiteral("LOGDIR:") + path(QStringLiteral("mylogs"))})), -1);
    EXPECT_EQ(gDirs().fLogDir, path(QStringLiteral("mylogs")));
    EXPECT_TRUE(QDir(gDirs().fLogDir).exists());
}

TEST_F(StartUp, DirectoryFailuresStopWithTheirMessage) {
    makeTemplates(kAll);
    struct Case {
        QStringList arguments;
        QString removeFirst;
        QString message;
    };
    const Case cases[] = {
        {{QStringLiteral("USEDIR:") + path(QStringLiteral("nowhere"))},
         QString(),
         QStringLiteral("Standaard data log directory %1 bestaat niet en kon ook niet worden gemaakt.")
             .arg(path(QStringLiteral("nowhere/logs")))},
        {{}, QStringLiteral("docs"), QStringLiteral("Bepalen personal data directory is mislukt")},
        {{},
         QStringLiteral("userdata"),
         QStringLiteral("Standaard data directory \"%1\" bestaat niet")
             .arg(path(QStringLiteral("userdata")))},
    };
    for (const Case& c : cases) {
        newRun();
        if (!c.removeFirst.isEmpty()) {
            ASSERT_TRUE(QDir(path(c.removeFirst)).removeRecursively());
        }
        EXPECT_EQ(run(options(c.arguments)), 1) << c.message.toStdString();
        EXPECT_TRUE(lastMessage().endsWith(c.message)) << lastMessage().toStdString();
        QDir(fTemp.path()).mkpath(c.removeFirst.isEmpty() ? QStringLiteral(".") : c.removeFirst);
    }

    // A data directory that cannot be made (a file stands in its way).
    newRun();
    writeFile(path(QStringLiteral("userdata/Morvane Software")), "in the way");
    EXPECT_EQ(run(options()), 1);
    EXPECT_TRUE(
        lastMessage().endsWith(QStringLiteral("Standaard data directory %1 bestaat niet en kon ook niet "
                                              "worden gemaakt.")
                                   .arg(path(QStringLiteral("userdata/Morvane Software")))))
        << lastMessage().toStdString();
}

TEST_F(StartUp, BadParametersStopWithTheirMessage) {
    makeTemplates(kAll);
    const QString cases[][2] = {
        {QStringLiteral("MAXLOGSIZE:abc"), QStringLiteral("\"MAXLOGSIZE\" heeft ongeldige waarde \"abc\"")},
        {QStringLiteral("MAXLOGSIZE:0"), QStringLiteral("\"MAXLOGSIZE\" heeft ongeldige waarde \"0\"")},
        {QStringLiteral("MAXLOGSIZE:-5"), QStringLiteral("\"MAXLOGSIZE\" heeft ongeldige waarde \"-5\"")},
        {QStringLiteral("USEVIRTUALDATE:soon"),
         QStringLiteral("\"USEVIRTUALDATE\" heeft ongeldige waarde \"soon\"")},
        {QStringLiteral("LANG:nl"), QStringLiteral("\"LANG\" heeft ongeldige waarde \"nl\"")},
    };
    for (const auto& c : cases) {
        newRun();
        EXPECT_EQ(run(options({c[0]})), 1) << c[0].toStdString();
        EXPECT_TRUE(lastMessage().endsWith(c[1])) << lastMessage().toStdString();
        EXPECT_EQ(maxLogSize(), kDefaultMaxLogSize) << "a rejected limit is not used";
    }

    newRun();
    ASSERT_EQ(
        run(options({QStringLiteral("MAXLOGSIZE:1000000"), QStringLiteral("USEVIRTUALDATE:2011-10-27")})),
        -1);
    EXPECT_EQ(maxLogSize(), 1000000);
    EXPECT_EQ(GetNow(), QDate(2011, 10, 27).startOfDay());
}

TEST_F(StartUp, SingleInstanceExitsWithZero) {
    makeTemplates(kAll);
    QString asked;
    TStartUpOptions o = options({QStringLiteral("APPLTITLE:Farm A")});
    o.fRaiseInstance = [&asked](const QString& title) {
        asked = title;
        return true;
    };
    EXPECT_EQ(run(o), 0);
    EXPECT_EQ(asked, QStringLiteral("Farm A"));
}

TEST_F(StartUp, VersionMismatchStopsBeforeAnythingElse) {
    makeTemplates(kAll);
    TStartUpOptions o = options();
    o.fLibraryModules.clear();
    EXPECT_EQ(run(o), 227);
    EXPECT_EQ(lastMessage(), QStringLiteral("Ontbrekende lib info voor module \"Datamodel"));
    EXPECT_EQ(gDirs().fDataDir, QString()) << "no directory was set up";
}

TEST_F(StartUp, LanguageChoiceOrder) {
    setRegPakketNaam(QStringLiteral("Fermalux"));
    struct Case {
        const char* commandLine;
        const char* environment;
        const char* stored;
        int expected;
    };
    const Case cases[] = {
        {"LANG:1043", "1031", "1036", 1043},
        {"", "1031", "1036", 1031},
        {"", "en_US.UTF-8", "1036", 1036},
        {"", "", "1036", 1036},
        {"", "", "0", 2057},
        {"", "", nullptr, 2057},
        {"LANG:0", "1031", "1036", 2057},
    };
    for (const Case& c : cases) {
        setCommandLineArguments(*c.commandLine ? QStringList{QString::fromUtf8(c.commandLine)}
                                               : QStringList{});
        if (*c.environment)
            qputenv("LANG", c.environment);
        else
            qunsetenv("LANG");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane Software"),
                  QStringLiteral("Fermalux"))
            .clear();
        if (c.stored) {
            ASSERT_TRUE(RegSetString(true, QStringLiteral("LANG"), QString::fromUtf8(c.stored)));
        }
        EXPECT_EQ(chooseLanguage(), c.expected)
            << c.commandLine << "|" << c.environment << "|" << (c.stored ? c.stored : "-");
    }
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane Software"),
              QStringLiteral("Fermalux"))
        .clear();
    setCommandLineArguments({});
    qunsetenv("LANG");
    EXPECT_EQ(chooseLanguage(), 2057);
    QString value;
    EXPECT_FALSE(RegGetString(true, QStringLiteral("LANG"), QString(), value, false))
        << "the choice stores nothing";
    setCommandLineArguments({});
}

TEST_F(StartUp, StartTemplateChoice) {
    const QString dir = path(QStringLiteral("projects"));
    ASSERT_TRUE(QDir().mkpath(dir));
    for (const char* name : {"UK project template", "NL project template", "Default project template"})
        writeFile(dir + QLatin1Char('/') + QString::fromUtf8(name) + QStringLiteral(".base.xml"), "<x/>");
    struct Case {
        int language;
        const char* name;
    };
    const Case cases[] = {{2057, "UK project template"},      {5129, "UK project template"},
                          {1043, "NL project template"},      {2067, "NL project template"},
                          {1031, "Default project template"},  // no DE file
                          {1049, "Default project template"}}; // no country
    for (const Case& c : cases) {
        const TStartTemplate t = chooseStartTemplate(dir, c.language);
        EXPECT_EQ(t.fName, QString::fromUtf8(c.name)) << c.language;
        EXPECT_EQ(t.fFile, dir + QLatin1Char('/') + QString::fromUtf8(c.name) + QStringLiteral(".base.xml"));
    }
    EXPECT_TRUE(pendingLogText().contains(QStringLiteral(" W No project template for language 1049")));
    EXPECT_TRUE(fSink.fShown.empty());

    QFile::remove(dir + QStringLiteral("/Default project template.base.xml"));
    EXPECT_EQ(chooseStartTemplate(dir, 1043).fName, QStringLiteral("NL project template"));
    try {
        chooseStartTemplate(dir, 1036);
        FAIL() << "no template at all stops the program";
    } catch (const THaltRequest& halt) {
        EXPECT_EQ(halt.fExitCode, 1);
    }
    EXPECT_EQ(lastMessage(),
              QStringLiteral("No project template could be found for the selected language or the "
                             "default. The application can not continue and will shut down now."));
}

TEST(CountryCodes, TableOfLanguages) {
    const std::pair<const char*, std::vector<int>> table[] = {
        {"DE", {1031, 2055, 3079, 4103, 5127}},
        {"US", {1033}},
        {"FR", {1036, 2060, 3084, 4108, 5132, 6156}},
        {"IT", {1040, 2064}},
        {"NL", {1043, 2067}},
        {"PL", {1045}},
        {"ET", {1061}},
        {"UK", {2057, 3081, 4105, 5129}},
        {"", {0, 1049, 1053, -1}},
    };
    for (const auto& [code, languages] : table)
        for (int language : languages)
            EXPECT_EQ(countryCodeForLanguage(language), QString::fromUtf8(code)) << language;
}

TEST_F(StartUp, RegistryStore) {
    EXPECT_THROW(RegSetString(true, QStringLiteral("LANG"), QStringLiteral("1")), TAssertionFailure)
        << "the store needs the product name";
    setRegPakketNaam(QStringLiteral("Fermalux"));
    QString value;
    EXPECT_FALSE(RegGetString(true, QStringLiteral("Name"), QStringLiteral("dflt"), value, false));
    EXPECT_EQ(value, QStringLiteral("dflt"));
    EXPECT_FALSE(RegGetString(true, QStringLiteral("Name"), QStringLiteral("x"), value, false))
        << "not created";
    EXPECT_FALSE(RegGetString(true, QStringLiteral("Name"), QStringLiteral("made"), value, true));
    EXPECT_TRUE(RegGetString(true, QStringLiteral("Name"), QStringLiteral("other"), value, false));
    EXPECT_EQ(value, QStringLiteral("made"));

    EXPECT_TRUE(RegSetInteger(true, QStringLiteral("LANG"), 1043));
    EXPECT_EQ(RegGetInteger(true, QStringLiteral("LANG"), 0, false), 1043);
    EXPECT_TRUE(RegSetString(true, QStringLiteral("LANG"), QStringLiteral("Dutch")));
    EXPECT_EQ(RegGetInteger(true, QStringLiteral("LANG"), 2057, false), 2057);
    EXPECT_TRUE(RegGetString(true, QStringLiteral("LANG"), QString(), value, false));
    EXPECT_EQ(value, QStringLiteral("2057")) << "an unreadable value is replaced by the default";

    // Stored as text in the settings file of the test scope.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane Software"),
                       QStringLiteral("Fermalux"));
    EXPECT_TRUE(settings.fileName().startsWith(fTemp.path()));
    EXPECT_EQ(settings.value(QStringLiteral("LANG")).toString(), QStringLiteral("2057"));
}

TEST(Formats, DutchAndStoredFormats) {
    const TApplFormatSettings nl = dutchFormatSettings();
    EXPECT_EQ(nl.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(nl.ThousandSeparator, QLatin1Char('.'));
    EXPECT_EQ(nl.DateSeparator, QLatin1Char('-'));
    EXPECT_EQ(nl.ListSeparator, QLatin1Char(';'));

    const TApplFormatSettings xml = xmlFormatSettingsFrom(nl);
    EXPECT_EQ(xml.DecimalSeparator, QLatin1Char('.'));
    EXPECT_NE(xml.ThousandSeparator, xml.DecimalSeparator);
    EXPECT_EQ(xml.DateSeparator, QLatin1Char('-'));
    EXPECT_EQ(xml.TimeSeparator, QLatin1Char(':'));
    EXPECT_EQ(xml.fLocale.toString(1234.5, 'f', 1), QStringLiteral("1234.5"));

    const TApplFormatSettings us = formatSettingsFor(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(us.DateSeparator, QLatin1Char('/'));
    EXPECT_EQ(us.ListSeparator, QLatin1Char(','));
    EXPECT_EQ(xmlFormatSettingsFrom(us).ShortDateFormat.count(QLatin1Char('/')), 0);

    const QLocale previous;
    initApplFormats(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    EXPECT_EQ(gApplUserFormat.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(gApplXMLFormat.DecimalSeparator, QLatin1Char('.'));
    initApplFormats(previous);
}

namespace {
TEST(DirBases, AMissingUserDataFolderIsCreated) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const QString wanted = tmp.filePath(QStringLiteral("fresh/share"));
    qputenv("XDG_DATA_HOME", wanted.toUtf8());
    const fmx::TDirBases bases = fmx::TDirBases::fromSystem();
    if (saved.isNull()) qunsetenv("XDG_DATA_HOME"); else qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(bases.fUserData, wanted);
    EXPECT_TRUE(QDir(wanted).exists()) << "a fresh account has no data folder yet";
}
} // namespace
