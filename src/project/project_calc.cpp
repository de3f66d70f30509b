// The calculation bridge between the project tree and the engine's records.
#include "project_calc.h"

#include "project_schema.h"

#include "bgx_case_fields.h"
#include "datavalue.h"
#include "dmhooks.h"
#include "hash.h"
#include "log.h"

#include <stdexcept>

namespace fmx {

namespace {

constexpr int32_t kNo = 2;
constexpr int32_t kCountryPoland = 6;
constexpr int kFinanceRows = kBGXFinanceRows;

TDataObj* child(TDataObj* parent, int32_t defID) {
    TDataObj* obj = parent ? parent->getSubObjWithDefID(defID) : nullptr;
    if (!obj) throw TBaseDataError(tdek_CalcError, QStringLiteral("Missing object in the project tree"));
    return obj;
}

TDataObjList* listOf(TDataObj* parent, int32_t defID) {
    TDataObjList* list = parent->getListWithID(defID);
    if (!list) throw TBaseDataError(tdek_CalcError, QStringLiteral("Missing list in the project tree"));
    return list;
}

TAbstractDataValue* valueOf(TDataObj* obj, const QString& xml) {
    TAbstractDataValue* v = obj->getValueWithXML(xml);
    if (!v)
        throw TBaseDataError(tdek_CalcError,
                             QStringLiteral("Missing value %1 in %2").arg(xml, obj->Definition()->XMLName()));
    return v;
}

TAbstractDataValue* valueOf(TDataObj* obj, const char* xml) {
    return valueOf(obj, QLatin1String(xml));
}

TAbstractDataValue* valueOf(TDataObj* obj, uint32_t hash, const QString& xml) {
    TAbstractDataValue* v = obj->getValueWithXMLHash(hash);
    if (!v)
        throw TBaseDataError(tdek_CalcError,
                             QStringLiteral("Missing value %1 in %2").arg(xml, obj->Definition()->XMLName()));
    return v;
}

void checkRange(int index, int size, const char* what) {
    if (index >= size) throw std::range_error(std::string("Too many entries for ") + what);
}

void readApply(TDataObj* applyObj, TBGXSubsidyApply& a) {
    a.SubApplyElecCompl = valueOf(applyObj, "SubApplyElecCompl")->getAsBoolean();
    a.SubApplyElecMarketprice = valueOf(applyObj, "SubApplyElecMarketprice")->getAsBoolean();
    a.SubApplyThermCompl = valueOf(applyObj, "SubApplyThermCompl")->getAsBoolean();
    a.SubApplyThermMarketprice = valueOf(applyObj, "SubApplyThermMarketprice")->getAsBoolean();
    a.SubApplyBiomethCompl = valueOf(applyObj, "SubApplyBiomethCompl")->getAsBoolean();
    a.SubApplyBiomethMarketprice = valueOf(applyObj, "SubApplyBiomethMarketprice")->getAsBoolean();
}

} // namespace

// ---- name tables ----

const std::vector<TBridgeAdmin>& bridgeAdminFields() {
#define FMX_AV(name) {"Adm" #name, &TBGXAdminVars::name},
    static const std::vector<TBridgeAdmin> table{
        // clang-format off
        FMX_AV(TEMPmesophilic)
        FMX_AV(TEMPthermophilic)
        FMX_AV(PERminN)
        FMX_AV(C_RhoDigestate)
        FMX_AV(C_CpDigestate)
        FMX_AV(REL_Dig_Dens)
        FMX_AV(REL_thickfrac_dens)
        FMX_AV(REL_liqfrac_dens)
        FMX_AV(REL_thickdriedfrac_dens)
        FMX_AV(REL_retUF_dens)
        FMX_AV(REL_retRO_dens)
        FMX_AV(REL_water_dens)
        FMX_AV(PRESSaverage)
        FMX_AV(TEMPaverage)
        FMX_AV(TEMPground)
        FMX_AV(Tufro)
        FMX_AV(Tchp)
        FMX_AV(Tdry)
        FMX_AV(C_chpFuelmax)
        FMX_AV(RATeffCHP_C1)
        FMX_AV(RATeffCHP_C2)
        FMX_AV(RATeffCHP_C3)
        FMX_AV(C_dTdigesterHeating)
        FMX_AV(RATeff_past)
        FMX_AV(TEMPpasteurisation)
        FMX_AV(RATmeth_biometh)
        FMX_AV(RATeffBiogasUpgr)
        FMX_AV(RATeffElecStorage)
        FMX_AV(RATeffElecDigester)
        FMX_AV(Ch_heating_digester)
        FMX_AV(Effpump)
        FMX_AV(RATeff_compr)
        FMX_AV(PRESSin)
        FMX_AV(RATstor_frac)
        FMX_AV(RAT_dm_thickfrac)
        FMX_AV(RAT_dm_liqfrac)
        FMX_AV(RAT_dm_thickdriedfrac)
        FMX_AV(RAT_UF_ret)
        FMX_AV(RAT_RO_ret)
        FMX_AV(PERInflation)
        FMX_AV(PERinsur)
        FMX_AV(RAT_sep_eff_dm)
        FMX_AV(RAT_sep_eff_odm)
        FMX_AV(RAT_sep_eff_Ntot)
        FMX_AV(RAT_sep_eff_Nmin)
        FMX_AV(RAT_sep_eff_P)
        FMX_AV(RAT_sep_eff_K)
        FMX_AV(RAT_UF_eff_dm)
        FMX_AV(RAT_UF_eff_odm)
        FMX_AV(RAT_UF_eff_Ntot)
        FMX_AV(RAT_UF_eff_Nmin)
        FMX_AV(RAT_UF_eff_P)
        FMX_AV(RAT_UF_eff_K)
        FMX_AV(RAT_RO_eff_dm)
        FMX_AV(RAT_RO_eff_odm)
        FMX_AV(RAT_RO_eff_Ntot)
        FMX_AV(RAT_RO_eff_Nmin)
        FMX_AV(RAT_RO_eff_P)
        FMX_AV(RAT_RO_eff_K)
        FMX_AV(RAT_dry_eff_dm)
        FMX_AV(RAT_dry_eff_odm)
        FMX_AV(RAT_dry_eff_Ntot)
        FMX_AV(RAT_dry_eff_Nmin)
        FMX_AV(RAT_dry_eff_P)
        FMX_AV(RAT_dry_eff_K)
        FMX_AV(BY_Digester_A)
        FMX_AV(BY_Digester_B)
        FMX_AV(BY_Concrete)
        FMX_AV(BY_Steel)
        FMX_AV(BY_Bag)
        FMX_AV(BY_Polyester)
        FMX_AV(BY_Trench)
        FMX_AV(BY_Past)
        FMX_AV(BY_Torch)
        FMX_AV(BY_Sep)
        FMX_AV(BY_UFRO)
        FMX_AV(BY_Dry)
        FMX_AV(BY_BoilerA)
        FMX_AV(BY_BoilerB)
        FMX_AV(BY_BoilerC)
        FMX_AV(BY_CHP)
        FMX_AV(BY_HeatNetwork)
        FMX_AV(BY_Upgrade_a)
        FMX_AV(BY_Upgrade_b)
        FMX_AV(BY_GasConnect)
        FMX_AV(BY_GasNetwork)
        FMX_AV(BY_Shovel)
        FMX_AV(BY_Civil)
        FMX_AV(C1_Digester_A)
        FMX_AV(C1_Digester_B)
        FMX_AV(C1_Concrete)
        FMX_AV(C1_Steel)
        FMX_AV(C1_Bag)
        FMX_AV(C1_Polyester)
        FMX_AV(C1_Trench)
        FMX_AV(C1_Past)
        FMX_AV(C1_Torch)
        FMX_AV(C1_Sep)
        FMX_AV(C1_UFRO)
        FMX_AV(C1_Dry)
        FMX_AV(C1_BoilerA)
        FMX_AV(C1_BoilerB)
        FMX_AV(C1_BoilerC)
        FMX_AV(C1_CHP)
        FMX_AV(C1_HeatNetwork)
        FMX_AV(C1_Upgrade_a)
        FMX_AV(C1_Upgrade_b)
        FMX_AV(C1_GasConnect)
        FMX_AV(C1_GasNetwork)
        FMX_AV(C1_Shovel)
        FMX_AV(C1_Civil)
        FMX_AV(C1_PERadvise)
        FMX_AV(C1_PERinspection)
        FMX_AV(C1_PERengineering)
        FMX_AV(C1_PERcontractorfee)
        FMX_AV(C1_PERcontingency)
        FMX_AV(C1_PERstartup)
        FMX_AV(C2_Digester_A)
        FMX_AV(C2_Digester_B)
        FMX_AV(C2_Concrete)
        FMX_AV(C2_Steel)
        FMX_AV(C2_Bag)
        FMX_AV(C2_Polyester)
        FMX_AV(C2_Trench)
        FMX_AV(C2_Past)
        FMX_AV(C2_Torch)
        FMX_AV(C2_Sep)
        FMX_AV(C2_UFRO)
        FMX_AV(C2_Dry)
        FMX_AV(C2_BoilerB)
        FMX_AV(C2_BoilerC)
        FMX_AV(C2_CHP)
        FMX_AV(C2_HeatNetwork)
        FMX_AV(C2_Upgrade_a)
        FMX_AV(C2_Upgrade_b)
        FMX_AV(C2_GasConnect)
        FMX_AV(C2_GasNetwork)
        FMX_AV(C2_Civil)
        FMX_AV(C2_PERadvise)
        FMX_AV(C2_PERinspection)
        FMX_AV(C3_Digester_A)
        FMX_AV(C3_Concrete)
        FMX_AV(C3_Polyester)
        FMX_AV(C3_Trench)
        FMX_AV(C3_Past)
        FMX_AV(C3_Torch)
        FMX_AV(C3_Sep)
        FMX_AV(C3_UFRO)
        FMX_AV(C3_HeatNetwork)
        FMX_AV(C3_Upgrade_a)
        FMX_AV(C3_Upgrade_b)
        FMX_AV(C3_GasConnect)
        FMX_AV(C3_GasNetwork)
        FMX_AV(C3_Civil)
        FMX_AV(C4_UFRO)
        FMX_AV(C4_GasConnect)
        FMX_AV(C5_UFRO)
        FMX_AV(C5_GasConnect)
        FMX_AV(C11_Digester_A)
        FMX_AV(C11_Digester_B)
        FMX_AV(C11_Torch)
        FMX_AV(C11_Sep)
        FMX_AV(C11_UFRO)
        FMX_AV(C11_Dry)
        FMX_AV(C11_BoilerA)
        FMX_AV(C11_BoilerB)
        FMX_AV(C11_BoilerC)
        FMX_AV(C11_CHP)
        FMX_AV(C11_Upgrade_a)
        FMX_AV(C11_Upgrade_b)
        FMX_AV(C11_GasConnect)
        FMX_AV(C11_GasNetwork)
        FMX_AV(C11_Shovel)
        FMX_AV(C12_Sep)
        FMX_AV(C12_BoilerA)
        FMX_AV(C12_BoilerB)
        FMX_AV(C12_BoilerC)
        FMX_AV(C12_CHP)
        FMX_AV(C13_CHP)
        FMX_AV(C14_CHP)
        FMX_AV(C15_CHP)
        FMX_AV(C16_CHP)
        FMX_AV(C21_Digester_A)
        FMX_AV(C21_Digester_B)
        FMX_AV(C21_Dry)
        FMX_AV(C21_HeatNetwork)
        FMX_AV(C22_HeatNetwork)
        FMX_AV(C23_HeatNetwork)
        FMX_AV(C24_HeatNetwork)
        FMX_AV(C31_Digester_A)
        FMX_AV(C31_Digester_B)
        FMX_AV(C31_Sep)
        FMX_AV(C31_UFRO)
        FMX_AV(C31_Dry)
        FMX_AV(C31_Upgrade_a)
        FMX_AV(C31_Upgrade_b)
        FMX_AV(C32_Digester_A)
        FMX_AV(C32_Digester_B)
        FMX_AV(C32_UFRO)
        FMX_AV(C33_Digester_A)
        FMX_AV(C33_Digester_B)
        FMX_AV(C33_UFRO)
        FMX_AV(C34_Digester_A)
        FMX_AV(C34_Digester_B)
        FMX_AV(C41_Shovel)
        FMX_AV(C51_Digester_A)
        FMX_AV(C51_Digester_B)
        FMX_AV(C51_Sep)
        FMX_AV(C51_UFRO)
        FMX_AV(C51_Dry)
        FMX_AV(C52_Sep)
        FMX_AV(C52_UFRO)
        FMX_AV(C53_Sep)
        FMX_AV(C53_UFRO)
        FMX_AV(C54_Sep)
        FMX_AV(C54_UFRO)
        // clang-format on
    };
#undef FMX_AV
    return table;
}

const std::array<const char*, 8> kPconnectXml{"AdmPconnect_KW",
                                              "AdmPconnect_COSTgridconnect",
                                              "AdmPconnect_COSTtransport",
                                              "AdmPconnect_COSTelec_service",
                                              "AdmPconnect_COSTelec_expl",
                                              "AdmPconnect_INVnetwork_elec",
                                              "AdmPconnect_INVconnect_elec",
                                              "AdmPconnect_year_of_data"};

const std::array<std::array<double TBGXAdminVars::*, 8>, 6>& bridgePconnectFields() {
#define FMX_PC(c)                                                                                            \
    std::array<double TBGXAdminVars::*, 8> {                                                                 \
        &TBGXAdminVars::Pconnect_##c##_Pconnect_KW, &TBGXAdminVars::Pconnect_##c##_COSTgridconnect,          \
            &TBGXAdminVars::Pconnect_##c##_COSTtransport, &TBGXAdminVars::Pconnect_##c##_COSTelec_service,   \
            &TBGXAdminVars::Pconnect_##c##_COSTelec_expl, &TBGXAdminVars::Pconnect_##c##_INVnetwork_elec,    \
            &TBGXAdminVars::Pconnect_##c##_INVconnect_elec, &TBGXAdminVars::Pconnect_##c##_year_of_data      \
    }
    static const std::array<std::array<double TBGXAdminVars::*, 8>, 6> table{
        FMX_PC(128), FMX_PC(500), FMX_PC(800), FMX_PC(1400), FMX_PC(4000), FMX_PC(8000)};
#undef FMX_PC
    return table;
}

namespace {
const int32_t* schemeOf(const char* field) {
    const std::string_view name(field);
    if (name.starts_with("SubGer")) return &defSubsidyGermany;
    if (name.starts_with("SubNet")) return &defSubsidyNetherlands;
    if (name.starts_with("SubFla")) return &defSubsidyFlanders;
    if (name.starts_with("SubWal")) return &defSubsidyWallons;
    if (name.starts_with("SubPol")) return &defSubsidyPoland;
    if (name.starts_with("SubIta")) return &defSubsidyItaly;
    return &defSubsidyEstonia;
}
} // namespace

const std::vector<TBridgeSubsidy>& bridgeSubsidyFields() {
    static const std::vector<TBridgeSubsidy> table = [] {
        std::vector<TBridgeSubsidy> t{
#define FMX_SUB(name) {schemeOf(#name), #name, &TBGXSubsidy::name},
            // clang-format off
            FMX_SUB(SubGerALL)
            FMX_SUB(SubGerAUL)
            FMX_SUB(SubGerABasicFee)
            FMX_SUB(SubGerAFormaldehyde)
            FMX_SUB(SubGerANawaro)
            FMX_SUB(SubGerAManure)
            FMX_SUB(SubGerAResidues)
            FMX_SUB(SubGerATechnology)
            FMX_SUB(SubGerBLL)
            FMX_SUB(SubGerBUL)
            FMX_SUB(SubGerBBasicFee)
            FMX_SUB(SubGerBFormaldehyde)
            FMX_SUB(SubGerBNawaro)
            FMX_SUB(SubGerBManure)
            FMX_SUB(SubGerBResidues)
            FMX_SUB(SubGerBTechnology)
            FMX_SUB(SubGerCLL)
            FMX_SUB(SubGerCUL)
            FMX_SUB(SubGerCBasicFee)
            FMX_SUB(SubGerCFormaldehyde)
            FMX_SUB(SubGerCNawaro)
            FMX_SUB(SubGerCManure)
            FMX_SUB(SubGerCResidues)
            FMX_SUB(SubGerCTechnology)
            FMX_SUB(SubGerDLL)
            FMX_SUB(SubGerDUL)
            FMX_SUB(SubGerDBasicFee)
            FMX_SUB(SubGerDFormaldehyde)
            FMX_SUB(SubGerDNawaro)
            FMX_SUB(SubGerDManure)
            FMX_SUB(SubGerDResidues)
            FMX_SUB(SubGerDTechnology)
            FMX_SUB(SubGerGas350)
            FMX_SUB(SubGerGas700)
            FMX_SUB(SubGerCHPBonus)
            FMX_SUB(SubGerInvHeatNetwork)
            FMX_SUB(SubNetYears)
            FMX_SUB(SubFlaEffrefTherm)
            FMX_SUB(SubFlaEffrefElec)
            FMX_SUB(SubWalCEref)
            FMX_SUB(SubWalCThref)
            FMX_SUB(SubWalCCO2ref)
            FMX_SUB(SubWalTTotal)
            FMX_SUB(SubWalT100)
            FMX_SUB(SubWalCCorrGC)
            FMX_SUB(SubPolEffrefTherm)
            FMX_SUB(SubPolEffrefElec)
            FMX_SUB(SubPolCritPower)
            FMX_SUB(SubPolCritViolet)
            FMX_SUB(SubPolCritYellow)
            FMX_SUB(SubItaSizeCrit)
            FMX_SUB(SubItaFundSmall)
            FMX_SUB(SubItaFundLarge)
            FMX_SUB(SubItaPeriodSmall)
            FMX_SUB(SubItaPeriodLarge)
            FMX_SUB(SubEstCInvBasic)
            FMX_SUB(SubEstCInvYoung)
            FMX_SUB(SubEstCInvLessFavArea)
            FMX_SUB(SubEstCInvMax)
            FMX_SUB(SubEstCElec)
            FMX_SUB(SubEstTElec)
        // clang-format on
#undef FMX_SUB
        };
        // The rule files name this value without its last letter.
        for (TBridgeSubsidy& s : t)
            if (s.field == &TBGXSubsidy::SubPolEffrefElec) s.xml = "SubPolEffrefEle";
        return t;
    }();
    return table;
}

const std::vector<TBridgeInput>& bridgeUserInputs() {
    using U = TBGXUserData;
#define FMX_IN(obj, name) {&def##obj, #name, &U::name, false},
#define FMX_INX(obj, xml, name) {&def##obj, xml, &U::name, false},
#define FMX_MONEY(obj, name) {&def##obj, #name, &U::name, true},
    static const std::vector<TBridgeInput> table{
        // clang-format off
        // BiomassIn
        FMX_INX(BiomassIn, "trt_user", Trt_user)
        FMX_INX(BiomassIn, "Digester_type", DigesterType)
        // EnergyIn
        FMX_IN(EnergyIn, Apply_heat)
        FMX_IN(EnergyIn, Lheatdeliv)
        FMX_IN(EnergyIn, Pheatdeliv_average)
        FMX_IN(EnergyIn, Pheatdeliv_peak)
        FMX_IN(EnergyIn, Apply_biogasnet)
        FMX_IN(EnergyIn, HeatNetwork_Complex)
        FMX_IN(EnergyIn, Heatnetwork_dT)
        FMX_IN(EnergyIn, Apply_buyheat)
        FMX_IN(EnergyIn, Lbuyheat)
        FMX_IN(EnergyIn, Apply_doubleconnect_elec)
        FMX_IN(EnergyIn, Lfeed_elec)
        FMX_IN(EnergyIn, Lconsume_elec)
        FMX_IN(EnergyIn, Apply_upgrade)
        FMX_IN(EnergyIn, Lfeed_gas)
        FMX_IN(EnergyIn, PRESS_feed_gas)
        FMX_IN(EnergyIn, GasNetwork_Complex)
        FMX_IN(EnergyIn, CFchp_extra)
        FMX_IN(EnergyIn, n_engine)
        // InstallationIn
        FMX_IN(InstallationIn, Apply_past)
        FMX_INX(InstallationIn, "mpast_user", Mpast_user)
        FMX_IN(InstallationIn, Past_Feed)
        FMX_IN(InstallationIn, Apply_torch)
        FMX_IN(InstallationIn, Apply_sep)
        FMX_IN(InstallationIn, Apply_UFRO)
        FMX_IN(InstallationIn, Apply_dry)
        FMX_INX(InstallationIn, "a_hall_user", A_hall_user)
        { &defInstallationIn, "land_c1_user", &U::Land_C1_user, true},
        FMX_INX(InstallationIn, "tdepr", Tdepr)
        FMX_MONEY(InstallationIn, INVuser_amount)
        // StorageIn
        FMX_IN(StorageIn, Cosub_liq_Tstor_user)
        FMX_IN(StorageIn, Cosub_liq_StorType_user)
        FMX_IN(StorageIn, Cosub_liq_Vstor_avail_user)
        FMX_IN(StorageIn, Cosub_sol_Tstor_user)
        FMX_IN(StorageIn, Cosub_sol_StorType_user)
        FMX_IN(StorageIn, Cosub_sol_Vstor_avail_user)
        FMX_IN(StorageIn, Man_liq_Tstor_user)
        FMX_IN(StorageIn, Man_liq_StorType_user)
        FMX_IN(StorageIn, Man_liq_Vstor_avail_user)
        FMX_IN(StorageIn, Man_sol_Tstor_user)
        FMX_IN(StorageIn, Man_sol_StorType_user)
        FMX_IN(StorageIn, Man_sol_Vstor_avail_user)
        FMX_IN(StorageIn, Dig_Tstor_user)
        FMX_IN(StorageIn, Dig_Muselocal)
        FMX_IN(StorageIn, Dig_StorType_user)
        FMX_IN(StorageIn, ThickFrac_Tstor_user)
        FMX_IN(StorageIn, ThickFrac_Muselocal)
        FMX_IN(StorageIn, ThickFrac_StorType_user)
        FMX_IN(StorageIn, LiqFrac_Tstor_user)
        FMX_IN(StorageIn, LiqFrac_Muselocal)
        FMX_IN(StorageIn, LiqFrac_StorType_user)
        FMX_IN(StorageIn, ThickDriedFrac_Tstor_user)
        FMX_IN(StorageIn, ThickDriedFrac_Muselocal)
        FMX_IN(StorageIn, ThickDriedFrac_StorType_user)
        FMX_IN(StorageIn, retUF_Tstor_user)
        FMX_IN(StorageIn, retUF_Muselocal)
        FMX_IN(StorageIn, retUF_StorType_user)
        FMX_IN(StorageIn, retRO_Tstor_user)
        FMX_IN(StorageIn, retRO_Muselocal)
        FMX_IN(StorageIn, retRO_StorType_user)
        FMX_IN(StorageIn, Water_Tstor_user)
        FMX_IN(StorageIn, Water_Muselocal)
        FMX_IN(StorageIn, Water_StorType_user)
        // ExploitationIn
        FMX_MONEY(ExploitationIn, biomass_relcost_dig)
        FMX_MONEY(ExploitationIn, biomass_relcost_thickfrac)
        FMX_MONEY(ExploitationIn, biomass_relcost_liqfrac)
        FMX_MONEY(ExploitationIn, biomass_relcost_thickdriedfrac)
        FMX_MONEY(ExploitationIn, biomass_relcost_retuf)
        FMX_MONEY(ExploitationIn, biomass_relcost_retro)
        FMX_MONEY(ExploitationIn, biomass_relcost_water)
        FMX_MONEY(ExploitationIn, energy_use_relcost_elec)
        FMX_MONEY(ExploitationIn, energy_use_relcost_therm)
        FMX_MONEY(ExploitationIn, energy_use_relcost_diesel)
        FMX_IN(ExploitationIn, energy_use_ptherm_intdemand_user)
        FMX_MONEY(ExploitationIn, energy_production_relpriceelec)
        FMX_MONEY(ExploitationIn, energy_production_relpricetherm)
        FMX_MONEY(ExploitationIn, energy_production_relpricebiometh)
        FMX_IN(ExploitationIn, financial_aspects_perinterest)
        FMX_IN(ExploitationIn, financial_aspects_tloan)
        FMX_IN(ExploitationIn, financial_aspects_perworkcapital)
        FMX_IN(ExploitationIn, financial_aspects_perequity)
        FMX_MONEY(ExploitationIn, financial_aspects_relperscost)
        FMX_MONEY(ExploitationIn, financial_aspects_costuser_amount)
        FMX_IN(ExploitationIn, financial_aspects_apply_subsidy)
        FMX_IN(ExploitationIn, financial_aspects_country)
        FMX_IN(ExploitationIn, financial_aspects_convpln)
        FMX_IN(ExploitationIn, subsidy_building_period)
        FMX_IN(ExploitationIn, subsidy_perpayment1)
        FMX_IN(ExploitationIn, subsidy_perpayment2)
        FMX_IN(ExploitationIn, subsidy_perpayment3)
        FMX_IN(ExploitationIn, subsidy_perpayperiod1)
        FMX_IN(ExploitationIn, subsidy_perpayperiod2)
        FMX_IN(ExploitationIn, subsidy_perpayperiod3)
        // SubsidyIn: the record holds these names in lower case.
        FMX_INX(SubsidyIn, "SubGerApplyFormaldehyde", subgerapplyformaldehyde)
        FMX_INX(SubsidyIn, "SubGerApplyManure", subgerapplymanure)
        FMX_INX(SubsidyIn, "SubGerApplyResidue", subgerapplyresidue)
        FMX_INX(SubsidyIn, "SubGerApplyInnovative", subgerapplyinnovative)
        FMX_INX(SubsidyIn, "SubGerApplyGas350", subgerapplygas350)
        FMX_INX(SubsidyIn, "SubGerApplyGas700", subgerapplygas700)
        FMX_INX(SubsidyIn, "SubGerApplyCHP", subgerapplychp)
        FMX_INX(SubsidyIn, "SubNetElec", subnetelec)
        FMX_INX(SubsidyIn, "SubNetHeat", subnetheat)
        FMX_INX(SubsidyIn, "SubNetBiometh", subnetbiometh)
        FMX_INX(SubsidyIn, "SubFlaCHPPrice", subflachpprice)
        FMX_INX(SubsidyIn, "SubFlaCHPEsc", subflachpesc)
        FMX_INX(SubsidyIn, "SubFlaGreenPrice", subflagreenprice)
        FMX_INX(SubsidyIn, "SubFlaGreenEsc", subflagreenesc)
        FMX_INX(SubsidyIn, "SubWalGreenPrice", subwalgreenprice)
        FMX_INX(SubsidyIn, "SubWalGreenEsc", subwalgreenesc)
        FMX_INX(SubsidyIn, "SubPolBrownPrice", subpolbrownprice)
        FMX_INX(SubsidyIn, "SubPolBrownEsc", subpolbrownesc)
        FMX_INX(SubsidyIn, "SubPolBrownDuration", subpolbrownduration)
        FMX_INX(SubsidyIn, "SubPolGreenPrice", subpolgreenprice)
        FMX_INX(SubsidyIn, "SubPolGreenEsc", subpolgreenesc)
        FMX_INX(SubsidyIn, "SubPolGreenDuration", subpolgreenduration)
        FMX_INX(SubsidyIn, "SubPolVioletPrice", subpolvioletprice)
        FMX_INX(SubsidyIn, "SubPolVioletEsc", subpolvioletesc)
        FMX_INX(SubsidyIn, "SubPolVioletDuration", subpolvioletduration)
        FMX_INX(SubsidyIn, "SubPolYellowPrice", subpolyellowprice)
        FMX_INX(SubsidyIn, "SubPolYellowEsc", subpolyellowesc)
        FMX_INX(SubsidyIn, "SubPolYellowDuration", subpolyellowduration)
        FMX_INX(SubsidyIn, "SubPolInvPer", subpolinvper)
        FMX_INX(SubsidyIn, "SubPolInv", subpolinv)
        FMX_INX(SubsidyIn, "SubPolInvMin", subpolinvmin)
        FMX_INX(SubsidyIn, "SubPolInvMax", subpolinvmax)
        FMX_INX(SubsidyIn, "SubEstApplyYoung", subestapplyyoung)
        FMX_INX(SubsidyIn, "SubEstApplyLessFavArea", subestapplylessfavarea)
        // CashflowIn
        FMX_IN(CashflowIn, PERescEnergy)
        FMX_IN(CashflowIn, PERinfl)
        FMX_IN(CashflowIn, PERescBiomass)
        FMX_IN(CashflowIn, PERescDigBiomass)
        FMX_IN(CashflowIn, Tax_on_profit)
        FMX_IN(CashflowIn, Tcashflow)
        // clang-format on
    };
#undef FMX_IN
#undef FMX_INX
#undef FMX_MONEY
    return table;
}

const std::vector<TBridgeOutput>& bridgeOutputs() {
    static const std::vector<TBridgeOutput> table = [] {
        using U = TBGXUserData;
        std::vector<TBridgeOutput> t;
        const auto add = [&](const int32_t* obj, const QString& xml, double U::*field,
                             TBridgeOutKind kind = bokPlain, bool money = false) {
            t.push_back({obj, xml, HashCRC32ci(xml), field, kind, money});
        };
        const auto s = [](const char* text) { return QLatin1String(text); };

        // BiomassOut
        const std::pair<const char*, double U::*> biomass[] = {
            {"Biomass_total_input_m3", &U::Biomass_total_input_m3},
            {"Biomass_total_output_m3", &U::Biomass_total_output_m3},
            {"Biomass_total_input_ton", &U::Biomass_total_input_ton},
            {"Biomass_total_output_ton", &U::Biomass_total_output_ton},
            {"Dry_matter_input", &U::Dry_matter_input},
            {"Dry_matter_output", &U::Dry_matter_output},
            {"Organic_dry_matter_input", &U::Organic_dry_matter_input},
            {"Organic_dry_matter_output", &U::Organic_dry_matter_output},
            {"Phosphate_input", &U::Phosphate_input},
            {"Phosphate_output", &U::Phosphate_output},
            {"Nitrogen_org_input", &U::Nitrogen_org_input},
            {"Nitrogen_org_output", &U::Nitrogen_org_output},
            {"Mineralised_nitrogen_input", &U::Mineralised_nitrogen_input},
            {"Mineralised_nitrogen_output", &U::Mineralised_nitrogen_output},
            {"Potassium_input", &U::Potassium_input},
            {"Potassium_output", &U::Potassium_output},
            {"Biogas_nm3", &U::Biogas_nm3},
            {"Biogas_ton", &U::Biogas_ton},
            {"Methane", &U::Methane},
            {"per_methane_in_biogas", &U::per_methane_in_biogas},
            {"Utilisation_of_digester", &U::Utilisation_of_digester},
            {"Mineralised_nitrogen", &U::Mineralised_nitrogen},
        };
        for (const auto& [xml, field] : biomass)
            add(&defBiomassOut, s(xml), field);

        // InstallationOut: sizing
        const std::tuple<const char*, double U::*, TBridgeOutKind> sizing[] = {
            {"Digester", &U::Digester, bokPlain},
            {"liq_cosubstrates", &U::liq_cosubstrates, bokPlain},
            {"sol_cosubstrates", &U::sol_cosubstrates, bokPlain},
            {"liq_manure", &U::liq_manure, bokPlain},
            {"sol_manure", &U::sol_manure, bokPlain},
            {"Digestate", &U::Digestate, bokPlain},
            {"Thick_fraction", &U::Thick_fraction, bokPlain},
            {"Liq_fraction", &U::Liq_fraction, bokPlain},
            {"dried_thick_fraction", &U::dried_thick_fraction, bokPlain},
            {"retentate_UF", &U::retentate_UF, bokPlain},
            {"retentate_RO", &U::retentate_RO, bokPlain},
            {"water", &U::water, bokPlain},
            {"number_engine", &U::n_engine, bokPlain}, // the run writes the number used into n_engine
            {"Pchp_el", &U::Pchp_el, bokPlain},
            {"PEReff_chp_elec", &U::PEReff_chp_elec, bokPercent},
            {"PEReff_chp_therm", &U::PEReff_chp_therm, bokPercent},
            {"Tpersonnel_total", &U::INVsystem_chp_tpersonnel, bokPlain},
            {"flow_biogas_total", &U::flow_biogas_total, bokPlain},
            {"flow_biomethane", &U::flow_biomethane, bokPlain},
            {"Ainstallation", &U::Ainstallation_default_value, bokPlain},
            {"Ahall", &U::Ahall_used_value, bokPlain},
        };
        for (const auto& [xml, field, kind] : sizing)
            add(&defInstallationOut, s(xml), field, kind);

        // InstallationOut: energy per case
        const char* const energySuffix[] = {"_CHP", "_CHP_heat", "_Biomethane", "_Biomethane_ext_heat"};
        const std::pair<const char*, const TBGXCaseFields*> energy[] = {
            {"Thermal_energy_use", &kThermal_energy_use},
            {"Electric_energy_use", &kElectric_energy_use},
            {"Electric_energy_prod", &kElectric_energy_prod},
            {"Heat_prod", &kHeat_prod},
            {"Biometh_prod", &kBiometh_prod}};
        for (int c = 0; c < 4; ++c)
            for (const auto& [stem, fields] : energy)
                add(&defInstallationOut, s(stem) + s(energySuffix[c]), (*fields)[static_cast<size_t>(c)]);

        // InstallationOut: investment per case
        const char* const investSuffix[] = {"_CHP", "_CHP_Heat", "_Biomethane", "_Biomethane_ext_heat"};
        struct TInvest {
            const char* stem;
            const TBGXCaseFields* fields;
            TBridgeOutKind kind;
            bool money;
        };
        const TInvest invest[] = {
            {"Digester", &kDigester, bokPlain, true},
            {"Storage", &kStorage, bokPlain, true},
            {"Digestate_treatment", &kDigestate_treatment, bokPlain, true},
            {"Torch", &kTorch, bokPlain, true},
            {"Pasteurisation", &kPasteurisation, bokPlain, true},
            {"Shovel", &kShovel, bokPlain, true},
            {"Land", &kLand, bokPlain, true},
            {"Civil_Works", &kCivil_Works, bokPlain, true},
            {"Boiler", &kBoiler, bokPlain, true},
            {"CHP", &kCHP, bokPlain, true},
            {"Heatnetwork", &kHeatnetwork, bokPlain, true},
            {"Electric_network", &kElectric_network, bokPlain, true},
            {"Gas_upgrade", &kGas_upgrade, bokPlain, true},
            {"Gasnetwork", &kGasnetwork, bokPlain, true},
            {"INVuser_amount", &kINVuser_amount, bokPlain, true},
            {"Subtotal", &kSubtotal, bokPlain, true},
            {"Advise_and_permits", &kAdvise_and_permits, bokPlain, true},
            {"Engineering", &kEngineering, bokPlain, true},
            {"Inspection", &kInspection, bokPlain, false},
            {"Contractorsfee", &kContractorsfee, bokPlain, false},
            {"Contingency", &kContingency, bokPlain, true},
            {"Startup", &kStartup, bokPlain, true},
            {"Subsidy", &kSubsidy, bokNegated, true},
            {"Total", &kTotal, bokPlain, true},
        };
        for (int c = 0; c < 4; ++c)
            for (const TInvest& i : invest) {
                QString xml = s(i.stem) + s(investSuffix[c]);
                if (xml == QLatin1String("Startup_CHP_Heat")) xml = QStringLiteral("Startup_CHP_heat");
                add(&defInstallationOut, xml, (*i.fields)[static_cast<size_t>(c)], i.kind, i.money);
            }

        // ExploitationOut per case (the fourth case is named "b_ext_heat" in the project)
        const char* const exploitSuffix[] = {"_chp", "_chp_heat", "_biomethane", "_b_ext_heat"};
        const char* const investment[] = {"chp_investment", "chp_heat_investment", "biomethane_investment",
                                          "biomethane_ext_heat_investment"};
        const std::pair<const char*, const TBGXCaseFields*> summary[] = {
            {"yearly_average_depreciation", &kyearly_average_depreciation},
            {"in_total", &kin_total},
            {"out_cost_of_financing", &kout_cost_of_financing},
            {"out_biomass_input", &kout_biomass_input},
            {"out_maintenance", &kout_maintenance},
            {"out_elec_energy_use", &kout_elec_energy_use},
            {"out_therm_energy_use", &kout_therm_energy_use},
            {"out_diesel_use", &kout_diesel_use},
            {"out_personnel_cost", &kout_personnel_cost},
            {"out_insurance", &kout_insurance},
            {"out_digested_biomass_output", &kout_digested_biomass_output},
            {"out_costuser_amount", &kout_costuser_amount},
            {"out_total", &kout_total},
            {"yearly_average_cashflow", &kyearly_average_cashflow},
        };
        for (int c = 0; c < 4; ++c) {
            const auto idx = static_cast<size_t>(c);
            add(&defExploitationOut, s(investment[c]), kInvestment[idx], bokPlain, true);
            for (const auto& [stem, fields] : summary)
                add(&defExploitationOut, s(stem) + s(exploitSuffix[c]), (*fields)[idx], bokPlain, true);
            add(&defExploitationOut, QStringLiteral("simply_payback_time") + s(exploitSuffix[c]),
                ksimply_payback_time[idx], bokPayback, false);
        }
        const std::pair<const char*, double U::*> incomes[] = {
            {"in_electricity_chp", &U::in_electricity_chp},
            {"in_subsidy_electricity_chp", &U::in_subsidy_electricity_chp},
            {"in_electricity_chp_heat", &U::in_electricity_chp_heat},
            {"in_therm_energy_delivery_chp_heat", &U::in_therm_energy_delivery_chp_heat},
            {"in_subsidy_electricity_chp_heat", &U::in_subsidy_electricity_chp_heat},
            {"in_subsidy_heat_chp_heat", &U::in_subsidy_heat_chp_heat},
            {"in_biomethane_biomethane", &U::in_biomethane_biomethane},
            {"in_subsidy_biomethane_biomethane", &U::in_subsidy_biomethane_biomethane},
            {"in_biomethane_b_ext_heat", &U::in_biomethane_biomethane_ext_heat},
            {"in_subsidy_biomethane_b_ext_heat", &U::in_subsidy_biomethane_biomethane_ext_heat},
        };
        for (const auto& [xml, field] : incomes)
            add(&defExploitationOut, s(xml), field, bokPlain, true);

        // FinanceOut: the results of each case
        const int32_t* const financeObj[] = {&deffinance_chp, &deffinance_chp_heat, &deffinance_biomethane,
                                             &deffinance_biomethane_ext_heat};
        for (int c = 0; c < 4; ++c) {
            const auto idx = static_cast<size_t>(c);
            add(financeObj[c], QStringLiteral("finance_spl"), kfinance_spl[idx], bokPlain, true);
            add(financeObj[c], QStringLiteral("finance_npv"), kfinance_npv[idx], bokPlain, true);
            add(financeObj[c], QStringLiteral("finance_irr"), kfinance_irr[idx], bokPlain, false);
        }
        return t;
    }();
    return table;
}

const std::vector<TBridgeYearField>& bridgeYearFields() {
    using Y = TBGX_Finance_Year;
#define FMX_Y(name) {#name, &Y::name},
    static const std::vector<TBridgeYearField> table{
        // clang-format off
        FMX_Y(pro_rev_energy)
        FMX_Y(pro_rev_subsidy)
        FMX_Y(pro_rev_total)
        FMX_Y(pro_cos_biomass)
        FMX_Y(pro_cos_digested)
        FMX_Y(pro_cos_elec)
        FMX_Y(pro_cos_therm)
        FMX_Y(pro_cos_diesel)
        FMX_Y(pro_cos_personnel)
        FMX_Y(pro_cos_insurance)
        FMX_Y(pro_cos_maintenance)
        FMX_Y(pro_cos_costuser_amount)
        FMX_Y(pro_cos_depreciation)
        FMX_Y(pro_cos_interest)
        FMX_Y(pro_cos_startup)
        FMX_Y(pro_cos_total)
        FMX_Y(pro_res_result)
        FMX_Y(pro_res_cumulative_before_taxes)
        FMX_Y(pro_res_tax)
        FMX_Y(pro_res_nett)
        FMX_Y(pro_res_cumulative_after_taxes)
        FMX_Y(cas_inc_energy)
        FMX_Y(cas_inc_subsidy)
        FMX_Y(cas_inc_sales)
        FMX_Y(cas_inc_loan)
        FMX_Y(cas_inc_total)
        FMX_Y(cas_exp_material)
        FMX_Y(cas_exp_biomass)
        FMX_Y(cas_exp_digested)
        FMX_Y(cas_exp_elec)
        FMX_Y(cas_exp_therm)
        FMX_Y(cas_exp_diesel_use)
        FMX_Y(cas_exp_personnel)
        FMX_Y(cas_exp_insurance)
        FMX_Y(cas_exp_maintenance)
        FMX_Y(cas_exp_costuser_amount)
        FMX_Y(cas_exp_interest)
        FMX_Y(cas_exp_startup)
        FMX_Y(cas_exp_tax)
        FMX_Y(cas_exp_amortisation)
        FMX_Y(cas_exp_total)
        FMX_Y(cas_res_cashflow)
        FMX_Y(cas_res_cumulative_cashflow)
        FMX_Y(cas_res_cashflow_excl)
        FMX_Y(cas_res_cumulative_cashflow_excl)
        // clang-format on
    };
#undef FMX_Y
    return table;
}

// ---- filling the records ----

void fill_BGXSubsidy_from_dm(TProjectSubsidy* subsidyRoot) {
    // Entries of a shorter list than the previous project's must not survive.
    const TBGXSubsidyApply userApply = gSubsidy.SubUserApply;
    gSubsidy = TBGXSubsidy{};
    gSubsidy.SubUserApply = userApply;
    if (!subsidyRoot) return;

    for (const TBridgeSubsidy& s : bridgeSubsidyFields())
        gSubsidy.*s.field = valueOf(child(subsidyRoot, *s.objDef), s.xml)->getAsFloat();

    const std::pair<int32_t*, std::pair<int32_t*, TBGXSubsidyApply TBGXSubsidy::*>> applies[] = {
        {&defSubsidyGermany, {&defSubGerApply, &TBGXSubsidy::SubGerApply}},
        {&defSubsidyNetherlands, {&defSubNetApply, &TBGXSubsidy::SubNetApply}},
        {&defSubsidyFlanders, {&defSubFlaApply, &TBGXSubsidy::SubFlaApply}},
        {&defSubsidyWallons, {&defSubWalApply, &TBGXSubsidy::SubWalApply}},
        {&defSubsidyPoland, {&defSubPolApply, &TBGXSubsidy::SubPolApply}},
        {&defSubsidyItaly, {&defSubItaApply, &TBGXSubsidy::SubItaApply}},
        {&defSubsidyEstonia, {&defSubEstApply, &TBGXSubsidy::SubEstApply}},
    };
    for (const auto& [scheme, apply] : applies)
        readApply(child(child(subsidyRoot, *scheme), *apply.first), gSubsidy.*apply.second);

    TDataObjList* net = listOf(child(subsidyRoot, defSubsidyNetherlands), ldefSubNetList);
    for (int i = 0; i < net->objCount(); ++i) {
        checkRange(i, static_cast<int>(gSubsidy.SubNetList.size()), "SubNetList");
        TDataObj* rec = net->obj(i);
        TBGXSubsidyNet& r = gSubsidy.SubNetList[static_cast<size_t>(i)];
        r.SubNetLL = valueOf(rec, "SubNetLL")->getAsFloat();
        r.SubNetULMJ = valueOf(rec, "SubNetULMJ")->getAsFloat();
        r.SubNetULEur = valueOf(rec, "SubNetULEur")->getAsFloat();
    }
    TDataObjList* fla = listOf(child(subsidyRoot, defSubsidyFlanders), ldefSubFlaList);
    for (int i = 0; i < fla->objCount(); ++i) {
        checkRange(i, static_cast<int>(gSubsidy.SubFlaList.size()), "SubFlaList");
        gSubsidy.SubFlaList[static_cast<size_t>(i)].SubFlaCHPCert =
            valueOf(fla->obj(i), "SubFlaCHPCert")->getAsFloat();
    }
}

void fill_BGXAdminVars_from_dm(TProject& project, TAbstractRootObj* secObject) {
    TDataObj* admin = child(&project, defAdminVars);
    gAdminVars.Substrates.fill(TBGXSubstrate{});
    int n = 0;
    const auto copyDatabase = [&](int32_t listDef, int32_t typeDef) {
        TDataObjList* list = listOf(admin, listDef);
        for (int i = 0; i < list->objCount(); ++i) {
            TDataObj* rec = list->obj(i);
            if (rec == secObject) continue;
            checkRange(n, kBGXSubstrateCount, "the substrate database");
            TBGXSubstrate& s = gAdminVars.Substrates[static_cast<size_t>(n++)];
            s.Name = rec->getValueWithID(valAdmName)->getAsString().toStdString();
            s.SubType_i = rec->getValueWithID(typeDef)->getAsInteger();
            s.DM = rec->getValueWithID(valAdmDM)->getAsFloat();
            s.ODM = rec->getValueWithID(valAdmODM)->getAsFloat();
            s.BiogasProd = rec->getValueWithID(valAdmBiogasProd)->getAsFloat();
            s.CH4 = rec->getValueWithID(valAdmCH4)->getAsFloat();
            s.CO2 = rec->getValueWithID(valAdmCO2)->getAsFloat();
            s.T_RT_recom = rec->getValueWithID(valAdmT_RT_recom)->getAsFloat();
            s.REL_dens_i = rec->getValueWithID(valAdmREL_dens_i)->getAsFloat();
            s.PER_slib_i = rec->getValueWithID(valAdmPER_slib_i)->getAsFloat();
            s.Potassium = rec->getValueWithID(valAdmPotassium)->getAsFloat();
            s.Phosphate = rec->getValueWithID(valAdmPhosphate)->getAsFloat();
            s.Nitrogen = rec->getValueWithID(valAdmNitrogen)->getAsFloat();
            s.Min_Nitrogen = rec->getValueWithID(valAdmMin_Nitrogen)->getAsFloat();
            s.RELprod_i = rec->getValueWithID(valAdmRELprod_i)->getAsFloat();
            s.REL_redCDE = rec->getValueWithID(valAdmREL_redCDE)->getAsFloat();
        }
    };
    copyDatabase(ldefAdmSubstrateManureList, valAdmSubManureType_i);
    copyDatabase(ldefAdmSubstrateCosubList, valAdmSubCosubType_i);

    TDataObj* components = child(admin, defAdmComponentsDatabase);
    for (const TBridgeAdmin& a : bridgeAdminFields()) {
        TAbstractDataValue* v = admin->getValueWithXML(QLatin1String(a.xml));
        if (!v) v = valueOf(components, a.xml);
        gAdminVars.*a.field = v->getAsFloat();
    }

    // A connection class being removed is left out, as removed substrates are.
    TDataObjList* connections = listOf(admin, ldefAdmPconnectList);
    std::vector<TDataObj*> records;
    for (int i = 0; i < connections->objCount(); ++i)
        if (connections->obj(i) != secObject) records.push_back(connections->obj(i));
    const auto& classes = bridgePconnectFields();
    if (records.size() < classes.size())
        throw TBaseDataError(
            tdek_CalcError,
            dmTl(QStringLiteral("The electric connection database needs at least six entries.")));
    for (size_t c = 0; c < classes.size(); ++c) {
        TDataObj* rec = records[c];
        for (size_t k = 0; k < kPconnectXml.size(); ++k)
            gAdminVars.*classes[c][k] = valueOf(rec, kPconnectXml[k])->getAsFloat();
    }
}

void fill_BGXUserData_from_dm(TProject& project, TAbstractRootObj* secObject, double f) {
    for (TBGXSubstrate_mix& line : gUserData.substrates_mix) {
        line.Name.clear();
        line.Msub_i = 0;
        line.RELcost_i = 0;
    }
    // Lines without a substrate are left out altogether: a gap would end the mix for the run.
    TDataObj* biomass = child(&project, defBiomassIn);
    int n = 0;
    const auto copyLines = [&](int32_t listDef, int32_t refDef, int32_t typeDef) {
        TDataObjList* list = listOf(biomass, listDef);
        for (int i = 0; i < list->objCount(); ++i) {
            TDataObj* row = list->obj(i);
            if (row == secObject) continue;
            TDataObj* substrate = row->getValueWithID(refDef)->getAsReference();
            if (!substrate) continue;
            checkRange(n, kBGXSubstrateCount, "the substrate mix");
            TBGXSubstrate_mix& line = gUserData.substrates_mix[static_cast<size_t>(n++)];
            line.Name = substrate->getValueWithID(valAdmName)->getAsString().toStdString();
            line.SubType_i = substrate->getValueWithID(typeDef)->getAsInteger();
            line.Msub_i = row->getValueWithID(valMsub_i)->getAsFloat();
            line.RELcost_i = row->getValueWithID(valRelcost_i)->getAsFloat() * f;
        }
    };
    copyLines(ldefSubstrateManureList, valSubstrateManureAdmRef, valAdmSubManureType_i);
    copyLines(ldefSubstrateCosubList, valSubstrateCosubAdmRef, valAdmSubCosubType_i);

    for (const TBridgeInput& in : bridgeUserInputs()) {
        TAbstractDataValue* v = valueOf(child(&project, *in.objDef), in.xml);
        if (const auto* d = std::get_if<double TBGXUserData::*>(&in.field))
            gUserData.** d = in.money ? v->getAsFloat() * f : v->getAsFloat();
        else if (const auto* i = std::get_if<int32_t TBGXUserData::*>(&in.field))
            gUserData.** i = v->getAsInteger();
        else
            gUserData.*std::get<bool TBGXUserData::*>(in.field) = v->getAsBoolean();
    }
}

double currencyFactor(TProject& project) {
    TDataObj* exploitation = child(&project, defExploitationIn);
    const double convpln = exploitation->getValueWithID(valfinancial_aspects_convpln)->getAsFloat();
    if (exploitation->getValueWithID(valfinancial_aspects_country)->getAsInteger() == kCountryPoland &&
        convpln != 0)
        return 1.0 / convpln;
    return 1.0;
}

// ---- writing the results ----

namespace {

TDataObj* outputObject(TProject& project, int32_t defID) {
    if (TDataObj* obj = project.getSubObjWithDefID(defID)) return obj;
    return child(child(&project, defFinanceOut), defID);
}

const int32_t* const kFinanceObjects[] = {&deffinance_chp, &deffinance_chp_heat, &deffinance_biomethane,
                                          &deffinance_biomethane_ext_heat};

} // namespace

void writeBGXResults(TProject& project) {
    // Every target is looked up before the first write, so a missing value writes nothing.
    const std::vector<TBridgeOutput>& outputs = bridgeOutputs();
    std::vector<TAbstractDataValue*> targets;
    targets.reserve(outputs.size());
    for (const TBridgeOutput& o : outputs)
        targets.push_back(valueOf(outputObject(project, *o.objDef), o.hash, o.xml));

    const std::vector<TBridgeYearField>& yearFields = bridgeYearFields();
    std::array<TDataObjList*, 4> yearLists{};
    for (size_t c = 0; c < 4; ++c) {
        yearLists[c] = listOf(outputObject(project, *kFinanceObjects[c]), ldefFinanceYearList);
        TDataObj* sample = yearLists[c]->objCount() > 0 ? yearLists[c]->obj(0) : nullptr;
        if (sample)
            for (const TBridgeYearField& y : yearFields)
                valueOf(sample, y.xml);
    }
    TAbstractDataValue* dummy = child(&project, defFinanceOut)->getValueWithID(valDummyCalc);

    for (size_t i = 0; i < outputs.size(); ++i) {
        const TBridgeOutput& o = outputs[i];
        double v = gUserData.*o.field;
        switch (o.kind) {
        case bokPercent:
            v *= 100.0;
            break;
        case bokNegated:
            v = -v;
            break;
        case bokPayback:
            if (!(v > 0)) v = 999.9;
            break;
        case bokPlain:
            break;
        }
        targets[i]->setAsFloatExact(v);
    }

    std::vector<uint32_t> hashes;
    hashes.reserve(yearFields.size());
    for (const TBridgeYearField& y : yearFields)
        hashes.push_back(HashCRC32ci(QLatin1String(y.xml)));
    for (size_t c = 0; c < 4; ++c) {
        TDataObjList* list = yearLists[c];
        while (list->objCount() < kFinanceRows)
            list->cAddObj(deffinance_year);
        const TBGX_Finance_Years& rows = gUserData.*kfinance_years[c];
        for (int r = 0; r < kFinanceRows; ++r) {
            TDataObj* entry = list->obj(r);
            for (size_t k = 0; k < yearFields.size(); ++k)
                valueOf(entry, hashes[k], QLatin1String(yearFields[k].xml))
                    ->setAsFloatExact(rows[static_cast<size_t>(r)].*yearFields[k].field);
        }
    }
    dummy->setAsFloatExact(gUserData.dummycalc);
}

void conv(TAbstractDataValue* value, double factor) {
    value->setAsFloatExact(value->getAsFloat() * factor);
}

void convFinanceYearList(TDataObjList* list, double factor) {
    const std::vector<TBridgeYearField>& yearFields = bridgeYearFields();
    for (int r = 0; r < list->objCount(); ++r) {
        TDataObj* entry = list->obj(r);
        for (const TBridgeYearField& y : yearFields)
            conv(valueOf(entry, y.xml), factor);
    }
}

void convEurtoPln(TProject& project) {
    const double factor =
        child(&project, defExploitationIn)->getValueWithID(valfinancial_aspects_convpln)->getAsFloat();
    if (factor == 0) return;
    for (const TBridgeOutput& o : bridgeOutputs())
        if (o.money) conv(valueOf(outputObject(project, *o.objDef), o.hash, o.xml), factor);
    for (const int32_t* def : kFinanceObjects)
        convFinanceYearList(listOf(outputObject(project, *def), ldefFinanceYearList), factor);
}

// ---- the calculation ----

TBaseDataError calcErrorOf(const std::exception& error) {
    if (const auto* substrate = dynamic_cast<const TBGXSubstrateError*>(&error)) {
        QString text = dmTl(QLatin1String(TBGXSubstrateError::kNoValidSubstrateText));
        text.replace(QLatin1String("%s"), QString::fromStdString(substrate->substrateName()));
        return TBaseDataError(tdek_CalcError, text);
    }
    return TBaseDataError(tdek_CalcError, QString::fromUtf8(error.what()));
}

namespace {
QString gLastCalcError;
}

QString lastCalcError() {
    return gLastCalcError;
}

bool calcProject(TProject& project, TAbstractRootObj* secObject) {
    gLastCalcError.clear();
    if (project.getValueWithID(valTemplate)->getAsString().isEmpty()) {
        gLastCalcError = QStringLiteral("The project names no template");
        return false;
    }
    try {
        // An input the engine cannot take (too few connection classes, say) fails the calculation
        // like an engine error does, so an edit that triggers it never ends in an exception.
        fill_BGXSubsidy_from_dm(project.projectSub());
        fill_BGXAdminVars_from_dm(project, secObject);
        const double f = currencyFactor(project);
        fill_BGXUserData_from_dm(project, secObject, f);
        dmCalcBGX(gUserData);
    } catch (const TBaseDataError& e) {
        gLastCalcError = e.text();
        logInfo(lmk_logError, gLastCalcError);
        return false;
    } catch (const std::exception& e) {
        gLastCalcError = calcErrorOf(e).text();
        logInfo(lmk_logError, gLastCalcError);
        return false;
    } catch (...) {
        gLastCalcError = QStringLiteral("Calculation failed");
        logInfo(lmk_logError, gLastCalcError);
        return false;
    }
    writeBGXResults(project);
    if (child(&project, defExploitationIn)->getValueWithID(valfinancial_aspects_country)->getAsInteger() ==
        kCountryPoland)
        convEurtoPln(project);
    project.getValueWithID(valRecalcNeeded)->setAsInteger(kNo);
    return true;
}

void installProjectCalc() {
    setProjectCalcFunction(&calcProject);
}

} // namespace fmx
