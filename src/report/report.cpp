#include "report.h"

#include "report_errors.h"
#include "report_texts.h"
#include "table_obj_def.h"

#include "dataobj.h"
#include "datavalue.h"
#include "definitions.h"
#include "dmerrors.h"
#include "dmformat.h"
#include "errors.h"
#include "fmx_assert.h"
#include "globals.h"
#include "project.h"
#include "translate.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string_view>
#include <vector>

namespace fmx {

namespace {

const QString kNbsp = QStringLiteral("&nbsp;");
const QString kIndent = QStringLiteral("&nbsp;&nbsp;&nbsp;");

QString q(const char* text) {
    return QString::fromUtf8(text);
}

// A plain text as HTML: it shows as typed and cannot change the document.
QString esc(const QString& text) {
    QString s = text.toHtmlEscaped();
    s.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    return s;
}

QString roundedText(double v) {
    return QString::number(static_cast<qint64>(roundTiesToEven(v)));
}

// The four energy cases with the name parts their values carry in each object.
struct TReportCase {
    const char* finance;    // FinanceOut sub-object
    const char* energy;     // InstallationOut energy values
    const char* investment; // InstallationOut investment values
    const char* exploit;    // ExploitationOut values
    const char* investmentValue;
    TReportText quickTitle;
    TReportText energyRow;
};
constexpr std::array<TReportCase, 4> kCases{{
    {"finance_chp", "_CHP", "_CHP", "_chp", "chp_investment", rtTitleQuickChp, rtCaseChp},
    {"finance_chp_heat", "_CHP_heat", "_CHP_Heat", "_chp_heat", "chp_heat_investment", rtTitleQuickChpHeat,
     rtCaseChpHeat},
    {"finance_biomethane", "_Biomethane", "_Biomethane", "_biomethane", "biomethane_investment",
     rtTitleQuickBiomethane, rtCaseBiomethane},
    {"finance_biomethane_ext_heat", "_Biomethane_ext_heat", "_Biomethane_ext_heat", "_b_ext_heat",
     "biomethane_ext_heat_investment", rtTitleQuickExtHeat, rtCaseExtHeat},
}};

[[noreturn]] void missingPart(const QString& what) {
    const QString message = QStringLiteral("Report: %1 is missing in the project").arg(what);
    FMX_ASSERT(false, message);
    throw TBaseDataError(tdek_CheckFailure, message);
}

TDataObj* subObj(TDataObj* parent, const char* xml) {
    TDataObj* o = parent->getSubObjWithXML(q(xml));
    if (o == nullptr) missingPart(q(xml));
    return o;
}

TAbstractDataValue* val(TDataObj* o, const QString& xml) {
    TAbstractDataValue* v = o->getValueWithXML(xml);
    if (v == nullptr) missingPart(o->Definition()->XMLName() + QStringLiteral(".") + xml);
    return v;
}
TAbstractDataValue* val(TDataObj* o, const char* xml) {
    return val(o, q(xml));
}

TDataObjList* listOf(TDataObj* o, const char* xml) {
    TDataObjList* l = o->getListWithXML(q(xml));
    if (l == nullptr) missingPart(o->Definition()->XMLName() + QStringLiteral(".") + q(xml));
    return l;
}

std::unique_ptr<THTMLTableObjDef> newTable(const char* cls, bool cellspacing = true) {
    auto t = std::make_unique<THTMLTableObjDef>();
    t->setStyle(q(cls));
    if (cellspacing) t->setHTMLStyle(QStringLiteral("cellspacing=\"0\""));
    return t;
}

// Builds the body of one report; every read goes to the project's tree.
class TReportBuilder {
public:
    explicit TReportBuilder(TProject& project)
        : fBiomassIn(subObj(&project, "BiomassIn")), fEnergyIn(subObj(&project, "EnergyIn")),
          fInstallationIn(subObj(&project, "InstallationIn")), fStorageIn(subObj(&project, "StorageIn")),
          fExploitationIn(subObj(&project, "ExploitationIn")), fCashflowIn(subObj(&project, "CashflowIn")),
          fBiomassOut(subObj(&project, "BiomassOut")), fInstallationOut(subObj(&project, "InstallationOut")),
          fExploitationOut(subObj(&project, "ExploitationOut")), fFinanceOut(subObj(&project, "FinanceOut")),
          fAdminVars(subObj(&project, "AdminVars")) {
        fPln = val(fExploitationIn, "financial_aspects_country")->getAsInteger() == 6;
    }

    QString body();

private:
    // ---- value texts ----
    static QString text(TAbstractDataValue* v) { return esc(v->getAsString()); }
    static QString caption(TAbstractDataValue* v) { return esc(v->DisplayName()) + QStringLiteral(":"); }
    static QString unit(TAbstractDataValue* v) { return esc(v->Definition()->unitDescr()); }
    QString unitCur(TAbstractDataValue* v) const {
        QString u = unit(v);
        if (fPln) u.replace(QStringLiteral("EUR"), QStringLiteral("PLN"), Qt::CaseInsensitive);
        return u;
    }
    static bool yes(TDataObj* o, const char* xml) { return val(o, xml)->getAsBoolean(); }

    // ---- rows ----
    static void titleRow(THTMLTableObjDef& t, const QString& title, int span) {
        t.AddRow(QStringLiteral("tableheader"));
        t.AddCol(span, title, QString());
    }
    static void labelRow(THTMLTableObjDef& t, const char* cls, const QStringList& cells) {
        t.AddRow(q(cls));
        for (const QString& c : cells)
            t.AddCol(c, QString());
    }
    void tableAddrowWith3Cols(THTMLTableObjDef& t, TDataObj* o, const char* xml, bool indent) const {
        TAbstractDataValue* v = val(o, xml);
        t.AddRow(QString());
        t.AddCol((indent ? kIndent : QString()) + caption(v), QString());
        t.AddCol(text(v), QStringLiteral("column_right_align"));
        t.AddCol(unitCur(v), QString());
    }
    void with3Cols(THTMLTableObjDef& t, TDataObj* o, std::initializer_list<const char*> xmls,
                   bool indent) const {
        for (const char* xml : xmls)
            tableAddrowWith3Cols(t, o, xml, indent);
    }
    void tableAddRowStorageIn(THTMLTableObjDef& t, const QString& kind, bool storedHere) const {
        const QString cls = QStringLiteral("column_storage_in");
        TAbstractDataValue* time = val(fStorageIn, kind + QStringLiteral("_Tstor_user"));
        const auto textOf = [&](const QString& suffix) { return text(val(fStorageIn, kind + suffix)); };
        t.AddRow(QString());
        t.AddCol(caption(time), cls);
        t.AddCol(text(time), cls);
        t.AddCol(storedHere ? kNbsp : textOf(QStringLiteral("_Muselocal")), cls);
        t.AddCol(textOf(QStringLiteral("_StorType_user")), cls);
        t.AddCol(storedHere ? textOf(QStringLiteral("_Vstor_avail_user")) : kNbsp, cls);
    }
    void tableAddRowBiomassOut(THTMLTableObjDef& t, const char* in, const char* out) const {
        TAbstractDataValue* vin = val(fBiomassOut, in);
        t.AddRow(QString());
        t.AddCol(caption(vin), QString());
        t.AddCol(text(vin), QStringLiteral("column_biomass_out"));
        t.AddCol(text(val(fBiomassOut, out)), QStringLiteral("column_biomass_out"));
        t.AddCol(unit(vin), QString());
    }
    void tableAddRowInvestmentOverview(THTMLTableObjDef& t, const char* item, const QString& label,
                                       bool bold) const {
        const auto b = [bold](const QString& s) {
            return bold ? QStringLiteral("<b>") + s + QStringLiteral("</b>") : s;
        };
        std::array<TAbstractDataValue*, 4> v{};
        for (size_t c = 0; c < kCases.size(); ++c)
            v[c] = val(fInstallationOut, q(item) + q(kCases[c].investment));
        t.AddRow(QString());
        t.AddCol(b(label.isEmpty() ? caption(v[0]) : label + QStringLiteral(":")), QString());
        for (TAbstractDataValue* x : v)
            t.AddCol(b(text(x)), QStringLiteral("column_investment_overview"));
        t.AddCol(b(unitCur(v[0])), QString());
    }
    void tableAddRowQuickResults(THTMLTableObjDef& t, TAbstractDataValue* in, const QString& outLabel,
                                 TAbstractDataValue* out) const {
        const QString cls = QStringLiteral("column_quick_results");
        t.AddRow(QString());
        if (in != nullptr) {
            t.AddCol(caption(in), QString());
            t.AddCol(text(in), cls);
        } else {
            t.AddCol(kNbsp, QString());
            t.AddCol(kNbsp, cls);
        }
        t.AddCol(kNbsp, cls);
        t.AddCol(outLabel.isEmpty() ? caption(out) : outLabel + QStringLiteral(":"), QString());
        t.AddCol(text(out), cls);
    }
    void tableAddRowQuickResults2(THTMLTableObjDef& t, const QString& xml) const {
        TAbstractDataValue* v = val(fExploitationOut, xml);
        t.AddRow(QString());
        t.AddCol(caption(v), QString());
        t.AddCol(text(v), QStringLiteral("column_right_align"));
        t.AddCol(unit(v), QString());
        t.AddCol(kNbsp, QString());
        t.AddCol(kNbsp, QString());
    }

    // ---- tables ----
    static QString heading(TReportText title) {
        return QStringLiteral("<h1>") + rt(title) + QStringLiteral("</h1><br>");
    }
    static QString twoColumns(const THTMLTableObjDef& left, const THTMLTableObjDef& right) {
        THTMLTableObjDef container;
        container.setStyle(QStringLiteral("tabletwocolumns"));
        container.AddRow(QString());
        container.AddCol(left.HTMLContent(), QString());
        container.AddCol(right.HTMLContent(), QString());
        QString html = container.HTMLContent();
        html.remove(QStringLiteral("<br>"), Qt::CaseInsensitive);
        return html;
    }
    QString contactTable() const;
    QString substratesTable() const;
    QString moreBiomassTable() const;
    QString energyInTables() const;
    QString installationTable() const;
    QString storageTable() const;
    QString costsTables() const;
    QString escalationTable() const;
    QString biomassOutTables() const;
    QString capacityTable() const;
    QString energyOutTable() const;
    QString investmentTable() const;
    QString quickResultsTable(size_t c) const;
    QString planningTable() const;
    QString summaryAndConclusions(QString& conclusions) const;
    static QString nextSteps();

    TDataObj* fBiomassIn;
    TDataObj* fEnergyIn;
    TDataObj* fInstallationIn;
    TDataObj* fStorageIn;
    TDataObj* fExploitationIn;
    TDataObj* fCashflowIn;
    TDataObj* fBiomassOut;
    TDataObj* fInstallationOut;
    TDataObj* fExploitationOut;
    TDataObj* fFinanceOut;
    TDataObj* fAdminVars;
    bool fPln = false;
};

QString TReportBuilder::contactTable() const {
    auto t = newTable("table_company");
    for (TReportText label :
         {rtContactName, rtContactAddress, rtContactCity, rtContactCountry, rtContactPhone, rtContactEmail}) {
        t->AddRow(QString());
        t->AddCol(rt(label), QString());
        t->AddCol(kNbsp, QString());
    }
    return t->HTMLContent();
}

QString TReportBuilder::substratesTable() const {
    auto t = newTable("table_input_biomass");
    titleRow(*t, rt(rtTitleSubstrates), 6);
    TDataObjList* manure = listOf(fBiomassIn, "SubstrateManureList");
    TDataObjList* cosub = listOf(fBiomassIn, "SubstrateCosubList");
    const auto nameOf = [](TDataObj* row, const char* refXml) {
        TDataObj* record = val(row, refXml)->getAsReference();
        return record != nullptr ? text(val(record, "AdmName")) : kNbsp;
    };
    if (manure->objCount() > 0) {
        TDataObj* first = manure->obj(0);
        const auto withUnit = [&](const char* xml, bool currency) {
            TAbstractDataValue* v = val(first, xml);
            return esc(v->DisplayName()) + QStringLiteral(" (") + (currency ? unitCur(v) : unit(v)) +
                   QStringLiteral(")");
        };
        labelRow(*t, "tablecolumnheader",
                 {esc(val(first, "SubstrateManureAdmRef")->DisplayName()),
                  esc(val(first, "Nanimal")->DisplayName()), withUnit("Tbarn", false),
                  withUnit("Vsub_i", false), withUnit("Msub_i", false), withUnit("Relcost_i", true)});
    }
    for (int i = 0; i < manure->objCount(); ++i) {
        TDataObj* row = manure->obj(i);
        t->AddRow(QString());
        t->AddCol(nameOf(row, "SubstrateManureAdmRef"), QString());
        for (const char* xml : {"Nanimal", "Tbarn", "Vsub_i"}) {
            const QString s = val(row, xml)->getAsString();
            t->AddCol(s == QLatin1String("0") ? kNbsp : esc(s), QString());
        }
        t->AddCol(text(val(row, "Msub_i")), QString());
        t->AddCol(text(val(row, "Relcost_i")), QString());
    }
    for (int i = 0; i < cosub->objCount(); ++i) {
        TDataObj* row = cosub->obj(i);
        t->AddRow(QString());
        t->AddCol(nameOf(row, "SubstrateCosubAdmRef"), QString());
        for (int k = 0; k < 3; ++k)
            t->AddCol(kNbsp, QString());
        t->AddCol(text(val(row, "Msub_i")), QString());
        t->AddCol(text(val(row, "Relcost_i")), QString());
    }
    return t->HTMLContent();
}

QString TReportBuilder::moreBiomassTable() const {
    auto t = newTable("table_input");
    titleRow(*t, rt(rtTitleMoreBiomass), 3);
    with3Cols(*t, fBiomassIn, {"trt_user", "Digester_type"}, false);
    return t->HTMLContent();
}

QString TReportBuilder::energyInTables() const {
    auto left = newTable("table_input");
    titleRow(*left, rt(rtTitleEnergy), 3);
    tableAddrowWith3Cols(*left, fEnergyIn, "Apply_heat", false);
    if (yes(fEnergyIn, "Apply_heat"))
        with3Cols(*left, fEnergyIn,
                  {"Lheatdeliv", "Pheatdeliv_average", "Pheatdeliv_peak", "Apply_biogasnet",
                   "HeatNetwork_Complex", "Heatnetwork_dT"},
                  true);
    with3Cols(*left, fEnergyIn, {"CFchp_extra", "n_engine"}, false);

    auto right = newTable("table_input");
    titleRow(*right, kNbsp, 3);
    tableAddrowWith3Cols(*right, fEnergyIn, "Apply_doubleconnect_elec", false);
    if (yes(fEnergyIn, "Apply_doubleconnect_elec"))
        with3Cols(*right, fEnergyIn, {"Lfeed_elec", "Lconsume_elec"}, true);
    tableAddrowWith3Cols(*right, fEnergyIn, "Apply_upgrade", false);
    if (yes(fEnergyIn, "Apply_upgrade"))
        with3Cols(*right, fEnergyIn, {"Lfeed_gas", "PRESS_feed_gas", "GasNetwork_Complex"}, true);
    return twoColumns(*left, *right);
}

QString TReportBuilder::installationTable() const {
    auto t = newTable("table_input");
    titleRow(*t, rt(rtTitleInstallation), 3);
    tableAddrowWith3Cols(*t, fInstallationIn, "Apply_past", false);
    if (yes(fInstallationIn, "Apply_past")) with3Cols(*t, fInstallationIn, {"mpast_user", "Past_Feed"}, true);
    with3Cols(*t, fInstallationIn, {"Apply_torch", "Apply_sep"}, false);
    if (yes(fInstallationIn, "Apply_sep")) with3Cols(*t, fInstallationIn, {"Apply_UFRO", "Apply_dry"}, true);
    with3Cols(*t, fInstallationIn,
              {"a_hall_user", "land_c1_user", "tdepr", "INVuser_description", "INVuser_amount"}, false);
    return t->HTMLContent();
}

QString TReportBuilder::storageTable() const {
    auto t = newTable("table_input");
    titleRow(*t, rt(rtTitleStorage), 5);
    labelRow(
        *t, "tablecolumnheader_label",
        {kNbsp, rt(rtColStorageTime), rt(rtColUsedOnFarm), rt(rtColStorageType), rt(rtColAvailableStorage)});
    for (const char* kind : {"Cosub_liq", "Cosub_sol", "Man_liq", "Man_sol"})
        tableAddRowStorageIn(*t, q(kind), true);
    tableAddRowStorageIn(*t, QStringLiteral("Dig"), false);
    if (yes(fInstallationIn, "Apply_sep"))
        for (const char* kind : {"ThickFrac", "LiqFrac"})
            tableAddRowStorageIn(*t, q(kind), false);
    if (yes(fInstallationIn, "Apply_dry")) tableAddRowStorageIn(*t, QStringLiteral("ThickDriedFrac"), false);
    if (yes(fInstallationIn, "Apply_UFRO"))
        for (const char* kind : {"retUF", "retRO", "Water"})
            tableAddRowStorageIn(*t, q(kind), false);
    return t->HTMLContent();
}

QString TReportBuilder::costsTables() const {
    const auto groupRow = [](THTMLTableObjDef& t, TReportText label) {
        t.AddRow(QString());
        t.AddCol(3, rt(label), QString());
    };
    auto left = newTable("table_input");
    titleRow(*left, rt(rtTitleCosts), 3);
    groupRow(*left, rtRowBiomassExportCost);
    tableAddrowWith3Cols(*left, fExploitationIn, "biomass_relcost_dig", true);
    if (yes(fInstallationIn, "Apply_sep"))
        with3Cols(*left, fExploitationIn, {"biomass_relcost_thickfrac", "biomass_relcost_liqfrac"}, true);
    if (yes(fInstallationIn, "Apply_dry"))
        tableAddrowWith3Cols(*left, fExploitationIn, "biomass_relcost_thickdriedfrac", true);
    if (yes(fInstallationIn, "Apply_UFRO"))
        with3Cols(*left, fExploitationIn,
                  {"biomass_relcost_retuf", "biomass_relcost_retro", "biomass_relcost_water"}, true);
    groupRow(*left, rtRowEnergyUse);
    with3Cols(*left, fExploitationIn,
              {"energy_use_relcost_elec", "energy_use_relcost_therm", "energy_use_relcost_diesel",
               "energy_use_ptherm_intdemand_user"},
              true);

    auto right = newTable("table_input");
    titleRow(*right, kNbsp, 3);
    groupRow(*right, rtRowEnergyProduction);
    with3Cols(*right, fExploitationIn,
              {"energy_production_relpriceelec", "energy_production_relpricetherm",
               "energy_production_relpricebiometh"},
              true);
    groupRow(*right, rtRowFinancialAspects);
    with3Cols(*right, fExploitationIn,
              {"financial_aspects_perinterest", "financial_aspects_tloan", "financial_aspects_perworkcapital",
               "financial_aspects_perequity", "financial_aspects_relperscost",
               "financial_aspects_apply_subsidy", "financial_aspects_country", "financial_aspects_convpln",
               "financial_aspects_costuser_desc", "financial_aspects_costuser_amount"},
              true);
    return twoColumns(*left, *right);
}

QString TReportBuilder::escalationTable() const {
    auto t = newTable("table_input");
    titleRow(*t, rt(rtTitleEscalation), 3);
    with3Cols(*t, fCashflowIn,
              {"PERescEnergy", "PERinfl", "PERescBiomass", "PERescDigBiomass", "Tax_on_profit", "Tcashflow"},
              true);
    return t->HTMLContent();
}

QString TReportBuilder::biomassOutTables() const {
    auto left = newTable("table_output");
    titleRow(*left, rt(rtTitleBiomass), 4);
    labelRow(*left, "tablecolumnheader_label", {kNbsp, rt(rtColInput), rt(rtColOutput), kNbsp});
    const std::pair<const char*, const char*> pairs[] = {
        {"Biomass_total_input_m3", "Biomass_total_output_m3"},
        {"Biomass_total_input_ton", "Biomass_total_output_ton"},
        {"Dry_matter_input", "Dry_matter_output"},
        {"Organic_dry_matter_input", "Organic_dry_matter_output"},
        {"Phosphate_input", "Phosphate_output"},
        {"Nitrogen_org_input", "Nitrogen_org_output"},
        {"Mineralised_nitrogen_input", "Mineralised_nitrogen_output"},
        {"Potassium_input", "Potassium_output"},
    };
    for (const auto& [in, out] : pairs)
        tableAddRowBiomassOut(*left, in, out);

    auto right = newTable("table_output");
    titleRow(*right, kNbsp, 3);
    right->AddRow(QStringLiteral("tablecolumnheader"));
    right->AddCol(3, kNbsp, QString());
    with3Cols(*right, fBiomassOut,
              {"Biogas_nm3", "Biogas_ton", "Methane", "per_methane_in_biogas", "Utilisation_of_digester",
               "Mineralised_nitrogen"},
              false);
    return twoColumns(*left, *right);
}

QString TReportBuilder::capacityTable() const {
    auto t = newTable("table_output");
    titleRow(*t, rt(rtTitleCapacity), 4);
    with3Cols(*t, fInstallationOut,
              {"Digester", "liq_cosubstrates", "sol_cosubstrates", "liq_manure", "sol_manure", "Digestate"},
              false);
    if (yes(fInstallationIn, "Apply_sep"))
        with3Cols(*t, fInstallationOut, {"Thick_fraction", "Liq_fraction"}, false);
    if (yes(fInstallationIn, "Apply_dry"))
        tableAddrowWith3Cols(*t, fInstallationOut, "dried_thick_fraction", false);
    if (yes(fInstallationIn, "Apply_UFRO"))
        with3Cols(*t, fInstallationOut, {"retentate_UF", "retentate_RO", "water"}, false);
    return t->HTMLContent();
}

QString TReportBuilder::energyOutTable() const {
    auto t = newTable("table_output");
    titleRow(*t, rt(rtTitleEnergy), 6);
    labelRow(*t, "tablecolumnheader_label",
             {kNbsp, rt(rtColHeatUse), rt(rtColElecUse), rt(rtColElecProd), rt(rtColHeatProd),
              rt(rtColBiomethaneProd)});
    for (const TReportCase& c : kCases) {
        t->AddRow(QString());
        t->AddCol(rt(c.energyRow) + QStringLiteral(":"), QString());
        for (const char* stem : {"Thermal_energy_use", "Electric_energy_use", "Electric_energy_prod",
                                 "Heat_prod", "Biometh_prod"})
            t->AddCol(text(val(fInstallationOut, q(stem) + q(c.energy))),
                      QStringLiteral("column_energy_out"));
    }
    return t->HTMLContent();
}

QString TReportBuilder::investmentTable() const {
    auto t = newTable("table_output");
    titleRow(*t, rt(rtTitleInvestment), 6);
    labelRow(
        *t, "tablecolumnheader_label",
        {kNbsp, rt(rtCaseChp), rt(rtCaseChpHeat), rt(rtCaseBiomethane), rt(rtCaseExtHeatSupplier), kNbsp});
    for (const char* item :
         {"Digester", "Storage", "Digestate_treatment", "Torch", "Pasteurisation", "Shovel", "Land",
          "Civil_Works", "Boiler", "CHP", "Heatnetwork", "Electric_network", "Gas_upgrade", "Gasnetwork"})
        tableAddRowInvestmentOverview(*t, item, QString(), false);
    tableAddRowInvestmentOverview(*t, "INVuser_amount", text(val(fInstallationIn, "INVuser_description")),
                                  false);
    tableAddRowInvestmentOverview(*t, "Subtotal", QString(), true);
    for (const char* item : {"Engineering", "Advise_and_permits", "Contingency", "Startup", "Subsidy"})
        tableAddRowInvestmentOverview(*t, item, QString(), false);
    tableAddRowInvestmentOverview(*t, "Total", QString(), true);
    return t->HTMLContent();
}

QString TReportBuilder::quickResultsTable(size_t c) const {
    const TReportCase& rc = kCases[c];
    const QString sfx = q(rc.exploit);
    const auto v = [&](const char* stem) { return val(fExploitationOut, q(stem) + sfx); };
    auto t = newTable("table_output");
    titleRow(*t, rt(rc.quickTitle), 5);
    labelRow(*t, "tablecolumnheader_label", {kNbsp, rt(rtColIn), kNbsp, kNbsp, rt(rtColOut)});

    std::vector<TAbstractDataValue*> ins;
    switch (c) {
    case 0:
        ins = {v("in_electricity"), v("in_subsidy_electricity")};
        break;
    case 1:
        ins = {v("in_electricity"), v("in_therm_energy_delivery"), v("in_subsidy_electricity"),
               v("in_subsidy_heat")};
        break;
    default:
        ins = {v("in_biomethane"), v("in_subsidy_biomethane")};
        break;
    }
    const char* const outs[] = {"yearly_average_depreciation",
                                "out_cost_of_financing",
                                "out_biomass_input",
                                "out_maintenance",
                                "out_elec_energy_use",
                                "out_therm_energy_use",
                                "out_diesel_use",
                                "out_personnel_cost",
                                "out_insurance",
                                "out_digested_biomass_output",
                                "out_costuser_amount"};
    // Fewer in-values than out-values in every case: the rows below the last in-value have none.
    for (size_t i = 0; i < std::size(outs); ++i) {
        TAbstractDataValue* in = i < ins.size() ? ins[i] : nullptr;
        const bool userCost = std::string_view(outs[i]) == "out_costuser_amount";
        const QString label =
            userCost ? text(val(fExploitationIn, "financial_aspects_costuser_desc")) : QString();
        tableAddRowQuickResults(*t, in, label, v(outs[i]));
    }
    tableAddRowQuickResults(*t, v("in_total"), QString(), v("out_total"));
    t->AddRow(QString());
    t->AddCol(5, kNbsp, QString());
    tableAddRowQuickResults2(*t, q(rc.investmentValue));
    for (const char* stem : {"yearly_average_depreciation", "yearly_average_cashflow", "simply_payback_time"})
        tableAddRowQuickResults2(*t, q(stem) + sfx);
    return t->HTMLContent();
}

QString TReportBuilder::planningTable() const {
    auto t = newTable("table_company");
    t->AddRow(QString());
    t->AddCol(rt(rtPlanMonth), QString());
    for (const char* cell :
         {"1,2,3", "4,5,6", "7,8,9", "10,11,12", "13,14,15", "16,17,18", "19,20,21", "22,23,24"})
        t->AddCol(q(cell), QString());
    struct TActivity {
        TReportText label;
        int first, last; // quarters marked, 1-based
    };
    const TActivity activities[] = {{rtPlanBusinessplan, 1, 1}, {rtPlanTimePlanning, 1, 1},
                                    {rtPlanPermits, 2, 5},      {rtPlanSubsidies, 5, 7},
                                    {rtPlanInvesters, 2, 7},    {rtPlanOffers, 5, 7},
                                    {rtPlanConstruction, 8, 8}};
    for (const TActivity& a : activities) {
        t->AddRow(QString());
        t->AddCol(rt(a.label), QString());
        for (int quarter = 1; quarter <= 8; ++quarter)
            t->AddCol(quarter >= a.first && quarter <= a.last ? QStringLiteral("V") : kNbsp, QString());
    }
    return t->HTMLContent();
}

QString TReportBuilder::summaryAndConclusions(QString& conclusions) const {
    size_t best = 0;
    double bestNpv = val(subObj(fFinanceOut, kCases[0].finance), "finance_npv")->getAsFloat();
    for (size_t c = 1; c < kCases.size(); ++c) {
        const double npv = val(subObj(fFinanceOut, kCases[c].finance), "finance_npv")->getAsFloat();
        if (npv > bestNpv) {
            best = c;
            bestNpv = npv;
        }
    }
    const TReportCase& rc = kCases[best];
    const bool upgrade = yes(fEnergyIn, "Apply_upgrade");
    QString energyForm;
    QString production;
    const auto io = [&](const char* stem) { return text(val(fInstallationOut, q(stem) + q(rc.energy))); };
    switch (best) {
    case 0:
    case 1:
        energyForm = rt(best == 0 ? rtFormElectricity : rtFormElectricityHeat);
        production = dmFormat(rt(rtProduceElectricity), {io("Electric_energy_prod"), io("Heat_prod")});
        break;
    case 2:
        energyForm = rt(upgrade ? rtFormBiomethane : rtFormBiogas);
        production = dmFormat(rt(rtProduceBiomethane), {io("Biometh_prod")});
        break;
    default:
        energyForm = rt(upgrade ? rtFormBiomethaneExtHeat : rtFormBiogasExtHeat);
        production = dmFormat(rt(rtProduceBiomethane), {io("Biometh_prod")});
        break;
    }
    const QString investment = text(val(fInstallationOut, QStringLiteral("Total") + q(rc.investment)));
    const QString operational = text(val(fExploitationOut, QStringLiteral("out_total") + q(rc.exploit)));
    const QString revenues = text(val(fExploitationOut, QStringLiteral("in_total") + q(rc.exploit)));
    QString payback =
        firstYearPositiveCumCashflowExcl(*listOf(subObj(fFinanceOut, rc.finance), "FinanceYearList"));
    if (payback.isEmpty()) payback = QStringLiteral("999");

    const double land = val(fInstallationIn, "land_c1_user")->getAsFloat();
    const QString area = land != 0
                             ? roundedText(val(fInstallationOut, "Land_CHP")->getAsFloat() * 10000 / land)
                             : rt(rtUnknown);
    const double persCost = val(fExploitationIn, "financial_aspects_relperscost")->getAsFloat();
    const QString manHours =
        persCost != 0 ? roundedText(val(fExploitationOut, "out_personnel_cost_b_ext_heat")->getAsFloat() /
                                    (persCost * 52))
                      : rt(rtUnknown);
    bool paybackOk = false;
    const int paybackYears = payback.toInt(&paybackOk);
    const bool profitable = paybackOk && paybackYears <= val(fAdminVars, "AdmMaxPaybackPeriod")->getAsFloat();
    const QString verdict = rt(profitable ? rtProfitable : rtNotProfitable);

    QString s;
    s += dmFormat(rt(rtSumBestCase), {energyForm});
    s += dmFormat(rt(rtSumFed), {text(val(fBiomassOut, "Biomass_total_input_ton"))});
    s += dmFormat(rt(rtSumDigestate), {text(val(fBiomassOut, "Biomass_total_output_ton"))});
    s += dmFormat(rt(rtSumArea), {area});
    s += dmFormat(rt(rtSumManHours), {manHours});
    s += dmFormat(rt(rtSumBiogas), {text(val(fBiomassOut, "Biogas_nm3"))});
    s += dmFormat(rt(rtSumConverted), {production});

    s += rt(rtSumOptions) + QStringLiteral("<ul>");
    const bool sep = yes(fInstallationIn, "Apply_sep");
    const std::pair<bool, TReportText> options[] = {
        {yes(fInstallationIn, "Apply_past"), rtOptPasteurisation},
        {yes(fInstallationIn, "Apply_torch"), rtOptTorch},
        {sep, rtOptSeparation},
        {sep && yes(fInstallationIn, "Apply_dry"), rtOptDrying},
        {sep && yes(fInstallationIn, "Apply_UFRO"), rtOptThinFraction},
        {upgrade, rtOptUpgrade},
    };
    for (const auto& [applies, label] : options)
        if (applies) s += QStringLiteral("<li>") + rt(label) + QStringLiteral("</li>");
    s += QStringLiteral("</ul><br>");

    s += rt(rtSumFinancial) + QStringLiteral("<ul>");
    const std::pair<TReportText, QString> results[] = {
        {rtFinInvestment, investment}, {rtFinOperational, operational},  {rtFinRevenues, revenues},
        {rtFinPayback, payback},       {rtFinNpv, roundedText(bestNpv)},
    };
    for (const auto& [label, value] : results)
        s +=
            QStringLiteral("<li>") + rt(label) + QStringLiteral(" <b>") + value + QStringLiteral("</b></li>");
    s += QStringLiteral("</ul><br>");
    s += rt(rtSumVerdict) + kNbsp + QStringLiteral("<b>") + verdict + QStringLiteral("</b>.");

    conclusions = rt(rtConclVerdict) + kNbsp + QStringLiteral("<b>") + verdict + QStringLiteral("</b>.<br>") +
                  dmFormat(rt(rtConclBestCase), {energyForm}) + QStringLiteral("<br>") +
                  dmFormat(rt(rtConclPayback), {payback});
    return s;
}

QString TReportBuilder::nextSteps() {
    return rt(rtNextIntro) + QStringLiteral("<br><br><ul><li>") + rt(rtNextBusinessPlan) +
           QStringLiteral("</li><li>") + rt(rtNextDesign) + QStringLiteral("</li><li>") + rt(rtNextPermits) +
           QStringLiteral("</li><li>") + rt(rtNextOffers) + QStringLiteral("</li></ul><br><br>");
}

QString TReportBuilder::body() {
    const QString br2 = QStringLiteral("<br><br>");
    const QString br3 = QStringLiteral("<br><br><br>");
    QString conclusions;
    const QString summary = summaryAndConclusions(conclusions);

    QString b;
    b.reserve(256 * 1024);
    b += heading(rtHeadScan) + contactTable() + br2 + br2;
    b += heading(rtHeadSummary) + summary + br3 + br2;

    b += heading(rtHeadUserInput);
    b += substratesTable() + br2;
    for (const QString& table : {moreBiomassTable(), energyInTables(), installationTable(), storageTable(),
                                 costsTables(), escalationTable()})
        b += table + br3;
    b += br2;

    b += QStringLiteral("<h1>") + rt(rtHeadOutput) + QStringLiteral("</h1>") + QStringLiteral("<br>");
    for (const QString& table :
         {biomassOutTables(), capacityTable(), energyOutTable(), investmentTable(), quickResultsTable(0),
          quickResultsTable(1), quickResultsTable(2), quickResultsTable(3)})
        b += table + br3;
    b += br2;

    b += heading(rtHeadConclusions) + conclusions + br3 + br2;
    b += heading(rtHeadNextSteps) + nextSteps() + rt(rtNextPlanning) + br2 + planningTable() + br2 + br2;
    return b;
}

QString dirUrl(const QString& dir) {
    QString d = dir;
    d.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return esc(QUrl::fromLocalFile(d).toString(QUrl::FullyEncoded));
}

} // namespace

QString readReportTemplate(const QString& templateDir) {
    registerReportExceptions();
    const QString fileName = templateDir + QStringLiteral("/") + q(kReportTemplateFile);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TBaseDataError(tdek_ReportFileFailure,
                             QStringLiteral("The report template \"%1\" cannot be read: %2")
                                 .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return QString::fromUtf8(file.readAll());
}

QString fillReportTemplate(TProject& project, const QString& templateText, const QString& templateDirRef,
                           const QString& imageDirRef) {
    // Built before the placeholders are filled, so a missing value leaves nothing half done.
    const QString content = TReportBuilder(project).body();
    const QString title = esc(QFileInfo(project.useFileName()).fileName());
    const QString footer =
        dmFormat(rt(rtFooter), {esc(formatDateTime(dateTimeToDays(GetNow()), gUserFormatSettings))});
    const QString graphTitle = rt(rtGraphTitle);

    // One pass over the template: a text put in is never searched for placeholders again.
    static const QRegularExpression placeholder(
        QStringLiteral("\\$\\$(TITLE|FOOTER|GRAPHTITLE|CONTENT|TEMPL_DIR|TMP_DIR)\\$\\$"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    out.reserve(templateText.size() + content.size() + 1024);
    qsizetype from = 0;
    for (auto it = placeholder.globalMatch(templateText); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(templateText).mid(from, m.capturedStart() - from);
        const QString name = m.captured(1).toUpper();
        if (name == QLatin1String("TITLE"))
            out += title;
        else if (name == QLatin1String("FOOTER"))
            out += footer;
        else if (name == QLatin1String("GRAPHTITLE"))
            out += graphTitle;
        else if (name == QLatin1String("CONTENT"))
            out += content;
        else if (name == QLatin1String("TEMPL_DIR"))
            out += templateDirRef;
        else
            out += imageDirRef;
        from = m.capturedEnd();
    }
    out += QStringView(templateText).mid(from);
    return out;
}

QString firstYearPositiveCumCashflowExcl(TDataObjList& financeYearList) {
    for (int i = 0; i < financeYearList.objCount(); ++i)
        if (val(financeYearList.obj(i), "cas_res_cumulative_cashflow_excl")->getAsFloat() > 0)
            return QString::number(i - 1);
    return QString();
}

TGIFImagesResult genGIFImages(TProject& project, const QString& storeInDir, const QString& uniqueFileNamePart,
                              bool genAlways) {
    TDataObj* financeOut = subObj(&project, "FinanceOut");
    std::array<TFinanceChartInput, 4> cases;
    for (size_t c = 0; c < kCases.size(); ++c) {
        TDataObj* finance = subObj(financeOut, kCases[c].finance);
        TDataObjList* years = listOf(finance, "FinanceYearList");
        cases[c].caption = tl(q(kFinanceChartCases[c].caption));
        cases[c].changed = finance->anyChangesPresent();
        cases[c].cumulativeCashflow.reserve(years->objCount());
        for (int i = 0; i < years->objCount(); ++i)
            cases[c].cumulativeCashflow.append(
                val(years->obj(i), "cas_res_cumulative_cashflow_excl")->getAsFloat());
    }
    registerReportExceptions();
    return genGIFImages(cases, storeInDir, uniqueFileNamePart, genAlways);
}

QString createReport(TProject& project, const QString& templateDir, const QString& imageDir) {
    const QString templateText = readReportTemplate(templateDir);
    genGIFImages(project, imageDir, q(kReportChartPrefix), true);
    return fillReportTemplate(project, templateText, dirUrl(templateDir), dirUrl(imageDir));
}

QString createReport(TProject& project) {
    FMX_ASSERT(gApplGlobals() != nullptr, QStringLiteral("createReport before start-up"));
    return createReport(project, gApplGlobals()->fHTMLTemplateDir, gDirs().fTempDir);
}

} // namespace fmx
