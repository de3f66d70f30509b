// The calculation of a project: copies the subsidy rules, the administration data and the inputs of
// the project tree into the engine's records, runs the engine and writes its results back into the
// project's output objects. Money is entered and shown in zloty for a Polish project (the engine
// works in euro).
//
// The names of record fields and schema values are mapped through tables (bridge*Fields below), so
// that a test can check that no field is left out on either side.
#pragma once

#include "bgx_engine.h"
#include "project.h"

#include "errors.h"

#include <variant>
#include <vector>

namespace fmx {

// The project's calculation (installed with installProjectCalc): true when the run completed and
// its results were written. secObject is an object being removed (it is left out of the inputs), or
// nullptr. Errors of the run, and inputs it cannot take, are logged and give false (lastCalcError
// says why), leaving every output as it was.
bool calcProject(TProject& project, TAbstractRootObj* secObject);
// Why the last calcProject failed (empty after a success).
QString lastCalcError();
// Makes calcProject the calculation of every project.
void installProjectCalc();

// The steps of calcProject.
void fill_BGXSubsidy_from_dm(TProjectSubsidy* subsidyRoot);
void fill_BGXAdminVars_from_dm(TProject& project, TAbstractRootObj* secObject);
void fill_BGXUserData_from_dm(TProject& project, TAbstractRootObj* secObject, double f);
// 1 / financial_aspects_convpln for a Polish project with a factor other than 0, else 1.
double currencyFactor(TProject& project);
// Writes every output of gUserData into the project (throws before writing when a value is missing).
void writeBGXResults(TProject& project);
// Multiplies the money outputs by financial_aspects_convpln (nothing when it is 0).
void convEurtoPln(TProject& project);
void conv(TAbstractDataValue* value, double factor);
void convFinanceYearList(TDataObjList* list, double factor);

// The user's form of an engine error: a TBaseDataError of kind tdek_CalcError, for a substrate
// error with the translated "No valid substrate input: %s".
TBaseDataError calcErrorOf(const std::exception& error);

// ---- the name tables ----
using TUserInputField = std::variant<double TBGXUserData::*, int32_t TBGXUserData::*, bool TBGXUserData::*>;
struct TBridgeInput {
    const int32_t* objDef; // the input object (BiomassIn, EnergyIn, ...)
    const char* xml;
    TUserInputField field;
    bool money; // multiplied by the currency factor on the way in
};
// Every input of gUserData except the substrate mix.
const std::vector<TBridgeInput>& bridgeUserInputs();

struct TBridgeAdmin {
    const char* xml; // in AdminVars or its AdmComponentsDatabase
    double TBGXAdminVars::*field;
};
// Every administration variable and cost coefficient (not the substrates and connection classes).
const std::vector<TBridgeAdmin>& bridgeAdminFields();
// The eight fields of each connection class, by class (128, 500, 800, 1400, 4000, 8000) and field.
const std::array<std::array<double TBGXAdminVars::*, 8>, 6>& bridgePconnectFields();
extern const std::array<const char*, 8> kPconnectXml;

struct TBridgeSubsidy {
    const int32_t* objDef; // the scheme object
    const char* xml;
    double TBGXSubsidy::*field;
};
const std::vector<TBridgeSubsidy>& bridgeSubsidyFields();

enum TBridgeOutKind { bokPlain, bokPercent, bokNegated, bokPayback };
struct TBridgeOutput {
    const int32_t* objDef; // the output object (a finance case object for finance_spl/npv/irr)
    QString xml;
    uint32_t hash;
    double TBGXUserData::*field;
    TBridgeOutKind kind;
    bool money; // converted to zloty by convEurtoPln
};
// Every written output except the year lists.
const std::vector<TBridgeOutput>& bridgeOutputs();

struct TBridgeYearField {
    const char* xml;
    double TBGX_Finance_Year::*field;
};
// The fields of a projection row written into each finance_year entry.
const std::vector<TBridgeYearField>& bridgeYearFields();

} // namespace fmx
