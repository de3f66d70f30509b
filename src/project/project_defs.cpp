// Declaration of the project schema. The hand-listed values come from project_values.inc; the
// families that follow a naming rule are built here from small tables.
#include "project_schema.h"

#include "project.h"

#include "dmdata.h"
#include "errors.h"
#include "fmx_assert.h"
#include "globaldata.h"

#include <QStringList>

#include <array>

namespace fmx {

#define FMX_VAL(group, name, ...) int32_t val##name = 0;
#include "project_values.inc"
#undef FMX_VAL

int32_t defApplGlobalData = 0, defProjectDigester = 0, defProjInputData = 0, defAdminVars = 0,
        defAdmSubstrateManure = 0, defAdmSubstrateCosub = 0, defAdmPconnect = 0, defAdmComponentsDatabase = 0,
        defBiomassIn = 0, defSubstrateManure = 0, defSubstrateCosub = 0, defEnergyIn = 0,
        defInstallationIn = 0, defStorageIn = 0, defExploitationIn = 0, defSubsidyIn = 0, defCashflowIn = 0,
        defBiomassOut = 0, defInstallationOut = 0, defExploitationOut = 0, defFinanceOut = 0,
        deffinance_chp = 0, deffinance_chp_heat = 0, deffinance_biomethane = 0,
        deffinance_biomethane_ext_heat = 0, deffinance_year = 0, defProjectSubsidy = 0, defSubsidyGermany = 0,
        defSubsidyNetherlands = 0, defSubsidyFlanders = 0, defSubsidyWallons = 0, defSubsidyPoland = 0,
        defSubsidyItaly = 0, defSubsidyEstonia = 0, defSubApply = 0, defSubGerApply = 0, defSubNetApply = 0,
        defSubFlaApply = 0, defSubWalApply = 0, defSubPolApply = 0, defSubItaApply = 0, defSubEstApply = 0,
        defSubNetRec = 0, defSubFlaRec = 0;

int32_t ldefAdmSubstrateManureList = 0, ldefAdmSubstrateCosubList = 0, ldefAdmPconnectList = 0,
        ldefSubstrateManureList = 0, ldefSubstrateCosubList = 0, ldefFinanceYearList = 0, ldefSubNetList = 0,
        ldefSubFlaList = 0;

int tdek_CalcError = -1;

namespace {

enum TRowType { F, F0, F1, F2, S, E, YN, YJ, R };

struct TValRow {
    TSchemaGroup group;
    int32_t* id;
    const char* xml;
    TRowType type;
    const char* unit;
    const char* caption;
    const char* note;
    const char* extras;
};

#define FMX_VAL(group, name, type, unit, caption, note, extras)                                              \
    {group, &val##name, #name, type, unit, caption, note, extras},
const TValRow kRows[] = {
#include "project_values.inc"
};
#undef FMX_VAL

std::array<std::vector<int32_t>, grpCount> gGroups;

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

int32_t dvtOf(TRowType t) {
    switch (t) {
    case F:
        return dvtFloat;
    case F0:
        return dvtFloat0;
    case F1:
        return dvtFloat1;
    case F2:
        return dvtFloat2;
    case S:
        return dvtString;
    case E:
        return dvtEnum;
    default:
        break;
    }
    FMX_ASSERT(false, QStringLiteral("dmProjectCreateDefs: onbekend waardetype"));
    return dvtUnknown;
}

// Applies "min=x;max=y;def=z;enum=1:a|2:b" to a freshly declared value.
void applyExtras(TDataValueDef* d, const QString& extras) {
    if (extras.isEmpty()) return;
    const bool isEnum = d->ValueType() == dvtEnum;
    for (const QString& part : extras.split(QLatin1Char(';'))) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        FMX_ASSERT(eq > 0, QStringLiteral("dmProjectCreateDefs: ongeldige aanvulling ") + part);
        const QString key = part.left(eq);
        const QString val = part.mid(eq + 1);
        if (key == QLatin1String("enum")) {
            for (const QString& entry : val.split(QLatin1Char('|'))) {
                const qsizetype colon = entry.indexOf(QLatin1Char(':'));
                d->addEnum(entry.left(colon).toInt(), entry.mid(colon + 1));
            }
            continue;
        }
        const int index = key == QLatin1String("min") ? 0 : key == QLatin1String("max") ? 1 : 2;
        FMX_ASSERT(index < 2 || key == QLatin1String("def"),
                   QStringLiteral("dmProjectCreateDefs: ongeldige aanvulling ") + part);
        bool ok = false;
        const double number = val.toDouble(&ok);
        FMX_ASSERT(ok, QStringLiteral("dmProjectCreateDefs: ongeldig getal ") + part);
        if (isEnum)
            d->setMMDAsInteger(index, static_cast<int32_t>(number));
        else
            d->setMMDAsFloat(index, number);
    }
}

TDataValueDef* declareRow(const TValRow& row) {
    const QString caption = u8(row.caption);
    const QString note = u8(row.note);
    const QString xml = QLatin1String(row.xml);
    TDataValueDef* d = nullptr;
    switch (row.type) {
    case YN:
        d = TDataValueDef::CreateBoolDefNee(*row.id, caption, note, xml);
        break;
    case YJ:
        d = TDataValueDef::CreateBoolDefJa(*row.id, caption, note, xml);
        break;
    case R: {
        const bool manure = row.id == &valSubstrateManureAdmRef;
        FMX_ASSERT(manure || row.id == &valSubstrateCosubAdmRef,
                   QStringLiteral("dmProjectCreateDefs: onbekende verwijzing ") + xml);
        int32_t& target = manure ? defAdmSubstrateManure : defAdmSubstrateCosub;
        const QString path = manure ? QStringLiteral("\\-AdminVars-AdmSubstrateManureList")
                                    : QStringLiteral("\\-AdminVars-AdmSubstrateCosubList");
        d = TDataValueDef::CreateRef(*row.id, caption, note, target, path, xml);
        break;
    }
    default:
        d = TDataValueDef::Create(*row.id, caption, note, dvtOf(row.type), u8(row.unit), xml);
        break;
    }
    applyExtras(d, u8(row.extras));
    return d;
}

// Declares every hand-listed value of a group, in table order, and records it in the group.
void declareGroup(TSchemaGroup group) {
    for (const TValRow& row : kRows) {
        if (row.group != group) continue;
        declareRow(row);
        gGroups[group].push_back(*row.id);
    }
}

// A value of a rule-built family: declared, recorded in its group, returned.
TDataValueDef* declareFamilyValue(TSchemaGroup group, const QString& xml, int32_t type, const QString& unit,
                                  const QString& caption, const QString& note = {}) {
    int32_t id = 0;
    TDataValueDef* d = TDataValueDef::Create(id, caption, note, type, unit, xml);
    gGroups[group].push_back(id);
    return d;
}

template <class T>
TDataObjDef* declareObj(int32_t& id, const char* caption, const char* className, const char* xml) {
    return TDataObjDef::Create(id, u8(caption), QString(), dataObjClassOf<T>(QLatin1String(className)),
                               QLatin1String(xml));
}

void declareList(int32_t& id, const char* dbName, const char* caption, int32_t elementDefID,
                 const char* xml) {
    TDataObjListDef::Create(id, QLatin1String(dbName), u8(caption), QString(), 0, -1, false, elementDefID,
                            QLatin1String(xml));
}

// ---- storage groups ----
struct TStorageGroup {
    const char* name;
    const char* timeCaption;
    double timeDefault;
    const char* types;
    int typeDefault;
};
const char* const kTanks = "1:Concrete|2:Stainless steel|3:Bag";
const TStorageGroup kStorageGroups[] = {
    {"Cosub_liq", "Liquid cosubstrates", 1, "1:Concrete|2:Stainless steel|4:Plastic", 2},
    {"Cosub_sol", "Solid cosubstrates", 6, "5:Trench", 5},
    {"Man_liq", "Liquid manure", 1, kTanks, 1},
    {"Man_sol", "Solid manure", 1, "5:Trench", 5},
    {"Dig", "Digestate", 3, kTanks, 1},
    {"ThickFrac", "Thick fraction of digestate", 3, "5:Trench", 5},
    {"LiqFrac", "Liquid fraction of digestate", 3, kTanks, 1},
    {"ThickDriedFrac", "Thick dried fraction", 3, "5:Trench", 5},
    {"retUF", "Retentate of ultrafiltration", 3, kTanks, 1},
    {"retRO", "Retentate of reversed osmosis", 3, kTanks, 1},
    {"Water", "Permeate of reversed osmosis (water)", 3, kTanks, 1},
};

void declareStorageValues() {
    int index = 0;
    for (const TStorageGroup& g : kStorageGroups) {
        const QString base = QLatin1String(g.name);
        declareFamilyValue(grpStorageIn, base + QStringLiteral("_Tstor_user"), dvtFloat,
                           QStringLiteral("months"), u8(g.timeCaption))
            ->setMMDAsFloat(2, g.timeDefault);
        const auto storType = [&]() {
            const QString name = base + QStringLiteral("_StorType_user");
            TDataValueDef* d = declareFamilyValue(grpStorageIn, name, dvtEnum, QString(), name);
            applyExtras(d, QStringLiteral("enum=") + QLatin1String(g.types));
            d->setMMDAsInteger(2, g.typeDefault);
        };
        if (index < 4) {
            storType();
            const QString name = base + QStringLiteral("_Vstor_avail_user");
            const QString caption = name == QLatin1String("Man_sol_Vstor_avail_user")
                                        ? QStringLiteral("Man_sol_VStor_avail_user")
                                        : name;
            TDataValueDef* d =
                declareFamilyValue(grpStorageIn, name, dvtFloat, QStringLiteral("m3"), caption);
            if (name == QLatin1String("Man_liq_Vstor_avail_user")) d->setMMDAsFloat(2, 1000);
        } else {
            const QString name = base + QStringLiteral("_Muselocal");
            declareFamilyValue(grpStorageIn, name, dvtFloat, QStringLiteral("ton/year"), name);
            storType();
        }
        ++index;
    }
}

// ---- components database ----
struct TComponentGroup {
    const char* suffix;
    const char* prefix;
    const char* codes;
};
const TComponentGroup kComponentGroups[] = {
    {"_Digester_A", "DigesterVertical", "C1 C2 C3 BY C11 C21 C31 C32 C33 C34 C51"},
    {"_Digester_B", "DigesterPlugFlow", "C1 C2 BY C11 C21 C31 C32 C33 C34 C51"},
    {"_Concrete", "StorageConcreteVertical", "C1 C2 C3 BY"},
    {"_Steel", "StorageSteelVertical", "C1 C2 BY"},
    {"_Bag", "StorageBag", "C1 C2 BY"},
    {"_Polyester", "StoragePolyesterVertical", "C1 C2 C3 BY"},
    {"_Trench", "StorageConcreteTrench", "C1 C2 C3 BY"},
    {"_Past", "Pasteurisation", "C1 C2 C3 BY"},
    {"_Torch", "Flare", "C1 C2 C3 BY C11"},
    {"_Sep", "Seperation", "C1 C2 C3 BY C11 C12 C31 C51 C52 C53 C54"},
    {"_UFRO", "UFRO", "C1 C2 C3 C4 C5 BY C11 C31 C32 C33 C51 C52 C53 C54"},
    {"_Dry", "Dryer", "C1 C2 BY C11 C21 C31 C51"},
    {"_BoilerA", "Boiler_20-100kW", "C1 BY C11 C12"},
    {"_BoilerB", "Boiler_100-500kW", "C1 C2 BY C11 C12"},
    {"_BoilerC", "Boiler_500-1500kW", "C1 C2 BY C11 C12"},
    {"_CHP", "CHP", "C1 C2 BY C11 C12 C13 C14 C15 C16"},
    {"_HeatNetwork", "HeatNetwork", "C1 C2 C3 BY C21 C22 C23 C24"},
    {"_Upgrade_a", "Upgrade_LessThan662Nm3", "C1 C2 C3 BY C11 C31"},
    {"_Upgrade_b", "Upgrade_MoreThan662Nm3", "C1 C2 C3 BY C11 C31"},
    {"_GasConnect", "ConnectionToGasGrid", "C1 C2 C3 C4 C5 BY C11"},
    {"_GasNetwork", "GasPipeline", "C1 C2 C3 BY C11"},
    {"_Shovel", "Shovel", "C1 BY C11 C41"},
    {"_Civil", "CivilWorks", "C1 C2 C3 BY"},
    {"_PERadvise", "Advise", "C1 C2"},
    {"_PERinspection", "Inspection", "C1 C2"},
    {"_PERengineering", "Engineering", "C1"},
    {"_PERcontractorfee", "Contractorfee", "C1"},
    {"_PERcontingency", "UnforseenCosts", "C1"},
    {"_PERstartup", "StartupCosts", "C1"},
};

struct TComponentExtra {
    const char* afterSuffix;
    const char* xml;
    const char* unit;
    const char* caption;
};
const TComponentExtra kComponentExtras[] = {
    {"_Digester_B", "AdmRATeffElecStorage", "", "DigesterEffElecStorage"},
    {"_Digester_B", "AdmRATeffElecDigester", "", "DigesterEffElecStir"},
    {"_Digester_B", "AdmCh_heating_digester", "m", "DigesterResistanceHeatingmedium"},
    {"_Digester_B", "AdmEffpump", "", "DigesterEffElecPump"},
    {"_Digester_B", "AdmC_dTdigesterHeating", "degrees", "DigesterTempDiffHeating"},
    {"_Past", "AdmRATeff_past", "", "Efficiency of pasteurisation process"},
    {"_Past", "AdmTEMPpasteurisation", "Degrees", "Pasteurisation temperature"},
    {"_CHP", "AdmC_chpFuelmax", "kW", "CHP_max_powerconsumption"},
    {"_CHP", "AdmRATeffCHP_C1", "", "CHP_Efficiency_C1"},
    {"_CHP", "AdmRATeffCHP_C2", "", "CHP_Efficiency_C2"},
    {"_CHP", "AdmRATeffCHP_C3", "", "CHP_Total_efficiency"},
    {"_Upgrade_b", "AdmRATeffBiogasUpgr", "", "UpgradeEfficiency"},
    {"_GasConnect", "AdmRATeff_compr", "", "ConnectionToGasGrid_ComprEfficiency"},
    {"_GasConnect", "AdmPRESSin", "bar", "ConnectionToGasGrid_PressIn"},
};

struct TNoteOverride {
    const char* xml;
    const char* note;
};
const TNoteOverride kComponentNotes[] = {
    {"AdmC1_PERadvise", "Note: Total advice and permits costs = Advise_C1 + Advise_C2*Investment_subtotal "},
    {"AdmC1_PERinspection", "Note: Total percentage over investment needed for inspection = inspection_C1 + "
                            "Inspection_C2*Total_biomass_input"},
    {"AdmC1_PERengineering", "Note: Percentage over investment_subtotal for engineering costs"},
    {"AdmC1_PERcontingency",
     "Note: Percentage over total investment including advise, permits, engineering, inspection, "
     "contractorsfee to account for unforseen costs/contigency"},
};

const char* const kCoefficientNote =
    "Note: Cost or sizing coefficient of this component. The published dataset of component costs "
    "explains how the coefficients enter the investment and operating cost formulas.";

void declareComponentValues() {
    for (const TComponentGroup& g : kComponentGroups) {
        const QString suffix = QLatin1String(g.suffix);
        const QString unit = suffix == QLatin1String("_PERadvise")      ? QStringLiteral("EUR")
                             : suffix.startsWith(QLatin1String("_PER")) ? QStringLiteral("%")
                                                                        : QString();
        for (const QString& code : QString::fromLatin1(g.codes).split(QLatin1Char(' '))) {
            const QString xml = QStringLiteral("Adm") + code + suffix;
            QString caption = QLatin1String(g.prefix) + QLatin1Char('_');
            if (code != QLatin1String("BY"))
                caption += code;
            else if (suffix == QLatin1String("_Polyester"))
                caption += QStringLiteral("BY");
            else
                caption += QStringLiteral("PriceRefYear");
            QString note = u8(kCoefficientNote);
            for (const TNoteOverride& n : kComponentNotes)
                if (xml == QLatin1String(n.xml)) note = u8(n.note);
            declareFamilyValue(grpComponents, xml, dvtFloat, unit, caption, note);
        }
        for (const TComponentExtra& e : kComponentExtras)
            if (suffix == QLatin1String(e.afterSuffix))
                declareFamilyValue(grpComponents, QLatin1String(e.xml), dvtFloat, u8(e.unit), u8(e.caption));
    }
}

// ---- installation outputs ----
struct TNameUnitCaption {
    const char* xml;
    const char* unit;
    const char* caption;
};
const TNameUnitCaption kSizing[] = {
    {"Digester", "m3", "Digester"},
    {"liq_cosubstrates", "m3", "Liquid cosubstrates"},
    {"sol_cosubstrates", "m3", "Solid cosubstrates"},
    {"liq_manure", "m3", "Liquid manure"},
    {"sol_manure", "m3", "Solid manure"},
    {"Digestate", "m3", "Digestate"},
    {"Thick_fraction", "m3", "Thick fraction of digestate"},
    {"Liq_fraction", "m3", "Liquid fraction of digestate"},
    {"dried_thick_fraction", "m3", "Thick dried fraction"},
    {"retentate_UF", "m3", "Retentate of UF"},
    {"retentate_RO", "m3", "Retentate of RO"},
    {"water", "m3", "Permeate of RO (water)"},
    {"number_engine", "", "Number of CHP engines"},
    {"Pchp_el", "kW", "Electrical installed power per CHP"},
    {"PEReff_chp_elec", "", "Electrical efficiency of the CHP"},
    {"PEReff_chp_therm", "", "Thermal efficiency of the CHP"},
    {"Tpersonnel_total", "hours/week", "Personnel hours needed per week"},
    {"flow_biogas_total", "m3/hour", "Total biogas flow"},
    {"flow_biomethane", "m3/hour", "Total biomethane flow"},
    {"Ainstallation", "m2", "Required surface area for the installation"},
    {"Ahall", "m2", "Required surface area for technical building"},
};

struct TStemCaption {
    const char* stem;
    const char* caption;
};
const TStemCaption kEnergyItems[] = {
    {"Thermal_energy_use", "Use of heat"},
    {"Electric_energy_use", "Use of electricity"},
    {"Electric_energy_prod", "Production of electricity"},
    {"Heat_prod", "Production of heat"},
    {"Biometh_prod", "Production of biomethane"},
};
// Investment items before the subsidy and start-up costs.
const TStemCaption kInvestItems[] = {
    {"Digester", "Digester"},
    {"Storage", "Storage"},
    {"Digestate_treatment", "Digestate treatment"},
    {"Torch", "Flare"},
    {"Pasteurisation", "Pasteurisation"},
    {"Shovel", "Rolling stock"},
    {"Land", "Land"},
    {"Civil_Works", "Civil Works"},
    {"Boiler", "Boiler"},
    {"CHP", "CHP"},
    {"Heatnetwork", "Heat network"},
    {"Electric_network", "Connection to electric grid"},
    {"Gas_upgrade", "Gas upgrade installation"},
    {"Gasnetwork", "Gas pipeline"},
    {"INVuser_amount", "Extra investment"},
    {"Subtotal", "Subtotal"},
    {"Advise_and_permits", "Advise and permits"},
    {"Engineering", "Engineering"},
    {"Inspection", "Inspection"},
    {"Contractorsfee", "Contractorsfee"},
    {"Contingency", "Contingency"},
};
const char* const kFloat1Investments[] = {"Inspection_CHP_Heat", "Contractorsfee_CHP_Heat",
                                          "Contractorsfee_Biomethane", "Inspection_Biomethane_ext_heat",
                                          "Contractorsfee_Biomethane_ext_heat"};

void declareInstallationOutValues() {
    for (const TNameUnitCaption& s : kSizing)
        declareFamilyValue(grpInstallationOut, QLatin1String(s.xml), dvtFloat0, QLatin1String(s.unit),
                           QLatin1String(s.caption));

    const char* const energySuffixes[] = {"_CHP", "_CHP_heat", "_Biomethane", "_Biomethane_ext_heat"};
    for (int c = 0; c < 4; ++c)
        for (const TStemCaption& item : kEnergyItems) {
            const QString xml = QLatin1String(item.stem) + QLatin1String(energySuffixes[c]);
            QString caption = c == 0 ? QLatin1String(item.caption) : xml;
            if (xml == QLatin1String("Heat_prod_CHP_heat")) caption = QStringLiteral("heat_prod_CHP_heat");
            declareFamilyValue(grpInstallationOut, xml, dvtFloat0, QString(), caption);
        }

    const char* const investSuffixes[] = {"_CHP", "_CHP_Heat", "_Biomethane", "_Biomethane_ext_heat"};
    const QString eur = QStringLiteral("EUR");
    for (int c = 0; c < 4; ++c) {
        const QString suffix = QLatin1String(investSuffixes[c]);
        const bool chp = c == 0;
        const auto declare = [&](const QString& xml, const QString& unit, const QString& caption,
                                 const QString& note = {}) {
            int32_t type = dvtFloat0;
            for (const char* f1 : kFloat1Investments)
                if (xml == QLatin1String(f1)) type = dvtFloat1;
            declareFamilyValue(grpInstallationOut, xml, type, unit, caption, note);
        };
        for (const TStemCaption& item : kInvestItems) {
            const QString xml = QLatin1String(item.stem) + suffix;
            if (chp)
                declare(xml, eur, QLatin1String(item.caption));
            else if (xml.startsWith(QLatin1String("INVuser_amount")))
                declare(xml, QString(), QString());
            else
                declare(xml, QString(), xml);
        }
        const QString startupName =
            c == 1 ? QStringLiteral("Startup_CHP_heat") : QStringLiteral("Startup") + suffix;
        const auto subsidy = [&]() {
            const QString note = chp ? QStringLiteral("Note: investment subsidy (in case of Poland) as % "
                                                      "over total costs - startup costs")
                                     : QString();
            declare(QStringLiteral("Subsidy") + suffix, chp ? eur : QString(),
                    QStringLiteral("Investment subsidy"), note);
        };
        if (chp) {
            subsidy();
            declare(startupName, eur, QStringLiteral("Startup"));
        } else {
            declare(startupName, eur, QStringLiteral("Startup"));
            subsidy();
        }
        declare(QStringLiteral("Total") + suffix, chp ? eur : QString(),
                chp ? QStringLiteral("Total") : QStringLiteral("Total") + suffix);
    }
}

// ---- exploitation outputs ----
void declareExploitationOutValues() {
    struct TCase {
        const char* suffix;
        const char* investment;
    };
    const TCase cases[] = {{"_chp", "chp_investment"},
                           {"_chp_heat", "chp_heat_investment"},
                           {"_biomethane", "biomethane_investment"},
                           {"_b_ext_heat", "biomethane_ext_heat_investment"}};
    const TNoteOverride notes[] = {
        {"yearly_average_cashflow_chp",
         "Note: the yearly profit is calculated as follows: total revenues - total costs"},
        {"simply_payback_time_chp", "Note: the simple payback time is calculated as follows: investment / "
                                    "(total revenues - total costs + "
                                    "depreciation)"},
        {"yearly_average_depreciation_chp", "Note: Depreciation. Land not depreciated"},
    };
    for (int c = 0; c < 4; ++c) {
        const QString sfx = QLatin1String(cases[c].suffix);
        std::vector<std::pair<QString, QString>> items;
        items.emplace_back(QLatin1String(cases[c].investment), QStringLiteral("Investment"));
        items.emplace_back(QStringLiteral("yearly_average_depreciation") + sfx,
                           QStringLiteral("Average yearly depreciation"));
        if (c < 2) {
            items.emplace_back(QStringLiteral("in_electricity") + sfx,
                               QStringLiteral("Sales of electricity"));
            if (c == 1)
                items.emplace_back(QStringLiteral("in_therm_energy_delivery") + sfx,
                                   QStringLiteral("Selling heat"));
            items.emplace_back(QStringLiteral("in_subsidy_electricity") + sfx,
                               QStringLiteral("Subsidy on electricity"));
            if (c == 1)
                items.emplace_back(QStringLiteral("in_subsidy_heat") + sfx,
                                   QStringLiteral("Subsidy on heat"));
        } else {
            items.emplace_back(QStringLiteral("in_biomethane") + sfx,
                               c == 2 ? QStringLiteral("Selling biomethane")
                                      : QStringLiteral("Sellling biomethane"));
            items.emplace_back(QStringLiteral("in_subsidy_biomethane") + sfx,
                               QStringLiteral("Subsidy on biomethane"));
        }
        const TStemCaption rest[] = {
            {"in_total", "Total"},
            {"out_cost_of_financing", "Average yearly interest"},
            {"out_biomass_input", "Cost of biomass"},
            {"out_maintenance", "Maintenance"},
            {"out_elec_energy_use", "Use of electricity"},
            {"out_therm_energy_use", "Use of heat"},
            {"out_diesel_use", "Use of diesel"},
            {"out_personnel_cost", "Personnel"},
            {"out_insurance", "Insurance"},
            {"out_digested_biomass_output", "Export of digestate"},
            {"out_costuser_amount", "Extra yearly costs"},
            {"out_total", "Total"},
            {"yearly_average_cashflow", "Yearly profit"},
            {"simply_payback_time", "Simple pay-back time"},
        };
        for (const TStemCaption& r : rest)
            items.emplace_back(QLatin1String(r.stem) + sfx, QLatin1String(r.caption));
        for (const auto& [xml, caption] : items) {
            const bool payback = xml.startsWith(QLatin1String("simply_payback_time"));
            QString note;
            for (const TNoteOverride& n : notes)
                if (xml == QLatin1String(n.xml)) note = u8(n.note);
            declareFamilyValue(grpExploitationOut, xml, payback ? dvtFloat1 : dvtFloat0,
                               payback ? QStringLiteral("year") : QString(), caption, note);
        }
    }
}

void resetIDs() {
#define FMX_VAL(group, name, ...) val##name = 0;
#include "project_values.inc"
#undef FMX_VAL
    for (int32_t* id : {&defApplGlobalData,
                        &defProjectDigester,
                        &defProjInputData,
                        &defAdminVars,
                        &defAdmSubstrateManure,
                        &defAdmSubstrateCosub,
                        &defAdmPconnect,
                        &defAdmComponentsDatabase,
                        &defBiomassIn,
                        &defSubstrateManure,
                        &defSubstrateCosub,
                        &defEnergyIn,
                        &defInstallationIn,
                        &defStorageIn,
                        &defExploitationIn,
                        &defSubsidyIn,
                        &defCashflowIn,
                        &defBiomassOut,
                        &defInstallationOut,
                        &defExploitationOut,
                        &defFinanceOut,
                        &deffinance_chp,
                        &deffinance_chp_heat,
                        &deffinance_biomethane,
                        &deffinance_biomethane_ext_heat,
                        &deffinance_year,
                        &defProjectSubsidy,
                        &defSubsidyGermany,
                        &defSubsidyNetherlands,
                        &defSubsidyFlanders,
                        &defSubsidyWallons,
                        &defSubsidyPoland,
                        &defSubsidyItaly,
                        &defSubsidyEstonia,
                        &defSubApply,
                        &defSubGerApply,
                        &defSubNetApply,
                        &defSubFlaApply,
                        &defSubWalApply,
                        &defSubPolApply,
                        &defSubItaApply,
                        &defSubEstApply,
                        &defSubNetRec,
                        &defSubFlaRec,
                        &ldefAdmSubstrateManureList,
                        &ldefAdmSubstrateCosubList,
                        &ldefAdmPconnectList,
                        &ldefSubstrateManureList,
                        &ldefSubstrateCosubList,
                        &ldefFinanceYearList,
                        &ldefSubNetList,
                        &ldefSubFlaList})
        *id = 0;
    for (std::vector<int32_t>& g : gGroups)
        g.clear();
}

} // namespace

const std::vector<int32_t>& schemaGroup(TSchemaGroup group) {
    return gGroups.at(static_cast<size_t>(group));
}

void dmProjectCreateDefs() {
    FMX_ASSERT(dmData != nullptr, QStringLiteral("dmProjectCreateDefs: dmData bestaat niet"));
    resetIDs();
    if (tdek_CalcError == -1)
        regException(tdek_CalcError, QStringLiteral("tdek_CalcError"), QStringLiteral("Calculation error"));
    // The framework's long name value is shown as "Name" in this program.
    if (valNaamLang > 0) dmData->FindValueDefWithID(valNaamLang)->setDisplayName(QStringLiteral("Name"));
    dmProjectCreateDefsPart1();
    dmProjectCreateDefsPart2();
    dmProjectCreateDefsPart3();
}

void dmProjectCreateDefsPart1() {
    declareObj<TApplGlobalData>(defApplGlobalData, "Global data", "TApplGlobalData", "GlobaleData");
    gDefGlobaleDataID = defApplGlobalData;
    declareGroup(grpProject);

    // Subsidy rules.
    declareGroup(grpSubGer);
    declareGroup(grpApply);
    declareObj<TSubsidyApply>(defSubApply, "Country Subsidy Apply Parameters", "TSubsidyApply", "SubApply");
    const char* const applyCaption = "Subsidy Apply Parameters";
    declareObj<TSubsidyApply>(defSubGerApply, applyCaption, "TSubsidyApply", "SubGerApply");
    declareObj<TSubsidyGermany>(defSubsidyGermany, "Subsidy Germany", "TSubsidyGermany", "SubsidyGermany");
    declareGroup(grpSubNet);
    declareGroup(grpSubNetRec);
    declareObj<TSubsidyNetherlandsListRec>(defSubNetRec, "", "TSubsidyNetherlandsListRec", "SubNetRec");
    declareList(ldefSubNetList, "SNLI", "", defSubNetRec, "SubNetList");
    declareObj<TSubsidyApply>(defSubNetApply, applyCaption, "TSubsidyApply", "SubNetApply");
    declareObj<TSubsidyNetherlands>(defSubsidyNetherlands, "Subsidy Netherlands", "TSubsidyNetherlands",
                                    "SubsidyNetherlands");
    declareGroup(grpSubFla);
    declareGroup(grpSubFlaRec);
    declareObj<TSubsidyFlandersListRec>(defSubFlaRec, "", "TSubsidyFlandersListRec", "SubFlaRec");
    declareList(ldefSubFlaList, "SFLI", "", defSubFlaRec, "SubFlaList");
    declareObj<TSubsidyApply>(defSubFlaApply, applyCaption, "TSubsidyApply", "SubFlaApply");
    declareObj<TSubsidyFlanders>(defSubsidyFlanders, "Subsidy Flanders", "TSubsidyFlanders",
                                 "SubsidyFlanders");
    declareGroup(grpSubWal);
    declareObj<TSubsidyApply>(defSubWalApply, applyCaption, "TSubsidyApply", "SubWalApply");
    declareObj<TSubsidyWallons>(defSubsidyWallons, "Subsidy Wallons", "TSubsidyWallons", "SubsidyWallons");
    declareGroup(grpSubPol);
    declareObj<TSubsidyApply>(defSubPolApply, applyCaption, "TSubsidyApply", "SubPolApply");
    declareObj<TSubsidyPoland>(defSubsidyPoland, "Subsidy Poland", "TSubsidyPoland", "SubsidyPoland");
    declareGroup(grpSubIta);
    declareObj<TSubsidyApply>(defSubItaApply, applyCaption, "TSubsidyApply", "SubItaApply");
    declareObj<TSubsidyItaly>(defSubsidyItaly, "Subsidy Italy", "TSubsidyItaly", "SubsidyItaly");
    declareGroup(grpSubEst);
    declareObj<TSubsidyApply>(defSubEstApply, applyCaption, "TSubsidyApply", "SubEstApply");
    declareObj<TSubsidyEstonia>(defSubsidyEstonia, "Subsidy Estonia", "TSubsidyEstonia", "SubsidyEstonia");
    declareObj<TProjectSubsidy>(defProjectSubsidy, "ProjectSubsidy", "TProjectSubsidy", "ProjectSubsidy");

    // Reference data: the two substrate databases, administration variables, electric
    // connections and components.
    declareGroup(grpSubRec);
    declareGroup(grpSubManType);
    declareGroup(grpSubCosubType);
    declareObj<TAdmSubstrateManure>(defAdmSubstrateManure, "Manure Substrate", "TAdmSubstrateManure",
                                    "AdmSubstrateManure")
        ->addUniqueIndex({valAdmName});
    declareList(ldefAdmSubstrateManureList, "ASML", "Manure Substrate database", defAdmSubstrateManure,
                "AdmSubstrateManureList");
    declareObj<TAdmSubstrateCosub>(defAdmSubstrateCosub, "Cosub Substrate", "TAdmSubstrateCosub",
                                   "AdmSubstrateCosub")
        ->addUniqueIndex({valAdmName});
    declareList(ldefAdmSubstrateCosubList, "ASCL", "Cosub Substrate database", defAdmSubstrateCosub,
                "AdmSubstrateCosubList");
    declareGroup(grpAdminVars);
    declareGroup(grpPconnect);
    declareObj<TAdmPconnect>(defAdmPconnect, "Connection size", "TAdmPconnect", "AdmPconnect");
    declareList(ldefAdmPconnectList, "PCLI", "Elec Database", defAdmPconnect, "AdmPconnectList");
    declareComponentValues();
    declareObj<TAdmComponentsDatabase>(defAdmComponentsDatabase, "", "TAdmComponentsDatabase",
                                       "AdmComponentsDatabase");
    declareObj<TProjInputData>(defProjInputData, "ProjInputData", "TProjInputData", "ProjInputData");
    declareObj<TAdminVars>(defAdminVars, "Administration variables", "TAdminVars", "AdminVars");
}

void dmProjectCreateDefsPart2() {
    declareGroup(grpSubMan);
    declareGroup(grpSubCosub);
    declareObj<TSubstrateManure>(defSubstrateManure, "Manure substrate", "TSubstrateManure",
                                 "SubstrateManure");
    declareList(ldefSubstrateManureList, "SMLI", "Manure substrates", defSubstrateManure,
                "SubstrateManureList");
    declareObj<TSubstrateCosub>(defSubstrateCosub, "Cosub substrate", "TSubstrateCosub", "SubstrateCosub");
    declareList(ldefSubstrateCosubList, "SCLI", "Cosub substrates", defSubstrateCosub, "SubstrateCosubList");
    declareGroup(grpBiomassIn);
    declareObj<TBiomassIn>(defBiomassIn, "BiomassIn", "TBiomassIn", "BiomassIn");
    declareGroup(grpEnergyIn);
    declareObj<TEnergyIn>(defEnergyIn, "EnergyIn", "TEnergyIn", "EnergyIn");
    declareGroup(grpInstallationIn);
    declareObj<TInstallationIn>(defInstallationIn, "InstallationIn", "TInstallationIn", "InstallationIn");
    declareStorageValues();
    declareObj<TStorageIn>(defStorageIn, "StorageIn", "TStorageIn", "StorageIn");
    declareGroup(grpExploitationIn);
    declareObj<TExploitationIn>(defExploitationIn, "ExploitationIn", "TExploitationIn", "ExploitationIn");
    declareGroup(grpSubsidyIn);
    declareGroup(grpSubsidyInUser);
    declareObj<TSubsidyIn>(defSubsidyIn, "SubsidyIn", "TSubsidyIn", "SubsidyIn");
    declareGroup(grpCashflowIn);
    declareObj<TFinanceIn>(defCashflowIn, "FinanceIn", "TFinanceIn", "CashflowIn");
    declareGroup(grpBiomassOut);
    declareObj<TBiomassOut>(defBiomassOut, "BiomassOut", "TBiomassOut", "BiomassOut");
    declareInstallationOutValues();
    declareObj<TInstallationOut>(defInstallationOut, "InstallationOut", "TInstallationOut",
                                 "InstallationOut");
}

void dmProjectCreateDefsPart3() {
    declareExploitationOutValues();
    declareObj<TExploitationOut>(defExploitationOut, "ExploitationOut", "TExploitationOut",
                                 "ExploitationOut");
    declareGroup(grpFinSingle);
    declareGroup(grpFinYear);
    declareObj<TFinanceYear>(deffinance_year, "Finance Year", "TFinanceYear", "finance_year");
    declareList(ldefFinanceYearList, "FYLI", "Finance overview", deffinance_year, "FinanceYearList");
    declareObj<TFinanceOutSingle>(deffinance_chp, "Finance CHP", "TFinanceOutSingle", "finance_chp");
    declareObj<TFinanceOutSingle>(deffinance_chp_heat, "Finance CHP + heat", "TFinanceOutSingle",
                                  "finance_chp_heat");
    declareObj<TFinanceOutSingle>(deffinance_biomethane, "Finance Biomethane", "TFinanceOutSingle",
                                  "finance_biomethane");
    declareObj<TFinanceOutSingle>(deffinance_biomethane_ext_heat, "Finance Biomethane ext. heat",
                                  "TFinanceOutSingle", "finance_biomethane_ext_heat");
    declareGroup(grpFinanceOut);
    declareObj<TFinanceOut>(defFinanceOut, "FinanceOut", "TFinanceOut", "FinanceOut");
    declareObj<TProject>(defProjectDigester, "ProjectDigester", "TProject", "ProjectDigester");
}

} // namespace fmx
