#include "project.h"

#include "project_schema.h"

#include "datavalue.h"
#include "dmhooks.h"

#include <cmath>

namespace fmx {

namespace {

TProjectCalcFunction gCalcFunction = nullptr;
// The object whose change made the pending calculation due (set while an input group raises
// RecalcNeeded, read by the project when that trigger arrives).
TAbstractRootObj* gRecalcCause = nullptr;

constexpr int32_t kYes = 1;
constexpr int32_t kNo = 2;

void addGroup(TDataObj& obj, TSchemaGroup group) {
    for (int32_t id : schemaGroup(group))
        obj.cAddVal(id);
}

double valueOf(TDataObj* obj, int32_t defID) {
    return obj->getValueWithID(defID)->getAsFloat();
}

void setValue(TDataObj* obj, int32_t defID, double v) {
    obj->getValueWithID(defID)->setAsFloat(v);
}

// Nearest whole number, halves to the even neighbour.
double roundHalfEven(double x) {
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

QString substrateName(TDataObj* obj, int32_t typeDefID) {
    TAbstractDataValue* type = obj->getValueWithID(typeDefID);
    const QString typeText = type->Definition()->getEnumTextForID(type->getAsInteger());
    return obj->getValueWithID(valAdmName)->getAsString() + QStringLiteral(" (") + typeText +
           QStringLiteral(")");
}

} // namespace

void setProjectCalcFunction(TProjectCalcFunction f) {
    gCalcFunction = f;
}

TProject* projectOf(TAbstractRootObj* node) {
    return node ? dynamic_cast<TProject*>(node->dbRoot()) : nullptr;
}

void TApplGlobalData::init() {
    TGlobaleData::init();
}

// ---- TProject ----

TProject::~TProject() {
    fProjectSub.reset();
    teardown();
}

void TProject::init() {
    TDataObjODRoot::init();
    addGroup(*this, grpProject);
    for (int32_t def :
         {defAdminVars, defBiomassIn, defEnergyIn, defInstallationIn, defStorageIn, defExploitationIn,
          defSubsidyIn, defCashflowIn, defBiomassOut, defInstallationOut, defExploitationOut, defFinanceOut})
        cAddObj(def);
}

void TProject::setProjectSub(std::unique_ptr<TProjectSubsidy> sub) {
    fProjectSub = std::move(sub);
}

bool TProject::recalcNeeded() const {
    return getValueWithID(valRecalcNeeded)->getAsInteger() == kYes;
}

void TProject::setRecalcAllowed(bool allowed) {
    if (!allowed) {
        ++fRecalcLevel;
        return;
    }
    --fRecalcLevel;
    if (fRecalcLevel <= 0) {
        fRecalcLevel = 0;
        if (recalcNeeded()) calcIfAllowed(nullptr);
    }
}

void TProject::markRecalcNeeded(TAbstractRootObj* cause) {
    if (busyDestroy()) return; // the project's own values may be gone already
    TAbstractDataValue* flag = getValueWithID(valRecalcNeeded);
    if (flag->getAsInteger() == kYes) {
        // Setting an equal value raises no trigger: a calculation that failed before is retried here.
        if (!busySync()) calcIfAllowed(cause);
        return;
    }
    TAbstractRootObj* const outer = gRecalcCause;
    gRecalcCause = cause;
    try {
        flag->setAsInteger(kYes);
    } catch (...) {
        gRecalcCause = outer;
        throw;
    }
    gRecalcCause = outer;
}

bool TProject::calc(TAbstractRootObj* cause) {
    return gCalcFunction != nullptr && gCalcFunction(*this, cause);
}

void TProject::calcIfAllowed(TAbstractRootObj* cause) {
    if (!recalcAllowed()) return;
    if (!calc(cause)) dmMsgError(dmTl(QStringLiteral("Unsuccessful calculation! Evaluate input values.")));
}

int32_t TProject::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags, TAbstractRootObj* secObject) {
    if ((flags & trgValueChanged) && !busySync() && !busyDestroy() && objTriggered->nodeKind() == nkValue &&
        objTriggered == getValueWithID(valRecalcNeeded) && recalcNeeded())
        calcIfAllowed(gRecalcCause);
    return flags != 0 ? TDataObjODRoot::handleTrigger(objTriggered, flags, secObject) : 0;
}

void TProjectSubsidy::init() {
    TDataObjODRoot::init();
    for (int32_t def : {defSubsidyGermany, defSubsidyNetherlands, defSubsidyFlanders, defSubsidyWallons,
                        defSubsidyPoland, defSubsidyItaly, defSubsidyEstonia})
        cAddObj(def);
}

// ---- input groups ----

namespace {

// The node that contains node (a list for a listed object).
TAbstractRootObj* containerOf(TAbstractRootObj* node) {
    switch (node->nodeKind()) {
    case nkValue:
        return static_cast<TAbstractDataValue*>(node)->Parent();
    case nkList:
        return static_cast<TDataObjList*>(node)->ParentDataObj();
    case nkObject: {
        auto* obj = static_cast<TDataObj*>(node);
        if (obj->ParentList()) return obj->ParentList();
        return obj->Parent();
    }
    }
    return nullptr;
}

// A deletion counts as one edit: the deleted node's own trigger counts, the triggers of its parts
// being destroyed with it do not, and a listed object counts through its list's leaving trigger.
bool deletionIsEdit(TAbstractRootObj* node, const TDataObj* group) {
    if (node->nodeKind() == nkObject && static_cast<TDataObj*>(node)->ParentList()) return false;
    for (TAbstractRootObj* up = containerOf(node); up && up != group; up = containerOf(up))
        if (up->busyDestroy()) return false;
    return true;
}

} // namespace

int32_t TProjInputData::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                                      TAbstractRootObj* secObject) {
    const bool edit = ((flags & trgNodeDeleted) && deletionIsEdit(objTriggered, this)) ||
                      ((flags & trgValueChanged) && objTriggered->nodeKind() == nkValue) ||
                      ((flags & trgObjLeaving) && objTriggered->nodeKind() == nkList);
    if (edit && !busySync() && !busyDestroy())
        if (TProject* project = projectOf(this)) project->markRecalcNeeded(secObject);
    return flags != 0 ? TDataObj::handleTrigger(objTriggered, flags, secObject) : 0;
}

void TAdminVars::init() {
    TProjInputData::init();
    cAddList(ldefAdmSubstrateManureList);
    cAddList(ldefAdmSubstrateCosubList);
    addGroup(*this, grpAdminVars);
    cAddList(ldefAdmPconnectList);
    cAddObj(defAdmComponentsDatabase);
}

void TBiomassIn::init() {
    TProjInputData::init();
    cAddList(ldefSubstrateManureList);
    cAddList(ldefSubstrateCosubList);
    addGroup(*this, grpBiomassIn);
}

void TEnergyIn::init() {
    TProjInputData::init();
    addGroup(*this, grpEnergyIn);
}

void TInstallationIn::init() {
    TProjInputData::init();
    addGroup(*this, grpInstallationIn);
}

void TStorageIn::init() {
    TProjInputData::init();
    addGroup(*this, grpStorageIn);
}

void TExploitationIn::init() {
    TProjInputData::init();
    addGroup(*this, grpExploitationIn);
}

void TSubsidyIn::init() {
    TProjInputData::init();
    addGroup(*this, grpSubsidyInUser);
    addGroup(*this, grpSubsidyIn);
}

void TFinanceIn::init() {
    TProjInputData::init();
    addGroup(*this, grpCashflowIn);
}

// ---- substrate rows and records ----

void TSubstrateManure::init() {
    TDataObj::init();
    addGroup(*this, grpSubMan);
}

int32_t TSubstrateManure::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                                        TAbstractRootObj* secObject) {
    if ((flags & trgValueChanged) && !busySync() && objTriggered->nodeKind() == nkValue) {
        auto* value = static_cast<TAbstractDataValue*>(objTriggered);
        if (value->Parent() == this) {
            // The derived writes and the edit itself reach the input group under one suspension,
            // so the whole chain ends in at most one calculation.
            return withRecalcSuspended(projectOf(this), [&]() {
                deriveAmounts(value->defID());
                return TDataObj::handleTrigger(objTriggered, flags, secObject);
            });
        }
    }
    return flags != 0 ? TDataObj::handleTrigger(objTriggered, flags, secObject) : 0;
}

void TSubstrateManure::deriveAmounts(int32_t changedDefID) {
    const bool animalsOrMonths = changedDefID == valNanimal || changedDefID == valTbarn;
    const bool volume = changedDefID == valVsub_i;
    const bool mass = changedDefID == valMsub_i;
    if (!animalsOrMonths && !volume && !mass) return;

    TDataObj* record = getValueWithID(valSubstrateManureAdmRef)->getAsReference();
    const double animals = valueOf(this, valNanimal);
    const double months = valueOf(this, valTbarn);
    if (animalsOrMonths && animals != 0 && months != 0) {
        const double production = record ? valueOf(record, valAdmRELprod_i) : 0.0;
        if (production != 0)
            changedVsubi = true;
        else
            setValue(this, valMsub_i, 0);
        setValue(this, valVsub_i, roundHalfEven(production * (months / 12.0 * animals)));
        // The write above has run the volume step already (or changed nothing).
        changedVsubi = false;
    } else if (volume && valueOf(this, valVsub_i) != 0) {
        const double density = record ? valueOf(record, valAdmREL_dens_i) : 0.0;
        if (density != 0) changedMsubi = true;
        setValue(this, valMsub_i, roundHalfEven(density * valueOf(this, valVsub_i)));
        changedMsubi = false;
        if (!changedVsubi) {
            setValue(this, valNanimal, 0);
            setValue(this, valTbarn, 0);
        }
        changedVsubi = false;
    }
    if (mass && valueOf(this, valMsub_i) != 0) {
        if (!changedMsubi) {
            setValue(this, valNanimal, 0);
            setValue(this, valTbarn, 0);
            setValue(this, valVsub_i, 0);
        }
        changedMsubi = false;
    }
}

void TSubstrateCosub::init() {
    TDataObj::init();
    cAddVal(valSubstrateCosubAdmRef);
    cAddVal(valMsub_i);
    cAddVal(valRelcost_i);
}

namespace {
void addSubstrateRecord(TDataObj& obj, int32_t typeDefID) {
    const std::vector<int32_t>& shared = schemaGroup(grpSubRec);
    obj.cAddVal(shared.front()); // AdmName
    obj.cAddVal(typeDefID);
    for (size_t i = 1; i < shared.size(); ++i)
        obj.cAddVal(shared[i]);
}
} // namespace

void TAdmSubstrateManure::init() {
    TDataObj::init();
    addSubstrateRecord(*this, valAdmSubManureType_i);
}

QString TAdmSubstrateManure::getName() {
    return substrateName(this, valAdmSubManureType_i);
}

void TAdmSubstrateCosub::init() {
    TDataObj::init();
    addSubstrateRecord(*this, valAdmSubCosubType_i);
}

QString TAdmSubstrateCosub::getName() {
    return substrateName(this, valAdmSubCosubType_i);
}

// ---- reference data, outputs and subsidy rules ----

void TAdmPconnect::init() {
    TDataObj::init();
    addGroup(*this, grpPconnect);
}

void TAdmComponentsDatabase::init() {
    TDataObj::init();
    addGroup(*this, grpComponents);
}

void TBiomassOut::init() {
    TDataObj::init();
    addGroup(*this, grpBiomassOut);
}

void TInstallationOut::init() {
    TDataObj::init();
    addGroup(*this, grpInstallationOut);
}

void TExploitationOut::init() {
    TDataObj::init();
    addGroup(*this, grpExploitationOut);
}

void TFinanceOut::init() {
    TDataObj::init();
    for (int32_t def :
         {deffinance_chp, deffinance_chp_heat, deffinance_biomethane, deffinance_biomethane_ext_heat})
        cAddObj(def);
    addGroup(*this, grpFinanceOut);
}

void TFinanceOutSingle::init() {
    TDataObj::init();
    addGroup(*this, grpFinSingle);
    cAddList(ldefFinanceYearList);
}

void TFinanceYear::init() {
    TDataObj::init();
    addGroup(*this, grpFinYear);
}

void TSubsidyApply::init() {
    TDataObj::init();
    addGroup(*this, grpApply);
}

void TSubsidyGermany::init() {
    TDataObj::init();
    addGroup(*this, grpSubGer);
    cAddObj(defSubGerApply);
}

void TSubsidyNetherlands::init() {
    TDataObj::init();
    addGroup(*this, grpSubNet);
    cAddList(ldefSubNetList);
    cAddObj(defSubNetApply);
}

void TSubsidyNetherlandsListRec::init() {
    TDataObj::init();
    addGroup(*this, grpSubNetRec);
}

void TSubsidyFlanders::init() {
    TDataObj::init();
    addGroup(*this, grpSubFla);
    cAddList(ldefSubFlaList);
    cAddObj(defSubFlaApply);
}

void TSubsidyFlandersListRec::init() {
    TDataObj::init();
    addGroup(*this, grpSubFlaRec);
}

void TSubsidyWallons::init() {
    TDataObj::init();
    addGroup(*this, grpSubWal);
    cAddObj(defSubWalApply);
}

void TSubsidyPoland::init() {
    TDataObj::init();
    addGroup(*this, grpSubPol);
    cAddObj(defSubPolApply);
}

void TSubsidyItaly::init() {
    TDataObj::init();
    addGroup(*this, grpSubIta);
    cAddObj(defSubItaApply);
}

void TSubsidyEstonia::init() {
    TDataObj::init();
    addGroup(*this, grpSubEst);
    cAddObj(defSubEstApply);
}

} // namespace fmx
