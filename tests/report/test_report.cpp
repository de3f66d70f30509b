// The HTML report of a calculated project, its folder and its PDF, on the shipped template.
#include "report.h"

#include "report_errors.h"
#include "report_texts.h"

#include "bgx_fixture.h"
#include "bridge_project.h"

#include "dataobj.h"
#include "datavalue.h"
#include "definitions.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmformat.h"
#include "dmhooks.h"
#include "errors.h"
#include "project_calc.h"
#include "project_schema.h"
#include "textkeys.h"
#include "translate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

using namespace fmx;

namespace {

const QString kTemplateDir = QStringLiteral(FMX_TEST_REPORT_TEMPLATE_DIR);

QString q(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeText(const QString& fileName, const QByteArray& data) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// The HTML of the innermost table whose title cell holds title (the first such table).
QString tableWithTitle(const QString& html, const QString& title) {
    const qsizetype at = html.indexOf(QStringLiteral(">") + title + QStringLiteral("</td>"));
    if (at < 0) return {};
    const qsizetype start = html.lastIndexOf(QStringLiteral("<table"), at);
    qsizetype depth = 0;
    for (qsizetype i = start; i < html.size(); ++i) {
        if (html.mid(i, 6) == QLatin1String("<table")) ++depth;
        if (html.mid(i, 8) == QLatin1String("</table>") && --depth == 0)
            return html.mid(start, i + 8 - start);
    }
    return {};
}

qsizetype rowCount(const QString& tableHtml) {
    return tableHtml.count(QStringLiteral("<tr"));
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fTemp.isValid());
        initFormatSettings(QLocale::c());
        resetTranslation();
        setDmErrorSink([](const QString&) {});
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
        fReg = TdmData::create();
        dmProjectCreateDefs();
        setProjectCalcFunction(nullptr);
        fProject = fmxtest::newReferenceProject();
        installProjectCalc();
        ASSERT_TRUE(calcProject(*fProject, nullptr));
    }
    void TearDown() override {
        fProject.reset();
        fReg.reset();
        setProjectCalcFunction(nullptr);
        setDmErrorSink(nullptr);
        resetTranslation();
    }

    TDataObj* sub(const char* xml) const { return fProject->getSubObjWithXML(q(xml)); }
    TAbstractDataValue* val(const char* objXml, const char* valXml) const {
        return sub(objXml)->getValueWithXML(q(valXml));
    }
    TDataObj* financeCase(int c) const { return sub("FinanceOut")->obj(c); }
    TDataObjList* years(int c) const { return financeCase(c)->getListWithID(ldefFinanceYearList); }
    void setInputs(const std::function<void()>& edit) { withRecalcSuspended(fProject.get(), edit); }

    QString report() { return createReport(*fProject, kTemplateDir, fTemp.path()); }
    QString path(const char* name) const { return fTemp.filePath(q(name)); }

    QTemporaryDir fTemp;
    std::unique_ptr<TdmData> fReg;
    std::unique_ptr<TProject> fProject;
};

TEST_F(ReportTest, HeadingsTablesAndPlaceholdersComeInOrder) {
    const QString html = report();
    EXPECT_FALSE(html.contains(QStringLiteral("$$")));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Fermalux - </title>")))
        << "a never saved project has no title";
    EXPECT_TRUE(html.contains(QStringLiteral("Cumulative CashFlow for each case")));
    EXPECT_TRUE(html.contains(QStringLiteral("Report generated ")));
    // Both folders as file URLs: the template's style sheet and the charts just drawn.
    EXPECT_TRUE(html.contains(QUrl::fromLocalFile(kTemplateDir).toString(QUrl::FullyEncoded) +
                              QStringLiteral("/report.css")));
    EXPECT_TRUE(html.contains(QUrl::fromLocalFile(fTemp.path()).toString() +
                              QStringLiteral("/rep_finance_chart_biomethane_ext_heat.gif")));

    const char* const inOrder[] = {"<h1>Bio-energy scan</h1><br>",
                                   "Name:",
                                   "Email address:",
                                   "<h1>Summary</h1><br>",
                                   "The following options are included",
                                   "Nett present value: <b>",
                                   "<h1>User Input</h1><br>",
                                   ">Biomass substrates<",
                                   ">Biomass (more)<",
                                   ">Energy<",
                                   ">Installation<",
                                   ">Storage<",
                                   ">Costs<",
                                   ">Parameters of escalation<",
                                   "<h1>Output Result Data</h1><br>",
                                   ">Biomass<",
                                   ">Overview of capacity of storage facilities<",
                                   ">Energy<",
                                   ">Investment overview<",
                                   ">Quick Results - Electricity<",
                                   ">Quick Results - Electricity with heat delivery<",
                                   ">Quick Results - Biomethane<",
                                   ">Quick Results - Biomethane with heat supplier<",
                                   "<h1>Conclusions</h1><br>",
                                   "The payback period, based on the cashflow, is",
                                   "<h1>Next steps</h1><br>",
                                   "Your Veldra expert can assist you with this task.",
                                   "your global time planning could look like",
                                   ">Start of the construction work<"};
    qsizetype from = 0;
    for (const char* part : inOrder) {
        const qsizetype at = html.indexOf(q(part), from);
        ASSERT_GE(at, 0) << part << " missing after position " << from;
        from = at + 1;
    }

    // Rows of the tables whose shape does not depend on the options.
    const std::pair<const char*, qsizetype> rows[] = {
        {"Biomass substrates", 4}, // title, column titles, one manure, one co-substrate
        {"Biomass (more)", 3},
        {"Parameters of escalation", 7},
        {"Investment overview", 24},
        {"Quick Results - Electricity", 19},
        {"Quick Results - Electricity with heat delivery", 19},
        {"Biomass", 10},
    };
    for (const auto& [title, count] : rows)
        EXPECT_EQ(rowCount(tableWithTitle(html, q(title))), count) << title;
    const QString substrates = tableWithTitle(html, QStringLiteral("Biomass substrates"));
    EXPECT_TRUE(substrates.contains(QStringLiteral("<tr class=\"tablecolumnheader\">")));
    EXPECT_TRUE(substrates.contains(QStringLiteral("Costs (EUR/ton)")));
    EXPECT_TRUE(substrates.contains(QStringLiteral(">Maize silage<")));
    const QString investment = tableWithTitle(html, QStringLiteral("Investment overview"));
    EXPECT_TRUE(investment.contains(QStringLiteral("<td><b>Total:</b></td>")));
    // Without a description the extra investment keeps its caption as label.
    EXPECT_TRUE(investment.contains(QStringLiteral("<td>Extra investment:</td>")));
    // Two-column containers hold no line breaks of their inner tables.
    const qsizetype two = html.indexOf(QStringLiteral("<table class=\"tabletwocolumns\">"));
    ASSERT_GE(two, 0);
    EXPECT_FALSE(
        html.mid(two, html.indexOf(QStringLiteral("<br>"), two) - two).contains(QStringLiteral("<BR>")));
    EXPECT_EQ(html.count(QStringLiteral("tabletwocolumns")), 3);

    const QString planning = tableWithTitle(html, QStringLiteral("Month"));
    EXPECT_EQ(rowCount(planning), 8);
    EXPECT_TRUE(
        planning.contains(QStringLiteral("<td>Permits</td>\r\n<td>&nbsp;</td>\r\n<td>V</td>\r\n"
                                         "<td>V</td>\r\n<td>V</td>\r\n<td>V</td>\r\n<td>&nbsp;</td>")));
}

TEST_F(ReportTest, OptionsDecideTheStorageCapacityCostAndInstallationRows) {
    struct Case {
        bool sep, dry, ufro, past;
        qsizetype storage, capacity, costs, installation;
        bool dryingOption, thinOption;
    };
    const Case cases[] = {
        {false, false, false, false, 7, 7, 8, 9, false, false},
        {true, false, false, true, 9, 9, 10, 13, false, false},
        {true, true, true, true, 13, 13, 14, 13, true, true},
        // Drying and UF/RO without separation: their storage and costs still show, the options not.
        {false, true, true, false, 11, 11, 12, 9, false, false},
    };
    for (const Case& c : cases) {
        setInputs([&] {
            val("InstallationIn", "Apply_sep")->setAsBoolean(c.sep);
            val("InstallationIn", "Apply_dry")->setAsBoolean(c.dry);
            val("InstallationIn", "Apply_UFRO")->setAsBoolean(c.ufro);
            val("InstallationIn", "Apply_past")->setAsBoolean(c.past);
        });
        const QString html = report();
        SCOPED_TRACE(testing::Message() << "sep " << c.sep << " dry " << c.dry << " ufro " << c.ufro);
        EXPECT_EQ(rowCount(tableWithTitle(html, QStringLiteral("Storage"))), c.storage);
        EXPECT_EQ(
            rowCount(tableWithTitle(html, QStringLiteral("Overview of capacity of storage facilities"))),
            c.capacity);
        EXPECT_EQ(rowCount(tableWithTitle(html, QStringLiteral("Costs"))), c.costs);
        EXPECT_EQ(rowCount(tableWithTitle(html, QStringLiteral("Installation"))), c.installation);
        EXPECT_EQ(html.contains(QStringLiteral("<li>Pasteurisation</li>")), c.past);
        EXPECT_EQ(html.contains(QStringLiteral("<li>Mechanical separation</li>")), c.sep);
        EXPECT_EQ(html.contains(QStringLiteral("<li>Drying of the thick fraction of the digestate</li>")),
                  c.dryingOption);
        EXPECT_EQ(html.contains(QStringLiteral("<li>Processing of the thin fraction of the digestate</li>")),
                  c.thinOption);
    }
}

TEST_F(ReportTest, WithoutManureTheSubstrateTableHasNoColumnTitles) {
    TDataObjList* manure = sub("BiomassIn")->getListWithID(ldefSubstrateManureList);
    setInputs([&] {
        while (manure->objCount() > 0)
            manure->removeObject(manure->obj(0), false);
    });
    const QString substrates = tableWithTitle(report(), QStringLiteral("Biomass substrates"));
    EXPECT_EQ(rowCount(substrates), 2);
    EXPECT_FALSE(substrates.contains(QStringLiteral("tablecolumnheader")));
    EXPECT_TRUE(substrates.contains(QStringLiteral(
        "<td>Maize silage</td>\r\n<td>&nbsp;</td>\r\n<td>&nbsp;</td>\r\n<td>&nbsp;</td>\r\n")));
}

TEST_F(ReportTest, PolishProjectsShowPLNInTheMoneyColumnsOnly) {
    // A summary row's unit is shown as defined, even when it names euro.
    val("ExploitationOut", "chp_investment")->Definition()->setUnitDescr(QStringLiteral("EUR total"));
    const auto check = [&](bool pln) {
        const QString html = report();
        const QString cur = pln ? QStringLiteral("PLN") : QStringLiteral("EUR");
        EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Biomass substrates"))
                        .contains(QStringLiteral("Costs (") + cur + QStringLiteral("/ton)")));
        EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Installation"))
                        .contains(QStringLiteral("<td>") + cur + QStringLiteral("/ha</td>")));
        const QString investment = tableWithTitle(html, QStringLiteral("Investment overview"));
        EXPECT_TRUE(investment.contains(QStringLiteral("<td><b>") + cur + QStringLiteral("</b></td>")));
        EXPECT_EQ(investment.contains(QStringLiteral("EUR")), !pln);
        EXPECT_EQ(tableWithTitle(html, QStringLiteral("Costs")).contains(QStringLiteral("EUR")), !pln);
        EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Quick Results - Electricity"))
                        .contains(QStringLiteral("<td>EUR total</td>")));
    };
    check(false);
    setInputs([&] {
        val("ExploitationIn", "financial_aspects_country")->setAsInteger(6);
        val("ExploitationIn", "financial_aspects_convpln")->setAsFloat(4);
    });
    check(true);
}

TEST_F(ReportTest, TheBestCaseIsTheFirstWithTheHighestNetPresentValue) {
    struct Case {
        std::array<double, 4> npv;
        bool upgrade;
        const char* form;
        const char* npvText;
    };
    const Case cases[] = {
        {{5, 5, 5, 5}, true, "electricity", "5"},
        {{1, 2, 2, 1}, true, "electricity and heat delivery", "2"},
        {{1, 1, 3.5, 1}, true, "biomethane", "4"},
        {{1, 1, 2.5, 1}, false, "biogas", "2"},
        {{-9, -9, -9, -8}, true, "biomethane with heatconsumption of a third party", "-8"},
        {{-9, -9, -9, -8}, false, "biogas with heatconsumption of a third party", "-8"},
    };
    for (const Case& c : cases) {
        setInputs([&] { val("EnergyIn", "Apply_upgrade")->setAsBoolean(c.upgrade); });
        for (int k = 0; k < 4; ++k)
            financeCase(k)->getValueWithXML(QStringLiteral("finance_npv"))->setAsFloat(c.npv[k]);
        const QString html = report();
        SCOPED_TRACE(c.form);
        EXPECT_TRUE(html.contains(QStringLiteral("delivered in the form of <b>") + q(c.form) +
                                  QStringLiteral("</b>.<br>")));
        EXPECT_TRUE(html.contains(QStringLiteral("The most profitable case is <b>") + q(c.form) +
                                  QStringLiteral("</b>.")));
        EXPECT_TRUE(html.contains(QStringLiteral("<li>Nett present value: <b>") + q(c.npvText) +
                                  QStringLiteral("</b></li>")));
        EXPECT_EQ(html.contains(QStringLiteral("<li>Upgrade biogas to biomethane</li>")), c.upgrade);
    }
}

TEST_F(ReportTest, PaybackDecidesTheVerdict) {
    // Electricity is made the best case; its cumulative cash flow (excluding amortisation) is set.
    struct Case {
        double firstPositive; // position of the first positive year, -1 for none
        double maxPayback;
        const char* payback;
        bool profitable;
    };
    const Case cases[] = {
        {-1, 15, "999", false}, {-1, 999, "999", true}, {0, 0, "-1", true}, // the first year already positive
        {6, 5, "5", true},      {7, 5, "6", false},
    };
    TDataObjList* list = years(0);
    ASSERT_GT(list->objCount(), 8);
    for (const Case& c : cases) {
        // The input first: it recalculates the project, which rewrites the year list.
        setInputs([&] { val("AdminVars", "AdmMaxPaybackPeriod")->setAsFloat(c.maxPayback); });
        for (int i = 0; i < list->objCount(); ++i)
            list->obj(i)
                ->getValueWithXML(QStringLiteral("cas_res_cumulative_cashflow_excl"))
                ->setAsFloat(c.firstPositive >= 0 && i >= c.firstPositive ? 100.0 * (i + 1) : -1000.0 + i);
        financeCase(0)->getValueWithXML(QStringLiteral("finance_npv"))->setAsFloat(1e12);
        EXPECT_EQ(firstYearPositiveCumCashflowExcl(*list), c.firstPositive < 0 ? QString() : q(c.payback));
        const QString html = report();
        SCOPED_TRACE(c.payback);
        const QString word =
            c.profitable ? QStringLiteral("\"profitable\"") : QStringLiteral("\"not profitable\"");
        EXPECT_TRUE(html.contains(QStringLiteral("<li>Payback period (based on the cashflow): <b>") +
                                  q(c.payback) + QStringLiteral("</b></li>")));
        EXPECT_TRUE(
            html.contains(QStringLiteral("your situation is:&nbsp;<b>") + word + QStringLiteral("</b>.")));
        EXPECT_TRUE(html.contains(QStringLiteral("concluded that a biogasinstallation is&nbsp;<b>") + word));
        EXPECT_TRUE(html.contains(QStringLiteral("based on the cashflow, is <b>") + q(c.payback) +
                                  QStringLiteral("</b> years.")));
    }
}

TEST_F(ReportTest, AreaAndManHoursAreRoundedOrUnknown) {
    setInputs([&] {
        val("InstallationIn", "land_c1_user")->setAsFloat(40000);
        val("ExploitationIn", "financial_aspects_relperscost")->setAsFloat(25);
    });
    val("InstallationOut", "Land_CHP")->setAsFloat(100000);                              // 2.5 ha -> 25000 m2
    val("ExploitationOut", "out_personnel_cost_b_ext_heat")->setAsFloat(25 * 52 * 10.5); // halves to even
    QString html = report();
    EXPECT_TRUE(html.contains(QStringLiteral("building area of approximately <b>25000</b> m2.")));
    EXPECT_TRUE(html.contains(QStringLiteral("Approximately <b>10</b> man-hours per week")));
    setInputs([&] {
        val("InstallationIn", "land_c1_user")->setAsFloat(0);
        val("ExploitationIn", "financial_aspects_relperscost")->setAsFloat(0);
    });
    html = report();
    EXPECT_TRUE(html.contains(QStringLiteral("building area of approximately <b>\"unknown\"</b> m2.")));
    EXPECT_TRUE(html.contains(QStringLiteral("Approximately <b>\"unknown\"</b> man-hours")));
}

// The report inserts typed texts as text: markup in them shows as typed and cannot break the page.
TEST_F(ReportTest, TypedTextsAreEscaped) {
    const QString nasty = QStringLiteral("<b>Maize & co</b>");
    const QString shown = QStringLiteral("&lt;b&gt;Maize &amp; co&lt;/b&gt;");
    setInputs([&] {
        fmxtest::databaseRecord(*fProject, "Maize silage")
            ->getValueWithXML(QStringLiteral("AdmName"))
            ->setAsString(nasty);
        val("InstallationIn", "INVuser_description")->setAsString(QStringLiteral("<br>Shed</td>"));
        val("ExploitationIn", "financial_aspects_costuser_desc")->setAsString(QStringLiteral("Fees <br><i>"));
    });
    fProject->setUseFileName(QStringLiteral("/farms/<Jansen> $$CONTENT$$.base.xml"));
    const QString html = report();
    EXPECT_FALSE(html.contains(nasty));
    EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Biomass substrates"))
                    .contains(QStringLiteral(">") + shown + QStringLiteral("<")));
    EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Installation"))
                    .contains(QStringLiteral(">&lt;br&gt;Shed&lt;/td&gt;<")));
    EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Investment overview"))
                    .contains(QStringLiteral("<td>&lt;br&gt;Shed&lt;/td&gt;:</td>")));
    EXPECT_TRUE(tableWithTitle(html, QStringLiteral("Quick Results - Biomethane"))
                    .contains(QStringLiteral("<td>Fees &lt;br&gt;&lt;i&gt;:</td>")));
    // The description also survives the two-column container, which drops its line breaks.
    EXPECT_TRUE(html.contains(QStringLiteral("Extra yearly costs description:</td><td "
                                             "class=\"column_right_align\">Fees &lt;br&gt;&lt;i&gt;</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<i>")));
    // The file name is the title, without its folder, and is not searched for placeholders.
    EXPECT_TRUE(
        html.contains(QStringLiteral("<title>Fermalux - &lt;Jansen&gt; $$CONTENT$$.base.xml</title>")));
}

TEST_F(ReportTest, PlaceholdersAreReplacedWhateverTheirCase) {
    fProject->setUseFileName(QStringLiteral("/farms/Jansen.base.xml"));
    const QString html = fillReportTemplate(
        *fProject,
        QStringLiteral("[$$title$$][$$Footer$$][$$GRAPHtitle$$][$$templ_dir$$][$$Tmp_Dir$$][$$TITLE$$]"),
        QStringLiteral("T"), QStringLiteral("I"));
    const QRegularExpression shape(
        QStringLiteral("^\\[Jansen\\.base\\.xml\\]\\[Report generated [^\\]]+\\]\\[Cumulative CashFlow for "
                       "each case\\]\\[T\\]\\[I\\]\\[Jansen\\.base\\.xml\\]$"));
    EXPECT_TRUE(shape.match(html).hasMatch()) << html.toStdString();
}

TEST_F(ReportTest, ChartsDecodeToTheirSizeAndUnchangedOnesAreKept) {
    report();
    for (const TFinanceChartCaseDef& c : kFinanceChartCases) {
        const QString file = fTemp.filePath(QStringLiteral("rep") + q(c.fileSuffix));
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), QByteArray("gif")) << c.fileSuffix;
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(373, 225)) << c.fileSuffix;
    }
    // Without genAlways: an unchanged case keeps its file, a changed one is drawn again.
    for (int k = 0; k < 4; ++k)
        financeCase(k)->deepSetUnchanged();
    financeCase(2)->getValueWithXML(QStringLiteral("finance_npv"))->setAsFloat(123);
    const QString kept = fTemp.filePath(QStringLiteral("rep_finance_chart_chp.gif"));
    const QString redrawn = fTemp.filePath(QStringLiteral("rep_finance_chart_biomethane.gif"));
    writeText(kept, "not a gif");
    writeText(redrawn, "not a gif");
    const TGIFImagesResult result = genGIFImages(*fProject, fTemp.path(), QStringLiteral("rep"), false);
    EXPECT_EQ(result.written, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_EQ(readAll(kept), QByteArray("not a gif"));
    EXPECT_TRUE(readAll(redrawn).startsWith("GIF8"));
    // The report itself always draws them anew.
    report();
    EXPECT_TRUE(readAll(kept).startsWith("GIF8"));
}

TEST_F(ReportTest, TheReportFolderIsCompleteAndSelfContained) {
    const QString out = path("mail/report");
    writeReportFolder(*fProject, kTemplateDir, out);
    const QString html = QString::fromUtf8(readAll(out + QStringLiteral("/report.html")));
    ASSERT_FALSE(html.isEmpty());
    EXPECT_FALSE(html.contains(QStringLiteral("file:")));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/report_template.html")));
    // Every image and style sheet it refers to is beside it.
    const QRegularExpression ref(QStringLiteral("(?:src|href)=\"([^\"]+)\""));
    std::set<QString> refs;
    for (auto it = ref.globalMatch(html); it.hasNext();)
        refs.insert(it.next().captured(1));
    EXPECT_EQ(refs.size(), 6u); // the style sheet, the logo and the four charts
    for (const QString& r : refs) {
        EXPECT_FALSE(QFileInfo(r).isAbsolute()) << r.toStdString();
        EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/") + r)) << r.toStdString();
    }
    // Nothing else was left beside the folder.
    EXPECT_EQ(QDir(path("mail")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("report")});

    // Again into the existing folder: files are replaced, other files stay.
    writeText(out + QStringLiteral("/rep_finance_chart_chp.gif"), "old");
    writeText(out + QStringLiteral("/notes.txt"), "mine");
    writeReportFolder(*fProject, kTemplateDir, out);
    EXPECT_TRUE(readAll(out + QStringLiteral("/rep_finance_chart_chp.gif")).startsWith("GIF8"));
    EXPECT_EQ(readAll(out + QStringLiteral("/notes.txt")), QByteArray("mine"));
    EXPECT_EQ(QDir(path("mail")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);

    // A folder named with a trailing separator is the same folder.
    writeReportFolder(*fProject, kTemplateDir, path("slash/out/"));
    EXPECT_TRUE(QFileInfo::exists(path("slash/out/report.html")));
    EXPECT_EQ(QDir(path("slash")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("out")});
}

TEST_F(ReportTest, BadTemplateOrTargetWritesNothing) {
    const auto expectFileError = [](const std::function<void()>& f, const char* part) {
        try {
            f();
            ADD_FAILURE() << "no error for " << part;
        } catch (const TBaseDataError& e) {
            EXPECT_EQ(e.kind(), tdek_ReportFileFailure);
            EXPECT_TRUE(e.message().contains(q(part))) << e.message().toStdString();
        }
    };
    const QString noTemplate = path("empty");
    ASSERT_TRUE(QDir().mkpath(noTemplate));
    expectFileError([&] { writeReportFolder(*fProject, noTemplate, path("out/a")); }, "report_template.html");
    expectFileError([&] { createReport(*fProject, noTemplate, fTemp.path()); }, "report_template.html");
    expectFileError([&] { printReportPdf(*fProject, noTemplate, path("out/r.pdf")); },
                    "report_template.html");
    // A file where a folder should be (write permissions do not hold for every user, so this
    // stands for a folder that cannot be written).
    writeText(path("blocker"), "x");
    expectFileError([&] { writeReportFolder(*fProject, kTemplateDir, path("blocker")); }, "blocker");
    expectFileError([&] { writeReportFolder(*fProject, kTemplateDir, path("blocker/sub")); }, "blocker");
    expectFileError([&] { printReportPdf(*fProject, kTemplateDir, path("blocker/r.pdf")); }, "blocker");
    // A folder in the way of a report file: checked before anything moves.
    ASSERT_TRUE(QDir().mkpath(path("busy/report.html")));
    writeText(path("busy/rep_finance_chart_chp.gif"), "old");
    expectFileError([&] { writeReportFolder(*fProject, kTemplateDir, path("busy")); }, "report.html");
    EXPECT_EQ(readAll(path("busy/rep_finance_chart_chp.gif")), QByteArray("old"));

    for (const char* dir : {"out", "busy", ""})
        EXPECT_EQ(QDir(path(dir))
                      .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                      .filter(QStringLiteral(".report-")),
                  QStringList())
            << dir;
    EXPECT_FALSE(QFileInfo::exists(path("out/a")));
    EXPECT_FALSE(QFileInfo::exists(path("out/r.pdf")));
}

TEST_F(ReportTest, ThePdfIsWholeA4WithSeveralPages) {
    const QString pdf = path("scan.pdf");
    writeText(pdf, "old");
    printReportPdf(*fProject, kTemplateDir, pdf);
    const QByteArray data = readAll(pdf);
    ASSERT_TRUE(data.startsWith("%PDF-"));
    EXPECT_TRUE(data.trimmed().endsWith("%%EOF"));
    const qsizetype pages =
        QString::fromLatin1(data).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
    EXPECT_GE(pages, 3);
    // The logo and the four charts were found and embedded.
    EXPECT_EQ(QString::fromLatin1(data).count(QStringLiteral("/Width 373")), 4);
    EXPECT_GE(QString::fromLatin1(data).count(QStringLiteral("/Width 64")), 1);
    EXPECT_LE(pages, 40);
    // A4 portrait in points.
    EXPECT_TRUE(data.contains("/MediaBox [0 0 595") || data.contains("/MediaBox [0 0 594"));
    EXPECT_EQ(QDir(fTemp.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("scan.pdf")});
}

// Every fixed text the report passes through tl is in the translators' base catalogue once the
// report's texts are registered, without a report having been made.
TEST_F(ReportTest, RegisteredTextsCoverEveryTranslatedText) {
    resetTranslation();
    setInputs([&] {
        val("InstallationIn", "Apply_sep")->setAsBoolean(true);
        val("InstallationIn", "Apply_dry")->setAsBoolean(true);
        val("InstallationIn", "Apply_UFRO")->setAsBoolean(true);
        val("InstallationIn", "Apply_past")->setAsBoolean(true);
        val("InstallationIn", "land_c1_user")->setAsFloat(0);
    });
    report();
    const TCatalogue used = buildBaseCatalogue();
    resetTranslation();
    registerReportTexts();
    const TCatalogue registered = buildBaseCatalogue();
    for (const auto& [key, text] : used.entries())
        EXPECT_TRUE(registered.contains(key)) << text.toStdString();
    EXPECT_TRUE(
        registered.contains(textKey(QStringLiteral("Quick Results - Biomethane with heat supplier"))));
}

} // namespace
