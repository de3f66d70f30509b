// fermalux-cli as a user runs it, on the shipped installation data: outputs, messages and exit codes.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct TRun {
    int fExit = -1;
    QString fOut;
    QString fErr;
};

TRun runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(FMX_CLI_PATH), args);
    TRun r;
    if (!p.waitForFinished(120000)) return r;
    r.fExit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.fOut = QString::fromUtf8(p.readAllStandardOutput());
    r.fErr = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString kDefault = QStringLiteral("Default project template");

TEST(CliProcess, CalcPrintsOneJsonObjectOrCsvLines) {
    const TRun json = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault});
    ASSERT_EQ(json.fExit, 0) << json.fErr.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(json.fOut.toUtf8()).object();
    EXPECT_TRUE(o.value(QStringLiteral("ok")).toBool());
    EXPECT_GT(o.value(QStringLiteral("BiomassOut")).toObject().value(QStringLiteral("Biogas_nm3")).toDouble(), 0);

    const TRun csv = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--format"),
                             QStringLiteral("csv")});
    ASSERT_EQ(csv.fExit, 0) << csv.fErr.toStdString();
    EXPECT_TRUE(csv.fOut.startsWith(QStringLiteral("path,value\nBiomassOut.")));
}

TEST(CliProcess, EditsChangeTheResultInOrder) {
    const auto biogas = [](const TRun& r) {
        return QJsonDocument::fromJson(r.fOut.toUtf8()).object().value(QStringLiteral("BiomassOut")).toObject()
            .value(QStringLiteral("Biogas_nm3")).toDouble();
    };
    const QString row = QStringLiteral("BiomassIn.SubstrateCosubList[1].Msub_i");
    const TRun base = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault});
    const TRun more = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
                              row + QStringLiteral("=100"), QStringLiteral("--set"), row + QStringLiteral("=5000")});
    const TRun less = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
                              row + QStringLiteral("=5000"), QStringLiteral("--set"), row + QStringLiteral("=100")});
    ASSERT_EQ(more.fExit, 0) << more.fErr.toStdString();
    ASSERT_EQ(less.fExit, 0) << less.fErr.toStdString();
    EXPECT_GT(biogas(more), biogas(less)) << "the last edit of a value holds";
    EXPECT_NE(biogas(base), biogas(more));
}

TEST(CliProcess, BadInputGetsItsMessageExitOneAndNoOutput) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{QStringLiteral("calc"), QStringLiteral("--template"), QStringLiteral("Mars project template")},
         "Unknown project template \"Mars project template\""},
        {{QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--subsidy"), QStringLiteral("None")},
         "Unknown subsidy rules \"None\""},
        {{QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
          QStringLiteral("EnergyIn.NoSuchValue=1")},
         "there is no value \"NoSuchValue\""},
        {{QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
          QStringLiteral("BiomassIn.trt_user=many")},
         "\"BiomassIn.trt_user\": \"many\" is refused"},
        {{QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
          QStringLiteral("BiomassIn.trt_user=-5")},
         "\"BiomassIn.trt_user\": \"-5\" is refused"},
        {{QStringLiteral("calc"), QStringLiteral("--set"), QStringLiteral("no equals sign")}, "--set needs Object.Value=text"},
        {{QStringLiteral("calc"), QStringLiteral("--file"), QStringLiteral("/nonexistent/x.base.xml")}, "does not exist"},
        {{QStringLiteral("calc"), QStringLiteral("--frobnicate")}, "unknown option \"--frobnicate\""},
        {{QStringLiteral("fly")}, "unknown command \"fly\""},
        {{QStringLiteral("calc"), QStringLiteral("--format"), QStringLiteral("xml")}, "--format is json or csv"},
    };
    for (const auto& c : cases) {
        const TRun r = runCli(c.args);
        EXPECT_EQ(r.fExit, 1) << c.message;
        EXPECT_TRUE(r.fErr.contains(QString::fromUtf8(c.message))) << c.message << "\n" << r.fErr.toStdString();
        EXPECT_TRUE(r.fOut.isEmpty()) << c.message;
    }
}

TEST(CliProcess, ABrokenProjectFileIsRefused) {
    QTemporaryDir tmp;
    const QString file = tmp.filePath(QStringLiteral("farm.base.xml"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<ROOT>\r\n<ProjectDigester rid=\"#1\">\r\n<Template>x</Templ");
    f.close();
    const TRun r = runCli({QStringLiteral("calc"), QStringLiteral("--file"), file});
    EXPECT_EQ(r.fExit, 1);
    EXPECT_TRUE(r.fErr.contains(QStringLiteral("Failed to load file"))) << r.fErr.toStdString();
    EXPECT_TRUE(r.fOut.isEmpty());
}

TEST(CliProcess, TemplatesListsBothFolders) {
    const TRun r = runCli({QStringLiteral("templates")});
    ASSERT_EQ(r.fExit, 0) << r.fErr.toStdString();
    EXPECT_TRUE(r.fOut.contains(QStringLiteral("  ") + kDefault + QLatin1Char('\n')));
    EXPECT_TRUE(r.fOut.contains(QStringLiteral("  Default Subsidy\n")));
}

} // namespace

namespace {

TEST(CliProcess, ReportWritesACompleteFolderAndAPdf) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("farm report"));
    const QString pdf = tmp.filePath(QStringLiteral("farm.pdf"));
    const TRun r = runCli({QStringLiteral("report"), QStringLiteral("--template"), kDefault, QStringLiteral("--out"), out,
                           QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.fExit, 0) << r.fErr.toStdString();
    for (const char* file : {"report.html", "report.css", "rep_finance_chart_chp.gif", "rep_finance_chart_chp_heat.gif",
                             "rep_finance_chart_biomethane.gif", "rep_finance_chart_biomethane_ext_heat.gif"})
        EXPECT_TRUE(QFile::exists(out + QLatin1Char('/') + QLatin1String(file))) << file;
    QFile html(out + QStringLiteral("/report.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QByteArray text = html.readAll();
    EXPECT_FALSE(text.contains("file://")) << "the folder refers to its own files only";
    EXPECT_FALSE(text.contains("$$")) << "every placeholder is filled";
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5) == "%PDF-");
}

TEST(CliProcess, ReportIntoAnUnusableFolderWritesNothing) {
    QTemporaryDir tmp;
    const QString blocker = tmp.filePath(QStringLiteral("a file"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const TRun r = runCli({QStringLiteral("report"), QStringLiteral("--template"), kDefault, QStringLiteral("--out"),
                           blocker + QStringLiteral("/report")});
    EXPECT_EQ(r.fExit, 1);
    EXPECT_FALSE(r.fErr.isEmpty());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("a file")});
    const TRun none = runCli({QStringLiteral("report"), QStringLiteral("--template"), kDefault});
    EXPECT_EQ(none.fExit, 1);
    EXPECT_TRUE(none.fErr.contains(QStringLiteral("report needs --out DIR or --pdf FILE")));
}

TEST(CliProcess, AFailedCalculationPrintsItsErrorAndExitsTwo) {
    const TRun r = runCli({QStringLiteral("calc"), QStringLiteral("--template"), kDefault, QStringLiteral("--set"),
                           QStringLiteral("AdminVars.AdmTchp=0")});
    EXPECT_EQ(r.fExit, 2);
    const QJsonObject o = QJsonDocument::fromJson(r.fOut.toUtf8()).object();
    EXPECT_FALSE(o.value(QStringLiteral("ok")).toBool(true));
    EXPECT_TRUE(o.value(QStringLiteral("error")).toString().contains(QStringLiteral("division by zero")))
        << r.fOut.toStdString();
    EXPECT_EQ(o.size(), 2) << "no results with a failed calculation";
}

} // namespace
