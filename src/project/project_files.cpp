#include "project_files.h"

#include "project_calc.h"
#include "project_schema.h"

#include "datavalue.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "errors.h"
#include "exception_log.h"
#include "fmx_assert.h"
#include "globals.h"
#include "language.h"
#include "log.h"
#include "messages.h"
#include "objmanager.h"

#include <QDir>
#include <QFileInfo>

namespace fmx {

namespace {

const QString kInvalidStructure = QStringLiteral("Invalid file structure! Nothing is (re-)loaded.");
const QString kOldStructure = QStringLiteral("Probably old project file structure. Nothing is (re-)loaded!");
const QString kFailedToLoad = QStringLiteral("Failed to load file");
const QString kStartCalcFailed = QStringLiteral("Something went wrong! Evaluate input values");
const QString kNoStartSubsidy =
    QStringLiteral("The subsidy rules \"%1\" could not be loaded from the folder \"%2\": %3 The application "
                   "can not continue and will shut down now.");


const TBGXApplGlobals& globals() {
    const TBGXApplGlobals* g = gApplGlobals();
    FMX_ASSERT(g != nullptr, QStringLiteral("The application globals are not set"));
    return *g;
}

// A root of definition defID from dir/name.base.xml; a missing file is an error like any other.
template <class T> std::unique_ptr<T> loadRoot(int32_t defID, const QString& dir, const QString& name) {
    TdmObjectManager* man = objectManager();
    FMX_ASSERT(man != nullptr, QStringLiteral("No object manager to load %1").arg(name));
    std::unique_ptr<TDataObjODRoot> root = man->laadDataObjODRootFromFile(defID, dir, name);
    if (!root)
        throw TDataError(tdek_FileNotFound, QDir::toNativeSeparators(QDir(dir).filePath(name + kBaseXmlExt)));
    auto* typed = dynamic_cast<T*>(root.get());
    if (!typed)
        throw TDataError(tdek_InvalidFormat,
                         QStringLiteral("%1 holds no data of the expected kind").arg(name + kBaseXmlExt));
    root.release();
    return std::unique_ptr<T>(typed);
}

double adminValue(TProject& project, int32_t valID) {
    return project.getSubObjWithDefID(defAdminVars)->getValueWithID(valID)->getAsFloat();
}

// Loads, checks and calculates a project file; the rules are set up by prepare (before the check).
template <class Prepare>
std::unique_ptr<TProject> loadChecked(const QString& dir, const QString& fileName, Prepare&& prepare) {
    std::unique_ptr<TProject> project;
    try {
        project = loadRoot<TProject>(defProjectDigester, dir, fileName);
        prepare(*project);
        if (adminValue(*project, valAdmPRESSaverage) == 0) {
            MsgError(dmTl(kInvalidStructure));
            return nullptr;
        }
        if (!calcWithReason(*project)) {
            MsgError(dmTl(kOldStructure));
            return nullptr;
        }
    } catch (const std::exception& e) {
        MsgException(dmTl(kFailedToLoad), &e, false);
        return nullptr;
    }
    return project;
}

} // namespace

QStringList baseXmlNames(const QString& dir) {
    QStringList names;
    if (dir.isEmpty()) return names;
    const QFileInfoList entries =
        QDir(dir).entryInfoList({QLatin1Char('*') + kBaseXmlExt}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& f : entries) names.push_back(f.fileName().chopped(kBaseXmlExt.size()));
    return names;
}

QString projectTemplateDir() {
    return globals().fProjectTemplateDir;
}
QString subsidyDir() {
    return globals().fSubsidyTemplateDir;
}
QString htmlTemplateDir() {
    return globals().fHTMLTemplateDir;
}

void TProject::loadSubsidyRules() {
    TAbstractDataValue* nameValue = getValueWithID(valSubsidyFileName);
    QString name = nameValue->getAsString();
    const QString dir = subsidyDir();
    if (name.isEmpty() || !QFileInfo::exists(QDir(dir).filePath(name + kBaseXmlExt))) {
        name = kDefaultSubsidyName;
        if (nameValue->getAsString() != name) nameValue->setAsString(name);
    }
    fProjectSub.reset();
    fProjectSub = loadRoot<TProjectSubsidy>(defProjectSubsidy, dir, name);
}

void TProject::setSubsidyRules(const QString& newName) {
    TAbstractDataValue* nameValue = getValueWithID(valSubsidyFileName);
    if (nameValue->getAsString() == newName) return;
    nameValue->setAsString(newName);
    loadSubsidyRules();
}

std::unique_ptr<TProjectSubsidy> TProjectSubsidy::loadDefaultRules() {
    return loadRoot<TProjectSubsidy>(defProjectSubsidy, subsidyDir(), kDefaultSubsidyName);
}

std::unique_ptr<TProject> createProject(const QString& dir, const QString& fileName, const QString& subsidyName) {
    std::unique_ptr<TProject> project = loadChecked(dir, fileName, [&](TProject& p) {
        p.getValueWithID(valSubsidyFileName)->setAsString(subsidyName);
        p.loadSubsidyRules();
    });
    if (!project) return nullptr;
    project->setUseFileName(QString());
    project->getValueWithID(valTemplate)->setAsString(fileName);
    return project;
}

std::unique_ptr<TProject> loadProject(const QString& dir, const QString& fileName) {
    return loadChecked(dir, fileName, [](TProject& p) { p.loadSubsidyRules(); });
}

std::unique_ptr<TProjectSubsidy> loadProjectSub(const QString& dir, const QString& name) {
    try {
        std::unique_ptr<TProjectSubsidy> rules = loadRoot<TProjectSubsidy>(defProjectSubsidy, dir, name);
        TDataObj* dutch = rules->getSubObjWithDefID(defSubsidyNetherlands);
        if (!dutch || dutch->getValueWithID(valSubNetYears)->getAsFloat() == 0) {
            MsgError(dmTl(kInvalidStructure));
            return nullptr;
        }
        return rules;
    } catch (const std::exception& e) {
        MsgException(dmTl(kFailedToLoad), &e, false);
        return nullptr;
    }
}

std::unique_ptr<TProject> TProject::loadStartProject(int languageID) {
    const TStartTemplate start = chooseStartTemplate(projectTemplateDir(), languageID);
    const QString dir = QFileInfo(start.fFile).absolutePath();
    std::unique_ptr<TProject> project = loadRoot<TProject>(defProjectDigester, dir, start.fName);
    try {
        project->loadSubsidyRules();
    } catch (const std::exception& e) {
        // Without rules no calculation can run: stop in order, naming the folder to look at.
        MsgError(dmTl(kNoStartSubsidy).arg(kDefaultSubsidyName, QDir::toNativeSeparators(subsidyDir()),
                                            QString::fromUtf8(e.what())));
        saveHalt(1, false, true, false);
    }
    project->setUseFileName(QString());
    project->setExternalSource(true);
    project->getValueWithID(valTemplate)->setAsString(start.fName);
    return project;
}

std::unique_ptr<TProject> loadStartProject(int languageID) {
    return TProject::loadStartProject(languageID);
}

std::unique_ptr<TProject> loadAndCalcStartProject(int languageID) {
    std::unique_ptr<TProject> project = loadStartProject(languageID);
    if (!calcWithReason(*project)) MsgError(dmTl(kStartCalcFailed));
    return project;
}

bool calcWithReason(TProject& project, QString* why) {
    try {
        const bool ok = project.calc(nullptr);
        if (!ok && why) *why = lastCalcError().isEmpty() ? QStringLiteral("Calculation failed") : lastCalcError();
        return ok;
    } catch (const TBaseDataError& e) {
        logException(e);
        if (why) *why = e.text();
    } catch (const std::exception& e) {
        logException(e);
        if (why) *why = QString::fromUtf8(e.what());
    }
    return false;
}

QStringList projectFileTexts() {
    return {kInvalidStructure, kOldStructure, kFailedToLoad, kStartCalcFailed, kNoStartSubsidy,
            QStringLiteral("Unsuccessful calculation! Evaluate input values.")};
}

} // namespace fmx
