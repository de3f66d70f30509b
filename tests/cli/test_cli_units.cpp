// The pieces of the command-line tool: CSV sources, value paths, number texts and the JSON and CSV
// outputs of a calculated project.
#include "cli.h"
#include "datagen.h"

#include "../project/bridge_project.h"
#include "../project/project_fixture.h"
#include "bgx_fixture.h"
#include "value_paths.h"

#include "errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace fmxtest {
namespace {

using namespace fmx::cli;

TEST(CliCsv, QuotingCommentsAndLineNumbers) {
    const TCsvTable t = parseCsv(QStringLiteral("# comment\n"
                                                "path,text,source\n"
                                                "\n"
                                                "A.b,1.5,x\r\n"
                                                "A.c,\"Maize, \"\"silage\"\"\",\"two\nlines\"\n"
                                                "A.d,,\n"
                                                "A.e,7"),
                                 QStringLiteral("f.csv"));
    EXPECT_EQ(t.fHeader, (QStringList{QStringLiteral("path"), QStringLiteral("text"), QStringLiteral("source")}));
    ASSERT_EQ(t.fRows.size(), 4u);
    EXPECT_EQ(t.fRows[0].first, 4);
    EXPECT_EQ(t.fRows[1].second.value(1), QStringLiteral("Maize, \"silage\""));
    EXPECT_EQ(t.fRows[1].second.value(2), QStringLiteral("two\nlines"));
    EXPECT_EQ(t.fRows[2].first, 7) << "a quoted line break counts as a line";
    EXPECT_EQ(t.fRows[2].second, (QStringList{QStringLiteral("A.d"), QString(), QString()}));
    EXPECT_EQ(t.fRows[3].second, (QStringList{QStringLiteral("A.e"), QStringLiteral("7")}));
}

TEST(CliCsv, MalformedFilesNameFileAndLine) {
    const struct {
        const char* text;
        const char* why;
    } cases[] = {{"a,b\n1,\"open\n", "f.csv, line 2: a quoted field is not closed"},
                 {"a,b\n1,\"x\"y\n", "f.csv, line 2: text follows a closing quote"},
                 {"a,b\n1,2,3\n", "f.csv, line 2: 3 fields, the header has 2"},
                 {"# only a comment\n", "f.csv, line 1: the file has no header line"}};
    for (const auto& c : cases) {
        try {
            parseCsv(QString::fromUtf8(c.text), QStringLiteral("f.csv"));
            ADD_FAILURE() << c.text;
        } catch (const TBaseDataError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.why));
        }
    }
}

TEST(CliNumbers, ShortestTextReadsBackExactly) {
    for (double v : {0.0, -0.0, 0.1 + 0.2, 1.0 / 3.0, 4.7e-08, -1.7976931348623157e308, 5e-324, 1234567.0})
        EXPECT_EQ(numberText(v).toDouble(), v) << numberText(v).toStdString();
    EXPECT_EQ(numberText(0.25), QStringLiteral("0.25"));
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("null"));
}

class CliProjectTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        setProjectCalcFunction(nullptr);
        fillReferenceProject(*newProject());
        installProjectCalc();
        ASSERT_TRUE(project->calc(nullptr));
    }
};

TEST_F(CliProjectTest, PathsReachValuesAndListRowsAndNameTheMissingStep) {
    EXPECT_EQ(findValueByPath(project.get(), QStringLiteral("EnergyIn.Lfeed_elec")),
              val("EnergyIn", "Lfeed_elec"));
    TDataObj* firstCosub = sub("BiomassIn")->getListWithID(ldefSubstrateCosubList)->obj(0);
    EXPECT_EQ(findValueByPath(project.get(), QStringLiteral("BiomassIn.SubstrateCosubList[1].Msub_i")),
              firstCosub->getValueWithID(valMsub_i));
    EXPECT_EQ(findValueByPath(project.get(), QStringLiteral("Template")), project->getValueWithID(valTemplate));
    const struct {
        const char* path;
        const char* why;
    } bad[] = {{"EnergyIn.Nothing", "\"EnergyIn.Nothing\": there is no value \"Nothing\""},
               {"Energy.Lfeed_elec", "\"Energy.Lfeed_elec\": there is no object \"Energy\""},
               {"BiomassIn.SubstrateCosubList[99].Msub_i", "the list \"SubstrateCosubList\" has"},
               {"BiomassIn.SubstrateCosubList[0].Msub_i", "not a row 0"},
               {"EnergyIn..Lfeed_elec", "a name is missing"},
               {"EnergyIn.", "the value name is missing"}};
    for (const auto& c : bad) {
        try {
            findValueByPath(project.get(), QString::fromUtf8(c.path));
            ADD_FAILURE() << c.path;
        } catch (const TBaseDataError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.why))) << e.message().toStdString();
        }
    }
}

TEST_F(CliProjectTest, RefusedTextsKeepTheValueAndSayWhy) {
    TAbstractDataValue* v = val("EnergyIn", "Lfeed_elec");
    const double before = v->getAsFloat();
    for (const char* text : {"lots", "-1e400", ""}) {
        try {
            setValueText(v, QString::fromUtf8(text), QStringLiteral("EnergyIn.Lfeed_elec"));
            if (*text != '\0') ADD_FAILURE() << text;
        } catch (const TBaseDataError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("\"EnergyIn.Lfeed_elec\": \""))) << e.message().toStdString();
        }
        EXPECT_EQ(v->getAsFloat(), *text == '\0' ? v->getAsFloat() : before) << text;
    }
}

TEST_F(CliProjectTest, JsonHoldsEveryOutputAtFullPrecision) {
    const QJsonDocument doc = QJsonDocument::fromJson(outputsAsJson(*project).toUtf8());
    ASSERT_TRUE(doc.isObject());
    const QJsonObject o = doc.object();
    EXPECT_TRUE(o.value(QStringLiteral("ok")).toBool());
    for (const char* group : {"BiomassOut", "InstallationOut", "ExploitationOut"}) {
        TDataObj* obj = sub(group);
        const QJsonObject g = o.value(QLatin1String(group)).toObject();
        ASSERT_EQ(g.size(), obj->ValueCount()) << group;
        for (int i = 0; i < obj->ValueCount(); ++i)
            EXPECT_EQ(g.value(obj->value(i)->Definition()->XMLName()).toDouble(), obj->value(i)->getAsFloat())
                << group << "." << obj->value(i)->Definition()->XMLName().toStdString();
    }
    const QJsonObject finance = o.value(QStringLiteral("FinanceOut")).toObject();
    EXPECT_TRUE(finance.contains(QStringLiteral("DummyCalc")));
    for (const char* c : {"finance_chp", "finance_chp_heat", "finance_biomethane", "finance_biomethane_ext_heat"}) {
        const QJsonObject fc = finance.value(QLatin1String(c)).toObject();
        for (const char* v : {"finance_spl", "finance_npv", "finance_irr"}) EXPECT_TRUE(fc.value(QLatin1String(v)).isDouble()) << c << v;
        const QJsonArray years = fc.value(QStringLiteral("FinanceYearList")).toArray();
        ASSERT_EQ(years.size(), 22) << c;
        EXPECT_FALSE(years[5].toObject().isEmpty());
    }
    const double npv = sub("FinanceOut")->obj(0)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat();
    EXPECT_EQ(finance.value(QStringLiteral("finance_chp")).toObject().value(QStringLiteral("finance_npv")).toDouble(), npv);
}

TEST_F(CliProjectTest, CsvNamesEveryOutputByPath) {
    const QStringList lines = outputsAsCsv(*project).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), QStringLiteral("path,value"));
    const double npv = sub("FinanceOut")->obj(0)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat();
    EXPECT_TRUE(lines.contains(QStringLiteral("FinanceOut.finance_chp.finance_npv,") + numberText(npv)));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& l) {
        return l.startsWith(QStringLiteral("FinanceOut.finance_biomethane_ext_heat.FinanceYearList[22]."));
    }));
}

} // namespace
} // namespace fmxtest
