#include "cli.h"

#include "datagen.h"

#include "app_start.h"
#include "project.h"
#include "report.h"
#include "report_texts.h"
#include "project_calc.h"
#include "project_files.h"
#include "project_schema.h"
#include "value_paths.h"

#include "catalogue.h"
#include "dmdata.h"
#include "dmformat.h"
#include "errors.h"
#include "language.h"
#include "messages.h"
#include "objmanager.h"
#include "translate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <memory>

namespace fmx::cli {

namespace {

const char* const kUsage =
    "Usage: fermalux-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  templates                 list the project templates and the subsidy rule files\n"
    "  calc [PROJECT OPTIONS]    calculate a project and print every output value\n"
    "  report [PROJECT OPTIONS] --out DIR\n"
    "                            write the HTML report with its charts, CSS and images into DIR\n"
    "  report [PROJECT OPTIONS] --pdf FILE\n"
    "                            print the report to an A4 PDF file\n"
    "  catalogue [--out FILE]    write the base-language catalogue for translators\n"
    "  build-data --sources DIR --out DIR\n"
    "                            generate the installation data from its sources\n"
    "\n"
    "Project options:\n"
    "  --template NAME           start from a project template (default: the template of the language)\n"
    "  --file PATH               start from a project file (NAME.base.xml)\n"
    "  --subsidy NAME            use these subsidy rules (default: the project's own, else \"Default Subsidy\")\n"
    "  --set Object.Value=TEXT   change an input as typed by the user; repeatable, applied in order;\n"
    "                            list rows by number from 1: BiomassIn.SubstrateCosubList[1].Msub_i=900\n"
    "  --lang ID                 language identifier of the texts (1043 Dutch, 1031 German, 2057 English)\n"
    "  --format json|csv         output format of calc (default json)\n"
    "\n"
    "Exit codes: 0 success, 1 bad input (message on standard error), 2 calculation failed.\n";

struct TOptions {
    QString fCommand;
    QString fTemplate;
    QString fFile;
    QString fSubsidy;
    std::vector<std::pair<QString, QString>> fSets;
    int fLanguage = 0;
    QString fFormat = QStringLiteral("json");
    QString fOut;
    QString fPdf;
    QString fSources;
};

struct TUsageError {
    QString fText;
};

void printErr(const QString& text) {
    std::fprintf(stderr, "fermalux-cli: %s\n", text.toLocal8Bit().constData());
}

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

TOptions parseOptions(const QStringList& args) {
    TOptions o;
    if (args.isEmpty()) throw TUsageError{QStringLiteral("no command given")};
    o.fCommand = args[0];
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto next = [&]() -> QString {
            if (i + 1 >= args.size()) throw TUsageError{QStringLiteral("%1 needs a value").arg(a)};
            return args[++i];
        };
        if (a == QLatin1String("--template")) {
            o.fTemplate = next();
        } else if (a == QLatin1String("--file")) {
            o.fFile = next();
        } else if (a == QLatin1String("--subsidy")) {
            o.fSubsidy = next();
        } else if (a == QLatin1String("--set")) {
            const QString s = next();
            const int eq = s.indexOf(QLatin1Char('='));
            if (eq <= 0) throw TUsageError{QStringLiteral("--set needs Object.Value=text, not \"%1\"").arg(s)};
            o.fSets.emplace_back(s.left(eq).trimmed(), s.mid(eq + 1));
        } else if (a == QLatin1String("--lang")) {
            bool ok = false;
            o.fLanguage = next().toInt(&ok);
            if (!ok || o.fLanguage <= 0) throw TUsageError{QStringLiteral("--lang needs a language number such as 1043")};
        } else if (a == QLatin1String("--format")) {
            o.fFormat = next();
            if (o.fFormat != QLatin1String("json") && o.fFormat != QLatin1String("csv"))
                throw TUsageError{QStringLiteral("--format is json or csv, not \"%1\"").arg(o.fFormat)};
        } else if (a == QLatin1String("--out")) {
            o.fOut = next();
        } else if (a == QLatin1String("--pdf")) {
            o.fPdf = next();
        } else if (a == QLatin1String("--sources")) {
            o.fSources = next();
        } else {
            throw TUsageError{QStringLiteral("unknown option \"%1\"").arg(a)};
        }
    }
    if (!o.fTemplate.isEmpty() && !o.fFile.isEmpty())
        throw TUsageError{QStringLiteral("give --template or --file, not both")};
    return o;
}

void startUp(const TOptions& o) {
    TAppStartOptions s;
    s.fProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    s.fDevelopmentTree = true;
    s.fLanguageOverride = o.fLanguage;
    startApplication(s);
}

QString joinedNames(const QStringList& names) {
    return names.isEmpty() ? QStringLiteral("none") : QLatin1Char('"') + names.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

// The project the options name, calculated; nullptr after the message.
std::unique_ptr<TProject> openProject(const TOptions& o) {
    if (!o.fSubsidy.isEmpty() && !baseXmlNames(subsidyDir()).contains(o.fSubsidy)) {
        printErr(QStringLiteral("Unknown subsidy rules \"%1\". The subsidy rules are: %2")
                     .arg(o.fSubsidy, joinedNames(baseXmlNames(subsidyDir()))));
        return nullptr;
    }
    const QString subsidy = o.fSubsidy.isEmpty() ? kDefaultSubsidyName : o.fSubsidy;
    if (!o.fFile.isEmpty()) {
        const QFileInfo f(o.fFile);
        if (!f.fileName().endsWith(kBaseXmlExt)) {
            printErr(QStringLiteral("A project file is named NAME%1, not \"%2\"").arg(kBaseXmlExt, o.fFile));
            return nullptr;
        }
        if (!f.isFile()) {
            printErr(QStringLiteral("The project file \"%1\" does not exist").arg(o.fFile));
            return nullptr;
        }
        std::unique_ptr<TProject> p = loadProject(f.absolutePath(), f.fileName().chopped(kBaseXmlExt.size()));
        if (p && !o.fSubsidy.isEmpty()) p->setSubsidyRules(o.fSubsidy);
        return p;
    }
    if (!o.fTemplate.isEmpty()) {
        const QStringList names = baseXmlNames(projectTemplateDir());
        if (!names.contains(o.fTemplate)) {
            printErr(QStringLiteral("Unknown project template \"%1\". The project templates are: %2")
                         .arg(o.fTemplate, joinedNames(names)));
            return nullptr;
        }
        return createProject(projectTemplateDir(), o.fTemplate, subsidy);
    }
    std::unique_ptr<TProject> p = loadAndCalcStartProject(currentLanguage());
    if (p && !o.fSubsidy.isEmpty()) p->setSubsidyRules(o.fSubsidy);
    return p;
}

// Applies the edits in order, each through the text setter as an edit; the calculation they make
// due runs once at the end. False after the message of the first refused edit.
bool applyEdits(TProject& project, const TOptions& o) {
    try {
        withRecalcSuspended(&project, [&] {
            for (const auto& [path, text] : o.fSets) setValueText(findValueByPath(&project, path), text, path);
        });
    } catch (const TBaseDataError& e) {
        printErr(e.text());
        return false;
    }
    return true;
}

void appendJsonString(QString& out, const QString& s) {
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

bool isNumeric(TAbstractDataValue* v) {
    switch (v->Definition()->ValueType()) {
    case dvtInteger:
    case dvtFloat:
    case dvtFloat0:
    case dvtFloat1:
    case dvtFloat2:
    case dvtEnum:
        return true;
    default:
        return false;
    }
}

QString valueJson(TAbstractDataValue* v) {
    if (isNumeric(v)) return numberText(v->getAsFloat());
    QString s;
    appendJsonString(s, v->getAsString());
    return s;
}

void objectJson(QString& out, TDataObj* obj) {
    out += QLatin1Char('{');
    bool first = true;
    const auto key = [&](const QString& name) {
        if (!first) out += QStringLiteral(", ");
        first = false;
        appendJsonString(out, name);
        out += QStringLiteral(": ");
    };
    for (int i = 0; i < obj->ValueCount(); ++i) {
        TAbstractDataValue* v = obj->value(i);
        key(v->Definition()->XMLName());
        out += valueJson(v);
    }
    for (int i = 0; i < obj->objCount(); ++i) {
        key(obj->obj(i)->Definition()->XMLName());
        objectJson(out, obj->obj(i));
    }
    for (int l = 0; l < obj->ListCount(); ++l) {
        TDataObjList* list = obj->list(l);
        key(list->Definition()->XMLName());
        out += QLatin1Char('[');
        for (int i = 0; i < list->objCount(); ++i) {
            if (i > 0) out += QStringLiteral(", ");
            objectJson(out, list->obj(i));
        }
        out += QLatin1Char(']');
    }
    out += QLatin1Char('}');
}

void objectCsv(QString& out, TDataObj* obj, const QString& path) {
    for (int i = 0; i < obj->ValueCount(); ++i) {
        TAbstractDataValue* v = obj->value(i);
        QString text = isNumeric(v) ? numberText(v->getAsFloat()) : v->getAsString();
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n')))
            text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        out += path + QLatin1Char('.') + v->Definition()->XMLName() + QLatin1Char(',') + text + QLatin1Char('\n');
    }
    for (int i = 0; i < obj->objCount(); ++i)
        objectCsv(out, obj->obj(i), path + QLatin1Char('.') + obj->obj(i)->Definition()->XMLName());
    for (int l = 0; l < obj->ListCount(); ++l) {
        TDataObjList* list = obj->list(l);
        for (int i = 0; i < list->objCount(); ++i)
            objectCsv(out, list->obj(i), QStringLiteral("%1.%2[%3]").arg(path, list->Definition()->XMLName()).arg(i + 1));
    }
}

const int32_t* const kOutputObjects[] = {&defBiomassOut, &defInstallationOut, &defExploitationOut, &defFinanceOut};

int cmdCalc(const TOptions& o) {
    std::unique_ptr<TProject> project = openProject(o);
    if (!project) return kExitBadInput;
    if (!applyEdits(*project, o)) return kExitBadInput;
    QString why;
    if (!calcWithReason(*project, &why)) {
        QString out = QStringLiteral("{\"ok\": false, \"error\": ");
        appendJsonString(out, why);
        printOut(out + QStringLiteral("}\n"));
        return kExitCalcFailed;
    }
    printOut(o.fFormat == QLatin1String("csv") ? outputsAsCsv(*project) : outputsAsJson(*project) + QLatin1Char('\n'));
    return kExitOk;
}

// The report of the project the options name: a complete folder, a PDF file, or both.
int cmdReport(const TOptions& o) {
    if (o.fOut.isEmpty() && o.fPdf.isEmpty()) throw TUsageError{QStringLiteral("report needs --out DIR or --pdf FILE")};
    std::unique_ptr<TProject> project = openProject(o);
    if (!project) return kExitBadInput;
    if (!applyEdits(*project, o)) return kExitBadInput;
    QString why;
    if (!calcWithReason(*project, &why)) {
        printErr(QStringLiteral("The calculation failed, so no report is written: %1").arg(why));
        return kExitCalcFailed;
    }
    if (!o.fOut.isEmpty()) writeReportFolder(*project, htmlTemplateDir(), o.fOut);
    if (!o.fPdf.isEmpty()) printReportPdf(*project, htmlTemplateDir(), o.fPdf);
    return kExitOk;
}

int cmdTemplates() {
    QString out = QStringLiteral("Project templates (%1):\n").arg(QDir::toNativeSeparators(projectTemplateDir()));
    for (const QString& n : baseXmlNames(projectTemplateDir())) out += QStringLiteral("  ") + n + QLatin1Char('\n');
    out += QStringLiteral("Subsidy rules (%1):\n").arg(QDir::toNativeSeparators(subsidyDir()));
    for (const QString& n : baseXmlNames(subsidyDir())) out += QStringLiteral("  ") + n + QLatin1Char('\n');
    printOut(out);
    return kExitOk;
}

int cmdCatalogue(const TOptions& o) {
    registerAllTexts();
    if (o.fOut.isEmpty()) {
        const QByteArray bytes = serializeCatalogue(buildBaseCatalogue());
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    } else {
        writeBaseCatalogue(o.fOut);
    }
    return kExitOk;
}

int cmdBuildData(const TOptions& o) {
    if (o.fSources.isEmpty() || o.fOut.isEmpty()) throw TUsageError{QStringLiteral("build-data needs --sources and --out")};
    std::unique_ptr<TdmData> registry = TdmData::create();
    initFormatSettings(QLocale::c());
    dmProjectCreateDefs();
    buildInstallationData(o.fSources, o.fOut);
    return kExitOk;
}

} // namespace

void registerAllTexts() {
    registerTranslationExceptions();
    registerProjectTexts();
    registerReportTexts();
}

QString numberText(double v) {
    if (!std::isfinite(v)) return QStringLiteral("null");
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

QString outputsAsJson(TProject& project) {
    QString out = QStringLiteral("{\"ok\": true");
    for (const int32_t* def : kOutputObjects) {
        TDataObj* obj = project.getSubObjWithDefID(*def);
        out += QStringLiteral(", ");
        appendJsonString(out, obj->Definition()->XMLName());
        out += QStringLiteral(": ");
        objectJson(out, obj);
    }
    return out + QLatin1Char('}');
}

QString outputsAsCsv(TProject& project) {
    QString out = QStringLiteral("path,value\n");
    for (const int32_t* def : kOutputObjects) {
        TDataObj* obj = project.getSubObjWithDefID(*def);
        objectCsv(out, obj, obj->Definition()->XMLName());
    }
    return out;
}

int run(int argc, char** argv) {
    // The report draws its charts with the widget library, off-screen; the other commands need only
    // the core.
    const bool report = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (report && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Without a session (cron, ssh, CI) the platform plug-in wants a private runtime folder.
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(getuid());
        if (QDir().mkpath(QString::fromLocal8Bit(dir))) {
            QFile::setPermissions(QString::fromLocal8Bit(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                    QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", dir);
        }
    }
    std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    TOptions o;
    try {
        if (!args.isEmpty() && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h") ||
                                args[0] == QLatin1String("help"))) {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
        o = parseOptions(args);
        if (o.fCommand == QLatin1String("build-data")) return cmdBuildData(o);
        static const QStringList known = {QStringLiteral("templates"), QStringLiteral("calc"),
                                          QStringLiteral("report"), QStringLiteral("catalogue")};
        if (!known.contains(o.fCommand)) throw TUsageError{QStringLiteral("unknown command \"%1\"").arg(o.fCommand)};
    } catch (const TUsageError& e) {
        printErr(e.fText);
        std::fputs(kUsage, stderr);
        return kExitBadInput;
    } catch (const TBaseDataError& e) {
        printErr(e.text());
        return kExitBadInput;
    }

    TStderrMessageSink sink;
    setMessageSink(&sink);
    startUp(o);
    int code = kExitOk;
    try {
        if (o.fCommand == QLatin1String("templates"))
            code = cmdTemplates();
        else if (o.fCommand == QLatin1String("calc"))
            code = cmdCalc(o);
        else if (o.fCommand == QLatin1String("report"))
            code = cmdReport(o);
        else
            code = cmdCatalogue(o);
    } catch (const TUsageError& e) {
        printErr(e.fText);
        code = kExitBadInput;
    } catch (const TBaseDataError& e) {
        printErr(e.text());
        code = kExitBadInput;
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        code = kExitBadInput;
    }
    std::fflush(stdout);
    stopApplication();
    setMessageSink(nullptr);
    return code;
}

} // namespace fmx::cli
