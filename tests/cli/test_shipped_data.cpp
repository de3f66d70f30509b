// The installation data as it ships: every project template loads, passes its checks, calculates
// plausibly; the generated files are the same on every run; the language files cover every text.
#include "../project/files_project_fixture.h"

#include "app_start.h"
#include "cli.h"
#include "catalogue.h"
#include "textkeys.h"
#include "translate.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>
#include <iostream>

namespace fmxtest {
namespace {

const QString kShipped = QStringLiteral(FMX_SHIPPED_PROGRAM_DIR "/");

class ShippedDataTest : public ProgramFolderTest {
protected:
    QString programDir() const override { return kShipped; }

    std::unique_ptr<TProject> newProject(const QString& name) {
        std::unique_ptr<TProject> p = createProject(projectTemplateDir(), name, kDefaultSubsidyName);
        EXPECT_TRUE(p) << name.toStdString() << ": " << takeMessages().join(QLatin1Char(' ')).toStdString();
        return p;
    }
    static TAbstractDataValue* out(TProject& p, const char* xml) {
        for (int32_t def : {defBiomassOut, defInstallationOut, defExploitationOut})
            if (TAbstractDataValue* v = p.getSubObjWithDefID(def)->getValueWithXML(QLatin1String(xml))) return v;
        ADD_FAILURE() << "no output " << xml;
        static TAbstractDataValue* none = nullptr;
        return none;
    }
    static double outValue(TProject& p, const char* xml) {
        TAbstractDataValue* v = out(p, xml);
        return v ? v->getAsFloat() : std::nan("");
    }
};

const char* const kTemplates[] = {"UK project template", "NL project template", "DE project template",
                                  "FR project template", "IT project template", "PL project template",
                                  "ET project template", "US project template", "Default project template"};
const char* const kCaseSuffix[] = {"_chp", "_chp_heat", "_biomethane", "_b_ext_heat"};
const char* const kCaseInvestment[] = {"chp_investment", "chp_heat_investment", "biomethane_investment",
                                       "biomethane_ext_heat_investment"};

void expectAllFinite(TDataObj* obj, const QString& at) {
    for (int i = 0; i < obj->ValueCount(); ++i) {
        TAbstractDataValue* v = obj->value(i);
        const TDataValueType t = v->Definition()->ValueType();
        if (t == dvtFloat || t == dvtFloat0 || t == dvtFloat1 || t == dvtFloat2) {
            EXPECT_TRUE(std::isfinite(v->getAsFloat()))
                << at.toStdString() << "." << v->Definition()->XMLName().toStdString();
        }
    }
    for (int i = 0; i < obj->objCount(); ++i) expectAllFinite(obj->obj(i), at + QLatin1Char('.') + obj->obj(i)->Definition()->XMLName());
    for (int l = 0; l < obj->ListCount(); ++l)
        for (int i = 0; i < obj->list(l)->objCount(); ++i) expectAllFinite(obj->list(l)->obj(i), at);
}

TEST_F(ShippedDataTest, EveryTemplateShipsLoadsAndCalculatesToFiniteOutputs) {
    EXPECT_EQ(baseXmlNames(projectTemplateDir()).size(), std::size(kTemplates));
    EXPECT_TRUE(baseXmlNames(subsidyDir()).contains(kDefaultSubsidyName));
    ASSERT_TRUE(loadProjectSub(subsidyDir(), kDefaultSubsidyName)) << "Default Subsidy passes its check";
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        std::unique_ptr<TProject> p = newProject(QString::fromUtf8(name));
        if (!p) continue;
        EXPECT_FALSE(p->recalcNeeded());
        EXPECT_NE(p->getSubObjWithDefID(defAdminVars)->getValueWithID(valAdmPRESSaverage)->getAsFloat(), 0.0);
        for (int32_t def : {defBiomassOut, defInstallationOut, defExploitationOut, defFinanceOut})
            expectAllFinite(p->getSubObjWithDefID(def), QStringLiteral("out"));
    }
}

TEST_F(ShippedDataTest, EachLanguageStartsFromItsCountrysTemplateAndCalculates) {
    const std::pair<int, const char*> cases[] = {{2057, "UK project template"}, {1043, "NL project template"},
                                                 {2067, "NL project template"}, {1031, "DE project template"},
                                                 {1036, "FR project template"}, {1040, "IT project template"},
                                                 {1045, "PL project template"}, {1061, "ET project template"},
                                                 {1033, "US project template"}, {1049, "Default project template"}};
    for (const auto& [language, name] : cases) {
        std::unique_ptr<TProject> p = loadAndCalcStartProject(language);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->getValueWithID(valTemplate)->getAsString(), QString::fromUtf8(name)) << language;
        EXPECT_EQ(p->getValueWithID(valSubsidyFileName)->getAsString(), kDefaultSubsidyName) << language;
        EXPECT_FALSE(p->recalcNeeded()) << language;
        EXPECT_TRUE(takeMessages().isEmpty()) << language;
    }
}

TEST_F(ShippedDataTest, GasProductionFollowsTheSubstrateData) {
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        std::unique_ptr<TProject> p = newProject(QString::fromUtf8(name));
        if (!p) continue;
        double biogas = 0, methane = 0;
        TDataObj* biomass = p->getSubObjWithDefID(defBiomassIn);
        for (int32_t list : {ldefSubstrateManureList, ldefSubstrateCosubList}) {
            TDataObjList* rows = biomass->getListWithID(list);
            for (int i = 0; i < rows->objCount(); ++i) {
                TDataObj* row = rows->obj(i);
                TDataObj* rec = row->getValueWithID(list == ldefSubstrateManureList ? valSubstrateManureAdmRef
                                                                                      : valSubstrateCosubAdmRef)
                                    ->getAsReference();
                ASSERT_TRUE(rec);
                const double gas = row->getValueWithID(valMsub_i)->getAsFloat() *
                                   rec->getValueWithID(valAdmODM)->getAsFloat() / 100 *
                                   rec->getValueWithID(valAdmBiogasProd)->getAsFloat();
                biogas += gas;
                methane += gas * rec->getValueWithID(valAdmCH4)->getAsFloat() / 100;
            }
        }
        ASSERT_GT(biogas, 0);
        EXPECT_NEAR(outValue(*p, "Biogas_nm3") / biogas, 1.0, 0.10);
        EXPECT_NEAR(outValue(*p, "Methane") / methane, 1.0, 0.10);
    }
}

TEST_F(ShippedDataTest, CombinedHeatAndPowerSizesEfficienciesAndCostsArePlausible) {
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        std::unique_ptr<TProject> p = newProject(QString::fromUtf8(name));
        if (!p) continue;
        const double kw = outValue(*p, "Pchp_el");
        const double eta = outValue(*p, "PEReff_chp_elec");
        // Money is shown in zloty in a Polish project.
        TDataObj* exploitation = p->getSubObjWithDefID(defExploitationIn);
        const bool polish = exploitation->getValueWithID(valfinancial_aspects_country)->getAsInteger() == 6; // Poland
        const double perEuro = polish ? exploitation->getValueWithID(valfinancial_aspects_convpln)->getAsFloat() : 1.0;
        const double specific = outValue(*p, "chp_investment") / perEuro / kw;
        EXPECT_GE(eta, 30.0);
        EXPECT_LE(eta, 43.0);
        if (kw >= 50 && kw <= 2000) {
            EXPECT_GE(specific, 2500.0) << kw << " kW";
            EXPECT_LE(specific, 9000.0) << kw << " kW";
        }
        // The best case by net present value (the earlier one on a tie), as the report names it.
        int best = 0;
        double bestNpv = -INFINITY;
        TDataObj* finance = p->getSubObjWithDefID(defFinanceOut);
        for (int c = 0; c < 4; ++c) {
            const double npv = finance->obj(c)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat();
            if (npv > bestNpv) {
                bestNpv = npv;
                best = c;
            }
        }
        const double payback = outValue(*p, (std::string("simply_payback_time") + kCaseSuffix[best]).c_str());
        const char* money = polish ? " PLN" : " EUR";
        std::cout << name << ": " << kw << " kWe, CHP investment " << std::lround(outValue(*p, "chp_investment"))
                  << money << " (" << std::lround(specific) << " EUR/kWe), best case " << best << " investment "
                  << std::lround(outValue(*p, kCaseInvestment[best])) << money << ", payback " << payback
                  << " years, NPV " << std::lround(bestNpv) << money << "\n";
        if (QLatin1String(name) == QLatin1String("Default project template")) {
            EXPECT_GE(payback, 3.0);
            EXPECT_LE(payback, 15.0);
            EXPECT_GT(bestNpv, 0.0);
        }
    }
}

TEST(ShippedFiles, TheGeneratorWritesTheSameBytesEveryRun) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    for (const char* run : {"a", "b"}) {
        QProcess gen;
        gen.start(QStringLiteral(FMX_CLI_PATH), {QStringLiteral("build-data"), QStringLiteral("--sources"),
                                                 QStringLiteral(FMX_DATA_SOURCES_DIR), QStringLiteral("--out"),
                                                 tmp.filePath(QString::fromUtf8(run))});
        ASSERT_TRUE(gen.waitForFinished(120000));
        ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    }
    int files = 0;
    QDirIterator it(tmp.filePath(QStringLiteral("a")), {QStringLiteral("*.base.xml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString a = it.next();
        const QString rel = QDir(tmp.filePath(QStringLiteral("a"))).relativeFilePath(a);
        QFile fa(a), fb(tmp.filePath(QStringLiteral("b/") + rel)), shipped(kShipped + rel);
        ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly)) << rel.toStdString();
        const QByteArray bytes = fa.readAll();
        EXPECT_EQ(bytes, fb.readAll()) << rel.toStdString();
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << rel.toStdString();
        EXPECT_EQ(bytes, shipped.readAll()) << rel.toStdString() << " is as the build shipped it";
        ++files;
    }
    EXPECT_EQ(files, 11) << "global data, nine templates, Default Subsidy";
}

TEST_F(ShippedDataTest, LanguageFilesCoverEveryTextOfTheBaseCatalogue) {
    cli::registerAllTexts();
    const TCatalogue base = buildBaseCatalogue();
    for (const char* file : {"nl.lng", "de.lng"}) {
        SCOPED_TRACE(file);
        const TCatalogue cat = readCatalogue(kShipped + QStringLiteral("Translate/") + QLatin1String(file));
        QStringList missing, stale;
        for (const auto& entry : base.entries())
            if (cat.text(entry.first).isEmpty()) missing << entry.first;
        for (const auto& entry : cat.entries())
            if (!base.contains(entry.first)) stale << entry.first;
        EXPECT_TRUE(missing.isEmpty()) << "without translation: " << missing.join(QStringLiteral(", ")).toStdString();
        EXPECT_TRUE(stale.isEmpty()) << "not in the program: " << stale.join(QStringLiteral(", ")).toStdString();
    }
}

TEST_F(ShippedDataTest, EveryTranslatedLiteralOfTheSourcesIsInTheBaseCatalogue) {
    cli::registerAllTexts();
    const TCatalogue base = buildBaseCatalogue();
    static const QRegularExpression literal(QStringLiteral(R"re(\b(?:dmTl|tl|tlc)\(QStringLiteral\("((?:[^"\\]|\\.)*)"\))re"));
    QDirIterator it(QStringLiteral(FMX_SOURCE_DIR "/src"), {QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = literal.globalMatch(text); m.hasNext();) {
            QString s = m.next().captured(1);
            s.replace(QStringLiteral("\\\""), QStringLiteral("\"")).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            EXPECT_TRUE(base.contains(textKey(s))) << f.fileName().toStdString() << ": \"" << s.toStdString() << "\" is not registered";
            ++seen;
        }
    }
    EXPECT_GT(seen, 5);
}

} // namespace
} // namespace fmxtest
