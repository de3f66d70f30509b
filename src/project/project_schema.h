// The project schema: every value, object and list definition of a project, of the subsidy rules
// and of the global data. The IDs live in module-level variables named after the definitions
// (val + XML name, def + object name, ldef + list name); the value families built by rule
// (storage groups, component coefficients, installation and exploitation outputs) are reached
// through their group (schemaGroup) or by XML name.
#pragma once

#include <cstdint>
#include <vector>

namespace fmx {

// Value definition IDs of the hand-listed values.
#define FMX_VAL(group, name, ...) extern int32_t val##name;
#include "project_values.inc"
#undef FMX_VAL

// Object definition IDs.
extern int32_t defApplGlobalData, defProjectDigester, defProjInputData, defAdminVars, defAdmSubstrateManure,
    defAdmSubstrateCosub, defAdmPconnect, defAdmComponentsDatabase, defBiomassIn, defSubstrateManure,
    defSubstrateCosub, defEnergyIn, defInstallationIn, defStorageIn, defExploitationIn, defSubsidyIn,
    defCashflowIn, defBiomassOut, defInstallationOut, defExploitationOut, defFinanceOut, deffinance_chp,
    deffinance_chp_heat, deffinance_biomethane, deffinance_biomethane_ext_heat, deffinance_year,
    defProjectSubsidy, defSubsidyGermany, defSubsidyNetherlands, defSubsidyFlanders, defSubsidyWallons,
    defSubsidyPoland, defSubsidyItaly, defSubsidyEstonia, defSubApply, defSubGerApply, defSubNetApply,
    defSubFlaApply, defSubWalApply, defSubPolApply, defSubItaApply, defSubEstApply, defSubNetRec,
    defSubFlaRec;

// List definition IDs.
extern int32_t ldefAdmSubstrateManureList, ldefAdmSubstrateCosubList, ldefAdmPconnectList,
    ldefSubstrateManureList, ldefSubstrateCosubList, ldefFinanceYearList, ldefSubNetList, ldefSubFlaList;

// Error kind of a failed calculation ("Calculation error").
extern int tdek_CalcError;

// The value groups of the schema: the values an object (or a part of it) holds, in the order the
// object adds them.
enum TSchemaGroup : int {
    grpProject,
    grpSubGer,
    grpApply,
    grpSubNet,
    grpSubNetRec,
    grpSubFla,
    grpSubFlaRec,
    grpSubWal,
    grpSubPol,
    grpSubIta,
    grpSubEst,
    grpSubRec, // shared by both substrate database records; AdmName first
    grpSubManType,
    grpSubCosubType,
    grpAdminVars,
    grpPconnect,
    grpComponents,
    grpSubMan,
    grpSubCosub,
    grpBiomassIn,
    grpEnergyIn,
    grpInstallationIn,
    grpStorageIn,
    grpExploitationIn,
    grpSubsidyIn,
    grpSubsidyInUser,
    grpCashflowIn,
    grpBiomassOut,
    grpInstallationOut,
    grpExploitationOut,
    grpFinSingle,
    grpFinYear,
    grpFinanceOut,
    grpCount
};

// The value definition IDs of a group, in the order its object adds them (filled by the schema).
const std::vector<int32_t>& schemaGroup(TSchemaGroup group);

// Declares the whole schema into dmData, which must exist and hold the framework's definitions
// only. Resets the ID variables first, so a fresh registry can be given the schema again (tests).
void dmProjectCreateDefs();
// Global data, project-level values, subsidy rules and reference data.
void dmProjectCreateDefsPart1();
// Inputs, biomass and installation outputs.
void dmProjectCreateDefsPart2();
// Exploitation and finance outputs and the project root.
void dmProjectCreateDefsPart3();

} // namespace fmx
