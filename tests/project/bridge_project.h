// Builds a fully filled project from the engine's reference records (tests and benchmarks).
#pragma once

#include "project.h"
#include "project_calc.h"
#include "project_schema.h"

#include "bgx_fixture.h"

#include "datavalue.h"
#include "dmdata.h"

#include <cmath>
#include <memory>

namespace fmxtest {

using namespace fmx;

// The data model counts a change smaller than its float tolerance as no change; tiny cost
// coefficients are therefore stored by way of another value.
inline void setExact(TAbstractDataValue* v, double x) {
    if (x != 0 && std::fabs(x) < 1e-3) v->setAsFloat(1);
    v->setAsFloat(x);
}

inline TDataObj* databaseRecord(TProject& project, const char* name) {
    TDataObj* admin = project.getSubObjWithDefID(defAdminVars);
    for (int32_t list : {ldefAdmSubstrateManureList, ldefAdmSubstrateCosubList}) {
        TDataObjList* l = admin->getListWithID(list);
        for (int i = 0; i < l->objCount(); ++i)
            if (l->obj(i)->getValueWithID(valAdmName)->getAsString() == QLatin1String(name)) return l->obj(i);
    }
    return nullptr;
}
inline TDataObj* addRow(TProject& project, const char* substrate, double mass, double cost) {
    TDataObjList* manureRows =
        project.getSubObjWithDefID(defBiomassIn)->getListWithID(ldefSubstrateManureList);
    TDataObjList* cosubRows = project.getSubObjWithDefID(defBiomassIn)->getListWithID(ldefSubstrateCosubList);
    TDataObj* record = databaseRecord(project, substrate);
    const bool manure = record->Definition()->InternalID() == defAdmSubstrateManure;
    TDataObj* row = (manure ? manureRows : cosubRows)->cAddObj(-1);
    row->getValueWithID(manure ? valSubstrateManureAdmRef : valSubstrateCosubAdmRef)->setAsReference(record);
    row->getValueWithID(valMsub_i)->setAsFloat(mass);
    row->getValueWithID(valRelcost_i)->setAsFloat(cost);
    return row;
}

// Writes engine records into a project through the bridge's own name tables (recalculation should
// be off meanwhile).
inline void fillProjectFromRecords(TProject& project, const TBGXAdminVars& refAdmin,
                                   const TBGXSubsidy& refSubsidy, const TBGXUserData& refUser) {
    TDataObj* admin = project.getSubObjWithDefID(defAdminVars);
    const TBGXUserData* ref = &refUser;
    project.getValueWithID(valTemplate)->setAsString(QStringLiteral("Test template"));
    for (const TBGXSubstrate& s : refAdmin.Substrates) {
        if (s.Name.empty()) continue;
        const bool manure = s.SubType_i <= 2;
        TDataObj* rec = admin->getListWithID(manure ? ldefAdmSubstrateManureList : ldefAdmSubstrateCosubList)
                            ->cAddObj(-1);
        rec->getValueWithID(valAdmName)->setAsString(QString::fromStdString(s.Name));
        rec->getValueWithID(manure ? valAdmSubManureType_i : valAdmSubCosubType_i)->setAsInteger(s.SubType_i);
        const std::pair<int32_t, double> fields[] = {{valAdmDM, s.DM},
                                                     {valAdmODM, s.ODM},
                                                     {valAdmBiogasProd, s.BiogasProd},
                                                     {valAdmCH4, s.CH4},
                                                     {valAdmCO2, s.CO2},
                                                     {valAdmT_RT_recom, s.T_RT_recom},
                                                     {valAdmREL_dens_i, s.REL_dens_i},
                                                     {valAdmPER_slib_i, s.PER_slib_i},
                                                     {valAdmPotassium, s.Potassium},
                                                     {valAdmPhosphate, s.Phosphate},
                                                     {valAdmNitrogen, s.Nitrogen},
                                                     {valAdmMin_Nitrogen, s.Min_Nitrogen},
                                                     {valAdmRELprod_i, s.RELprod_i},
                                                     {valAdmREL_redCDE, s.REL_redCDE}};
        for (const auto& [id, v] : fields)
            setExact(rec->getValueWithID(id), v);
    }
    TDataObj* components = admin->getSubObjWithDefID(defAdmComponentsDatabase);
    for (const TBridgeAdmin& a : bridgeAdminFields()) {
        TAbstractDataValue* v = admin->getValueWithXML(QLatin1String(a.xml));
        setExact(v ? v : components->getValueWithXML(QLatin1String(a.xml)), refAdmin.*a.field);
    }
    for (const auto& cls : bridgePconnectFields()) {
        TDataObj* rec = admin->getListWithID(ldefAdmPconnectList)->cAddObj(-1);
        for (size_t k = 0; k < kPconnectXml.size(); ++k)
            rec->getValueWithXML(QLatin1String(kPconnectXml[k]))->setAsFloat(refAdmin.*cls[k]);
    }

    auto rules = std::unique_ptr<TProjectSubsidy>(static_cast<TProjectSubsidy*>(
        dmData->FindDataObjDefWithID(defProjectSubsidy)->CreateRootDataObj(false, true).release()));
    for (const TBridgeSubsidy& s : bridgeSubsidyFields())
        rules->getSubObjWithDefID(*s.objDef)
            ->getValueWithXML(QLatin1String(s.xml))
            ->setAsFloat(refSubsidy.*s.field);
    const std::tuple<int32_t, int32_t, const TBGXSubsidyApply*> applies[] = {
        {defSubsidyGermany, defSubGerApply, &refSubsidy.SubGerApply},
        {defSubsidyNetherlands, defSubNetApply, &refSubsidy.SubNetApply},
        {defSubsidyFlanders, defSubFlaApply, &refSubsidy.SubFlaApply},
        {defSubsidyWallons, defSubWalApply, &refSubsidy.SubWalApply},
        {defSubsidyPoland, defSubPolApply, &refSubsidy.SubPolApply},
        {defSubsidyItaly, defSubItaApply, &refSubsidy.SubItaApply},
        {defSubsidyEstonia, defSubEstApply, &refSubsidy.SubEstApply}};
    for (const auto& [scheme, applyDef, a] : applies) {
        TDataObj* obj = rules->getSubObjWithDefID(scheme)->getSubObjWithDefID(applyDef);
        const std::pair<const char*, bool> flags[] = {
            {"SubApplyElecCompl", a->SubApplyElecCompl},
            {"SubApplyElecMarketprice", a->SubApplyElecMarketprice},
            {"SubApplyThermCompl", a->SubApplyThermCompl},
            {"SubApplyThermMarketprice", a->SubApplyThermMarketprice},
            {"SubApplyBiomethCompl", a->SubApplyBiomethCompl},
            {"SubApplyBiomethMarketprice", a->SubApplyBiomethMarketprice}};
        for (const auto& [xml, flag] : flags)
            obj->getValueWithXML(QLatin1String(xml))->setAsBoolean(flag);
    }
    TDataObjList* net = rules->getSubObjWithDefID(defSubsidyNetherlands)->getListWithID(ldefSubNetList);
    for (const TBGXSubsidyNet& r : refSubsidy.SubNetList) {
        TDataObj* rec = net->cAddObj(-1);
        rec->getValueWithXML(QStringLiteral("SubNetLL"))->setAsFloat(r.SubNetLL);
        rec->getValueWithXML(QStringLiteral("SubNetULMJ"))->setAsFloat(r.SubNetULMJ);
        rec->getValueWithXML(QStringLiteral("SubNetULEur"))->setAsFloat(r.SubNetULEur);
    }
    TDataObjList* fla = rules->getSubObjWithDefID(defSubsidyFlanders)->getListWithID(ldefSubFlaList);
    for (const TBGXSubsidyFla& r : refSubsidy.SubFlaList)
        fla->cAddObj(-1)->getValueWithXML(QStringLiteral("SubFlaCHPCert"))->setAsFloat(r.SubFlaCHPCert);
    project.setProjectSub(std::move(rules));

    for (const TBridgeInput& in : bridgeUserInputs()) {
        TAbstractDataValue* v =
            project.getSubObjWithDefID(*in.objDef)->getValueWithXML(QLatin1String(in.xml));
        if (const auto* d = std::get_if<double TBGXUserData::*>(&in.field))
            setExact(v, ref->**d);
        else if (const auto* i = std::get_if<int32_t TBGXUserData::*>(&in.field))
            v->setAsInteger(ref->**i);
        else
            v->setAsBoolean(ref->*std::get<bool TBGXUserData::*>(in.field));
    }
    for (const TBGXSubstrate_mix& line : ref->substrates_mix)
        if (!line.Name.empty()) addRow(project, line.Name.c_str(), line.Msub_i, line.RELcost_i);
}

// Fills a project from the engine's reference records of a dairy farm, with recalculation
// suspended (resuming runs the installed calculation, if any).
inline void fillReferenceProject(TProject& project) {
    TBGXAdminVars admin{};
    TBGXSubsidy subsidy{};
    auto user = std::make_unique<TBGXUserData>();
    testdata::fillAdminVars(admin);
    testdata::fillSubsidy(subsidy);
    testdata::fillDairyFarm(*user);
    withRecalcSuspended(&project, [&] { fillProjectFromRecords(project, admin, subsidy, *user); });
}

// A new root project so filled; the registry with the project schema must exist.
inline std::unique_ptr<TProject> newReferenceProject() {
    std::unique_ptr<TProject> project(static_cast<TProject*>(
        dmData->FindDataObjDefWithID(defProjectDigester)->CreateRootDataObj(false, true).release()));
    fillReferenceProject(*project);
    return project;
}

} // namespace fmxtest
