// New projects from templates, project files, subsidy rule files and the start project.
#include "files_project_fixture.h"

namespace fmxtest {
namespace {

const QString kInvalid = QStringLiteral("Invalid file structure! Nothing is (re-)loaded.");

double npvOf(TProject& p) {
    return p.getSubObjWithDefID(defFinanceOut)->obj(0)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat();
}

TEST_F(ProjectFilesTest, NewProjectFromTemplateAndRulesIsCalculatedAndUnnamed) {
    std::unique_ptr<TProject> p = createProject(projectTemplateDir(), QStringLiteral("Good template"),
                                                QStringLiteral("Default Subsidy"));
    ASSERT_TRUE(p) << takeMessages().join(QLatin1Char(0x0a)).toStdString();
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(p->getValueWithID(valTemplate)->getAsString(), QStringLiteral("Good template"));
    EXPECT_EQ(p->getValueWithID(valSubsidyFileName)->getAsString(), QStringLiteral("Default Subsidy"));
    EXPECT_TRUE(p->useFileName().isEmpty());
    EXPECT_FALSE(p->recalcNeeded());
    EXPECT_NE(npvOf(*p), 0.0);
    ASSERT_TRUE(p->projectSub());
}

TEST_F(ProjectFilesTest, FilesOfAnotherStructureAreRefusedWithTheirMessage) {
    writeGoodTemplate([](TProject& p) { p.getSubObjWithDefID(defAdminVars)->getValueWithID(valAdmPRESSaverage)->setAsFloat(0); },
                      "No pressure");
    writeGoodTemplate([](TProject& p) { p.getValueWithID(valTemplate)->setAsString(QString()); }, "Does not calculate");
    writeFile(projectTemplateDir() + QStringLiteral("/Broken.base.xml"), "<ROOT>\r\n<ProjectDigester rid=\"#1\">");
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"No pressure", "Invalid file structure! Nothing is (re-)loaded."},
                 {"Does not calculate", "Probably old project file structure. Nothing is (re-)loaded!"},
                 {"Broken", "Failed to load file"},
                 {"Missing", "Failed to load file"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(createProject(projectTemplateDir(), QString::fromUtf8(c.name), kDefaultSubsidyName)) << c.name;
        const QStringList shown = takeMessages();
        ASSERT_EQ(shown.size(), 1) << c.name;
        EXPECT_TRUE(shown[0].startsWith(QString::fromUtf8(c.message))) << c.name << ": " << shown[0].toStdString();
        EXPECT_FALSE(loadProject(projectTemplateDir(), QString::fromUtf8(c.name))) << c.name;
        EXPECT_EQ(takeMessages().size(), 1) << c.name;
    }
}

TEST_F(ProjectFilesTest, SubsidyRulesFallBackToTheDefaultAndReloadOnlyOnANewName) {
    std::unique_ptr<TProject> p =
        createProject(projectTemplateDir(), QStringLiteral("Good template"), QStringLiteral("Deleted rules"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getValueWithID(valSubsidyFileName)->getAsString(), kDefaultSubsidyName)
        << "a missing rule file means the default, and the project says so";

    TProjectSubsidy* before = p->projectSub();
    p->setSubsidyRules(kDefaultSubsidyName);
    EXPECT_EQ(p->projectSub(), before) << "the same name does not reload";
    p->setSubsidyRules(QStringLiteral("default subsidy"));
    EXPECT_NE(p->projectSub(), before) << "a name differing in case is another name";
    EXPECT_EQ(p->getValueWithID(valSubsidyFileName)->getAsString(), kDefaultSubsidyName);

    QFile::remove(subsidyDir() + QStringLiteral("/Default Subsidy.base.xml"));
    EXPECT_THROW(p->loadSubsidyRules(), TBaseDataError);
    EXPECT_THROW(TProjectSubsidy::loadDefaultRules(), TBaseDataError);
    EXPECT_FALSE(createProject(projectTemplateDir(), QStringLiteral("Good template"), kDefaultSubsidyName));
    EXPECT_TRUE(takeMessages().value(0).startsWith(QStringLiteral("Failed to load file")));
}

TEST_F(ProjectFilesTest, OnlyRuleFilesLoadIntoTheSubsidyPages) {
    std::unique_ptr<TProjectSubsidy> rules = loadProjectSub(subsidyDir(), kDefaultSubsidyName);
    ASSERT_TRUE(rules);
    // Rules whose Dutch subsidy duration is 0 are no rule file.
    rules->getSubObjWithDefID(defSubsidyNetherlands)->getValueWithID(valSubNetYears)->setAsFloat(0);
    rules->saveToFile(subsidyDir() + QStringLiteral("/Empty"), true, sxt_ForFileStorage);
    EXPECT_FALSE(loadProjectSub(subsidyDir(), QStringLiteral("Empty")));
    EXPECT_EQ(takeMessages(), QStringList{kInvalid});
    // A project file is no rule file either.
    EXPECT_FALSE(loadProjectSub(projectTemplateDir(), QStringLiteral("Good template")));
    EXPECT_EQ(takeMessages().size(), 1);
}

TEST_F(ProjectFilesTest, StartProjectIsTheDefaultTemplateUnnamedFromOutside) {
    writeGoodTemplate({}, "Default project template");
    std::unique_ptr<TProject> p = loadAndCalcStartProject(1043); // no NL template here
    ASSERT_TRUE(p);
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(p->getValueWithID(valTemplate)->getAsString(), QStringLiteral("Default project template"));
    EXPECT_TRUE(p->useFileName().isEmpty());
    EXPECT_TRUE(p->externalSource());
    EXPECT_FALSE(p->recalcNeeded());

    // A start project that cannot calculate is kept, with the message.
    writeGoodTemplate([](TProject& t) {
        TDataObjList* classes = t.getSubObjWithDefID(defAdminVars)->getListWithID(ldefAdmPconnectList);
        while (classes->objCount() > 0) classes->deleteFromList(classes->obj(0));
    }, "NL project template");
    p = loadAndCalcStartProject(1043);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getValueWithID(valTemplate)->getAsString(), QStringLiteral("NL project template"));
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("Something went wrong! Evaluate input values")});
}

TEST_F(ProjectFilesTest, StartWithoutDefaultSubsidyStopsNamingTheFolder) {
    writeGoodTemplate({}, "Default project template");
    QFile::remove(subsidyDir() + QStringLiteral("/Default Subsidy.base.xml"));
    try {
        loadStartProject(2057);
        FAIL() << "the start needs rules";
    } catch (const THaltRequest& halt) {
        EXPECT_EQ(halt.fExitCode, 1);
    }
    const QStringList shown = takeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QDir::toNativeSeparators(subsidyDir()))) << shown[0].toStdString();
}

TEST_F(ProjectFilesTest, ListingsShowBaseXmlFilesByName) {
    writeFile(projectTemplateDir() + QStringLiteral("/notes.txt"), "x");
    writeFile(projectTemplateDir() + QStringLiteral("/A first.base.xml"), "x");
    EXPECT_EQ(baseXmlNames(projectTemplateDir()), (QStringList{QStringLiteral("A first"), QStringLiteral("Good template")}));
    EXPECT_TRUE(baseXmlNames(path("nowhere")).isEmpty());
}

} // namespace
} // namespace fmxtest

namespace fmxtest {
namespace {

TEST_F(ProjectFilesTest, ResultsAreStoredAsComputedNotAsTheFileRoundedThem) {
    std::unique_ptr<TProject> first = createProject(projectTemplateDir(), QStringLiteral("Good template"), kDefaultSubsidyName);
    ASSERT_TRUE(first);
    // The file holds the results with 15 digits; calculating the loaded project must give the
    // engine's numbers again, not keep the rounded ones as "unchanged".
    first->saveToFile(projectTemplateDir() + QStringLiteral("/Calculated"), true, sxt_ForFileStorage);
    std::unique_ptr<TProject> again = createProject(projectTemplateDir(), QStringLiteral("Calculated"), kDefaultSubsidyName);
    ASSERT_TRUE(again);
    int compared = 0;
    for (int32_t def : {defBiomassOut, defInstallationOut, defExploitationOut}) {
        TDataObj* a = first->getSubObjWithDefID(def);
        TDataObj* b = again->getSubObjWithDefID(def);
        for (int i = 0; i < a->ValueCount(); ++i, ++compared)
            EXPECT_EQ(a->value(i)->getAsFloat(), b->value(i)->getAsFloat()) << a->value(i)->Definition()->XMLName().toStdString();
    }
    EXPECT_GT(compared, 100);
}

} // namespace
} // namespace fmxtest

namespace fmxtest {
namespace {

TEST_F(ProjectFilesTest, AnEditThatBreaksTheInputsFailsTheCalculationInsteadOfThrowing) {
    std::unique_ptr<TProject> p = createProject(projectTemplateDir(), QStringLiteral("Good template"), kDefaultSubsidyName);
    ASSERT_TRUE(p);
    const double npv = npvOf(*p);
    TDataObjList* classes = p->getSubObjWithDefID(defAdminVars)->getListWithID(ldefAdmPconnectList);
    EXPECT_NO_THROW(classes->deleteFromList(classes->obj(0)));
    EXPECT_TRUE(p->recalcNeeded());
    EXPECT_EQ(npvOf(*p), npv) << "the results stay as they were";
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("Unsuccessful calculation! Evaluate input values.")});
    EXPECT_TRUE(lastCalcError().contains(QStringLiteral("six entries"))) << lastCalcError().toStdString();
}

} // namespace
} // namespace fmxtest
