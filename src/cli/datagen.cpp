#include "datagen.h"

#include "project.h"
#include "project_calc.h"
#include "project_files.h"
#include "project_schema.h"
#include "value_paths.h"

#include "dmdata.h"
#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace fmx::cli {

namespace {

[[noreturn]] void sourceError(const QString& file, int line, const QString& why) {
    throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter),
                         QStringLiteral("%1, line %2: %3").arg(QDir::toNativeSeparators(file)).arg(line).arg(why));
}

// Sets a value from its source text. The data model treats a float change below its tolerance as no
// change, so a small coefficient is set by way of another value.
void setFromSource(TAbstractDataValue* value, const QString& text, const QString& path) {
    setValueText(value, text, path);
    const TDataValueType type = value->Definition()->ValueType();
    if (type != dvtFloat && type != dvtFloat0 && type != dvtFloat1 && type != dvtFloat2) return;
    bool ok = false;
    const double wanted = text.toDouble(&ok);
    if (ok && value->getAsFloat() != wanted) {
        value->setAsFloat(wanted + 1);
        value->setAsFloat(wanted);
    }
}

// A settings file: path,text[,source].
void applySettings(TDataObj* root, const QString& file) {
    const TCsvTable t = readCsv(file);
    const int pathCol = t.fHeader.indexOf(QStringLiteral("path"));
    const int textCol = t.fHeader.indexOf(QStringLiteral("text"));
    if (pathCol < 0 || textCol < 0) sourceError(file, 1, QStringLiteral("the header needs the columns path and text"));
    for (const auto& [line, cells] : t.fRows) {
        const QString path = cells.value(pathCol).trimmed();
        const QString text = cells.value(textCol).trimmed();
        if (path.isEmpty()) sourceError(file, line, QStringLiteral("the path is empty"));
        try {
            setFromSource(findValueByPath(root, path), text, path);
        } catch (const TBaseDataError& e) {
            sourceError(file, line, e.text());
        }
    }
}

TDataObj* recordNamed(TDataObjList* list, const QString& name) {
    for (int i = 0; i < list->objCount(); ++i)
        if (list->obj(i)->getValueWithID(valAdmName)->getAsString() == name) return list->obj(i);
    return nullptr;
}

// A list table: one element per row; reference cells name a record of the administration lists.
void applyListTable(TDataObj* root, TDataObj* owner, const QString& listXml, const QString& file) {
    TDataObjList* list = owner->getListWithXML(listXml);
    if (!list) sourceError(file, 1, QStringLiteral("there is no list \"%1\"").arg(listXml));
    const TCsvTable t = readCsv(file);
    for (const auto& [line, cells] : t.fRows) {
        TDataObj* row = list->cAddObj(-1);
        for (int c = 0; c < t.fHeader.size(); ++c) {
            const QString col = t.fHeader[c].trimmed();
            const QString text = cells.value(c).trimmed();
            if (col == QLatin1String("source") || col == QLatin1String("note") || text.isEmpty()) continue;
            TAbstractDataValue* value = row->getValueWithXML(col);
            if (!value) sourceError(file, line, QStringLiteral("a %1 row has no value \"%2\"").arg(listXml, col));
            if (value->Definition()->ValueType() == dvtReference) {
                TDataObj* admin = root->getSubObjWithDefID(defAdminVars);
                TDataObj* target = nullptr;
                for (int32_t l : {ldefAdmSubstrateManureList, ldefAdmSubstrateCosubList})
                    if (!target && admin) target = recordNamed(admin->getListWithID(l), text);
                if (!target) sourceError(file, line, QStringLiteral("no substrate record is named \"%1\"").arg(text));
                value->setAsReference(target);
                continue;
            }
            try {
                setFromSource(value, text, col);
            } catch (const TBaseDataError& e) {
                sourceError(file, line, e.text());
            }
        }
    }
}

template <class T> std::unique_ptr<T> newRoot(int32_t defID) {
    std::unique_ptr<TDataObj> obj = dmData->FindDataObjDefWithID(defID)->CreateRootDataObj(false, true);
    return std::unique_ptr<T>(static_cast<T*>(obj.release()));
}

void ensureDir(const QString& dir) {
    if (!QDir().mkpath(dir))
        throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter),
                             QStringLiteral("The folder %1 cannot be made").arg(QDir::toNativeSeparators(dir)));
}

QStringList settingsFiles(const QString& dir) {
    QStringList names;
    for (const QFileInfo& f : QDir(dir).entryInfoList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name))
        if (!f.completeBaseName().contains(QLatin1Char('.'))) names << f.completeBaseName();
    return names;
}

void applyIfExists(const QString& file, const std::function<void(const QString&)>& apply) {
    if (QFileInfo::exists(file)) apply(file);
}

} // namespace

TCsvTable parseCsv(const QString& text, const QString& fileName) {
    TCsvTable table;
    table.fFile = fileName;
    int line = 1;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int startLine = line;
        // Comments and blank lines.
        if (text[i] == QLatin1Char('#') || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')) {
            while (i < n && text[i] != QLatin1Char('\n')) ++i;
            ++i;
            ++line;
            continue;
        }
        QStringList cells;
        QString cell;
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (i < n && text[i] == QLatin1Char('"')) {
                ++i;
                for (;;) {
                    if (i >= n) sourceError(fileName, startLine, QStringLiteral("a quoted field is not closed"));
                    if (text[i] == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            cell += QLatin1Char('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == QLatin1Char('\n')) ++line;
                    cell += text[i++];
                }
                if (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r'))
                    sourceError(fileName, line, QStringLiteral("text follows a closing quote"));
            } else {
                while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n') &&
                       text[i] != QLatin1Char('\r'))
                    cell += text[i++];
            }
            cells << cell;
            cell.clear();
            if (i < n && text[i] == QLatin1Char(',')) {
                ++i;
                continue;
            }
            if (i < n && text[i] == QLatin1Char('\r')) ++i;
            if (i < n && text[i] == QLatin1Char('\n')) ++i;
            ++line;
            endOfRecord = true;
        }
        if (table.fHeader.isEmpty()) {
            for (QString& h : cells) h = h.trimmed();
            table.fHeader = cells;
        } else {
            if (cells.size() > table.fHeader.size())
                sourceError(fileName, startLine,
                            QStringLiteral("%1 fields, the header has %2").arg(cells.size()).arg(table.fHeader.size()));
            table.fRows.emplace_back(startLine, cells);
        }
    }
    if (table.fHeader.isEmpty()) sourceError(fileName, 1, QStringLiteral("the file has no header line"));
    return table;
}

TCsvTable readCsv(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter), QStringLiteral("%1 cannot be read: %2")
                                                          .arg(QDir::toNativeSeparators(file), f.errorString()));
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return parseCsv(QString::fromUtf8(bytes), file);
}

void buildInstallationData(const QString& sourcesDir, const QString& outDir) {
    const QDir src(sourcesDir);
    const QString projectsOut = outDir + QStringLiteral("/Templates/Projects");
    const QString subsidyOut = outDir + QStringLiteral("/Templates/Subsidy");
    ensureDir(projectsOut);
    ensureDir(subsidyOut);

    // The global data object holds nothing of this program's own.
    {
        auto global = newRoot<TDataObjODRoot>(defApplGlobalData);
        global->saveToFile(outDir + QStringLiteral("/global"), true, sxt_ForFileStorage);
    }

    // The rules first: every template is calculated with "Default Subsidy" before it is written, so
    // a template that does not calculate never ships.
    const QString subsidy = src.filePath(QStringLiteral("subsidy"));
    for (const QString& name : settingsFiles(subsidy)) {
        auto rules = newRoot<TProjectSubsidy>(defProjectSubsidy);
        const QString base = subsidy + QLatin1Char('/') + name;
        applySettings(rules.get(), base + QStringLiteral(".csv"));
        applyIfExists(base + QStringLiteral(".SubNetList.csv"), [&](const QString& f) {
            applyListTable(rules.get(), rules->getSubObjWithDefID(defSubsidyNetherlands), QStringLiteral("SubNetList"), f);
        });
        applyIfExists(base + QStringLiteral(".SubFlaList.csv"), [&](const QString& f) {
            applyListTable(rules.get(), rules->getSubObjWithDefID(defSubsidyFlanders), QStringLiteral("SubFlaList"), f);
        });
        rules->saveToFile(subsidyOut + QLatin1Char('/') + name, true, sxt_ForFileStorage);
    }
    const QString ref = src.filePath(QStringLiteral("reference"));
    const QString templates = src.filePath(QStringLiteral("templates"));
    const QStringList templateNames = settingsFiles(templates);
    const QString defaultRules = subsidyOut + QLatin1Char('/') + kDefaultSubsidyName;
    if (!templateNames.isEmpty() && !QFileInfo::exists(defaultRules + kBaseXmlExt))
        throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter),
                             QStringLiteral("%1 is missing: the templates are calculated with it")
                                 .arg(QDir::toNativeSeparators(subsidy + QLatin1Char('/') + kDefaultSubsidyName +
                                                               QStringLiteral(".csv"))));

    for (const QString& name : templateNames) {
        auto project = newRoot<TProject>(defProjectDigester);
        auto rules = newRoot<TProjectSubsidy>(defProjectSubsidy);
        rules->loadFromFile(defaultRules);
        project->setProjectSub(std::move(rules));
        withRecalcSuspended(project.get(), [&] {
            TDataObj* admin = project->getSubObjWithDefID(defAdminVars);
            for (const char* list : {"AdmSubstrateManureList", "AdmSubstrateCosubList", "AdmPconnectList"})
                applyIfExists(ref + QLatin1Char('/') + QLatin1String(list) + QStringLiteral(".csv"),
                              [&](const QString& f) { applyListTable(project.get(), admin, QLatin1String(list), f); });
            applyIfExists(ref + QStringLiteral("/admin.csv"), [&](const QString& f) { applySettings(project.get(), f); });
            const QString base = templates + QLatin1Char('/') + name;
            applySettings(project.get(), base + QStringLiteral(".csv"));
            TDataObj* biomass = project->getSubObjWithDefID(defBiomassIn);
            for (const char* list : {"SubstrateManureList", "SubstrateCosubList"})
                applyIfExists(base + QLatin1Char('.') + QLatin1String(list) + QStringLiteral(".csv"),
                              [&](const QString& f) { applyListTable(project.get(), biomass, QLatin1String(list), f); });
            project->getValueWithID(valTemplate)->setAsString(name);
            project->getValueWithID(valSubsidyFileName)->setAsString(kDefaultSubsidyName);
            bool calculated = false;
            QString why;
            try {
                calculated = calcProject(*project, nullptr);
                why = lastCalcError();
            } catch (const TBaseDataError& e) {
                why = e.text();
            }
            if (!calculated)
                throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter),
                                     QStringLiteral("The template \"%1\" does not calculate: %2").arg(name, why));
        });
        project->saveToFile(projectsOut + QLatin1Char('/') + name, true, sxt_ForFileStorage);
    }
}

} // namespace fmx::cli
