// The per-case fields of TBGXUserData as arrays of member pointers, indexed by case (CHP, CHP with
// heat, biomethane, biomethane with external heat), so that code and tests can loop over the cases.
#pragma once

#include "bgx_records.h"

namespace fmx {

using TBGXCaseField = double TBGXUserData::*;
using TBGXCaseFields = std::array<TBGXCaseField, 4>;
using TBGXCaseYears = std::array<TBGX_Finance_Years TBGXUserData::*, 4>;

// Case names as the projection knows them.
inline constexpr std::array<const char*, 4> kBGXCaseNames{"chp", "chp_heat", "biomethane",
                                                          "biomethane_ext_heat"};

inline constexpr TBGXCaseFields kThermal_energy_use{
    &TBGXUserData::Thermal_energy_use_CHP, &TBGXUserData::Thermal_energy_use_CHP_heat,
    &TBGXUserData::Thermal_energy_use_Biomethane, &TBGXUserData::Thermal_energy_use_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kElectric_energy_use{
    &TBGXUserData::Electric_energy_use_CHP, &TBGXUserData::Electric_energy_use_CHP_heat,
    &TBGXUserData::Electric_energy_use_Biomethane, &TBGXUserData::Electric_energy_use_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kElectric_energy_prod{
    &TBGXUserData::Electric_energy_prod_CHP, &TBGXUserData::Electric_energy_prod_CHP_heat,
    &TBGXUserData::Electric_energy_prod_Biomethane, &TBGXUserData::Electric_energy_prod_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kHeat_prod{&TBGXUserData::Heat_prod_CHP, &TBGXUserData::heat_prod_CHP_heat,
                                           &TBGXUserData::Heat_prod_Biomethane,
                                           &TBGXUserData::Heat_prod_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kBiometh_prod{
    &TBGXUserData::Biometh_prod_CHP, &TBGXUserData::Biometh_prod_CHP_heat,
    &TBGXUserData::Biometh_prod_Biomethane, &TBGXUserData::Biometh_prod_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kDigester{&TBGXUserData::Digester_CHP, &TBGXUserData::Digester_CHP_Heat,
                                          &TBGXUserData::Digester_Biomethane,
                                          &TBGXUserData::Digester_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kStorage{&TBGXUserData::Storage_CHP, &TBGXUserData::Storage_CHP_Heat,
                                         &TBGXUserData::Storage_Biomethane,
                                         &TBGXUserData::Storage_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kDigestate_treatment{
    &TBGXUserData::Digestate_treatment_CHP, &TBGXUserData::Digestate_treatment_CHP_Heat,
    &TBGXUserData::Digestate_treatment_Biomethane, &TBGXUserData::Digestate_treatment_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kTorch{&TBGXUserData::Torch_CHP, &TBGXUserData::Torch_CHP_Heat,
                                       &TBGXUserData::Torch_Biomethane,
                                       &TBGXUserData::Torch_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kPasteurisation{
    &TBGXUserData::Pasteurisation_CHP, &TBGXUserData::Pasteurisation_CHP_Heat,
    &TBGXUserData::Pasteurisation_Biomethane, &TBGXUserData::Pasteurisation_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kShovel{&TBGXUserData::Shovel_CHP, &TBGXUserData::Shovel_CHP_Heat,
                                        &TBGXUserData::Shovel_Biomethane,
                                        &TBGXUserData::Shovel_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kLand{&TBGXUserData::Land_CHP, &TBGXUserData::Land_CHP_Heat,
                                      &TBGXUserData::Land_Biomethane,
                                      &TBGXUserData::Land_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kCivil_Works{
    &TBGXUserData::Civil_Works_CHP, &TBGXUserData::Civil_Works_CHP_Heat,
    &TBGXUserData::Civil_Works_Biomethane, &TBGXUserData::Civil_Works_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kBoiler{&TBGXUserData::Boiler_CHP, &TBGXUserData::Boiler_CHP_Heat,
                                        &TBGXUserData::Boiler_Biomethane,
                                        &TBGXUserData::Boiler_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kCHP{&TBGXUserData::CHP_CHP, &TBGXUserData::CHP_CHP_Heat,
                                     &TBGXUserData::CHP_Biomethane, &TBGXUserData::CHP_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kHeatnetwork{
    &TBGXUserData::Heatnetwork_CHP, &TBGXUserData::Heatnetwork_CHP_Heat,
    &TBGXUserData::Heatnetwork_Biomethane, &TBGXUserData::Heatnetwork_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kElectric_network{
    &TBGXUserData::Electric_network_CHP, &TBGXUserData::Electric_network_CHP_Heat,
    &TBGXUserData::Electric_network_Biomethane, &TBGXUserData::Electric_network_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kGas_upgrade{
    &TBGXUserData::Gas_upgrade_CHP, &TBGXUserData::Gas_upgrade_CHP_Heat,
    &TBGXUserData::Gas_upgrade_Biomethane, &TBGXUserData::Gas_upgrade_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kGasnetwork{&TBGXUserData::Gasnetwork_CHP, &TBGXUserData::Gasnetwork_CHP_Heat,
                                            &TBGXUserData::Gasnetwork_Biomethane,
                                            &TBGXUserData::Gasnetwork_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kINVuser_amount{
    &TBGXUserData::INVuser_amount_CHP, &TBGXUserData::INVuser_amount_CHP_Heat,
    &TBGXUserData::INVuser_amount_Biomethane, &TBGXUserData::INVuser_amount_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kSubtotal{&TBGXUserData::Subtotal_CHP, &TBGXUserData::Subtotal_CHP_Heat,
                                          &TBGXUserData::Subtotal_Biomethane,
                                          &TBGXUserData::Subtotal_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kAdvise_and_permits{
    &TBGXUserData::Advise_and_permits_CHP, &TBGXUserData::Advise_and_permits_CHP_Heat,
    &TBGXUserData::Advise_and_permits_Biomethane, &TBGXUserData::Advise_and_permits_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kEngineering{
    &TBGXUserData::Engineering_CHP, &TBGXUserData::Engineering_CHP_Heat,
    &TBGXUserData::Engineering_Biomethane, &TBGXUserData::Engineering_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kInspection{&TBGXUserData::Inspection_CHP, &TBGXUserData::Inspection_CHP_Heat,
                                            &TBGXUserData::Inspection_Biomethane,
                                            &TBGXUserData::Inspection_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kContractorsfee{
    &TBGXUserData::Contractorsfee_CHP, &TBGXUserData::Contractorsfee_CHP_Heat,
    &TBGXUserData::Contractorsfee_Biomethane, &TBGXUserData::Contractorsfee_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kContingency{
    &TBGXUserData::Contingency_CHP, &TBGXUserData::Contingency_CHP_Heat,
    &TBGXUserData::Contingency_Biomethane, &TBGXUserData::Contingency_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kStartup{&TBGXUserData::Startup_CHP, &TBGXUserData::Startup_CHP_Heat,
                                         &TBGXUserData::Startup_Biomethane,
                                         &TBGXUserData::Startup_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kSubsidy{&TBGXUserData::Subsidy_CHP, &TBGXUserData::Subsidy_CHP_Heat,
                                         &TBGXUserData::Subsidy_Biomethane,
                                         &TBGXUserData::Subsidy_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kTotal{&TBGXUserData::Total_CHP, &TBGXUserData::Total_CHP_Heat,
                                       &TBGXUserData::Total_Biomethane,
                                       &TBGXUserData::Total_Biomethane_ext_heat};
inline constexpr TBGXCaseFields kInvestment{&TBGXUserData::chp_investment, &TBGXUserData::chp_heat_investment,
                                            &TBGXUserData::biomethane_investment,
                                            &TBGXUserData::biomethane_ext_heat_investment};
inline constexpr TBGXCaseFields kyearly_average_depreciation{
    &TBGXUserData::yearly_average_depreciation_chp, &TBGXUserData::yearly_average_depreciation_chp_heat,
    &TBGXUserData::yearly_average_depreciation_biomethane,
    &TBGXUserData::yearly_average_depreciation_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_cost_of_financing{
    &TBGXUserData::out_cost_of_financing_chp, &TBGXUserData::out_cost_of_financing_chp_heat,
    &TBGXUserData::out_cost_of_financing_biomethane,
    &TBGXUserData::out_cost_of_financing_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_biomass_input{
    &TBGXUserData::out_biomass_input_chp, &TBGXUserData::out_biomass_input_chp_heat,
    &TBGXUserData::out_biomass_input_biomethane, &TBGXUserData::out_biomass_input_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_maintenance{
    &TBGXUserData::out_maintenance_chp, &TBGXUserData::out_maintenance_chp_heat,
    &TBGXUserData::out_maintenance_biomethane, &TBGXUserData::out_maintenance_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_elec_energy_use{
    &TBGXUserData::out_elec_energy_use_chp, &TBGXUserData::out_elec_energy_use_chp_heat,
    &TBGXUserData::out_elec_energy_use_biomethane, &TBGXUserData::out_elec_energy_use_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_therm_energy_use{
    &TBGXUserData::out_therm_energy_use_chp, &TBGXUserData::out_therm_energy_use_chp_heat,
    &TBGXUserData::out_therm_energy_use_biomethane, &TBGXUserData::out_therm_energy_use_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_diesel_use{
    &TBGXUserData::out_diesel_use_chp, &TBGXUserData::out_diesel_use_chp_heat,
    &TBGXUserData::out_diesel_use_biomethane, &TBGXUserData::out_diesel_use_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_personnel_cost{
    &TBGXUserData::out_personnel_cost_chp, &TBGXUserData::out_personnel_cost_chp_heat,
    &TBGXUserData::out_personnel_cost_biomethane, &TBGXUserData::out_personnel_cost_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_insurance{
    &TBGXUserData::out_insurance_chp, &TBGXUserData::out_insurance_chp_heat,
    &TBGXUserData::out_insurance_biomethane, &TBGXUserData::out_insurance_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_digested_biomass_output{
    &TBGXUserData::out_digested_biomass_output_chp, &TBGXUserData::out_digested_biomass_output_chp_heat,
    &TBGXUserData::out_digested_biomass_output_biomethane,
    &TBGXUserData::out_digested_biomass_output_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_costuser_amount{
    &TBGXUserData::out_costuser_amount_chp, &TBGXUserData::out_costuser_amount_chp_heat,
    &TBGXUserData::out_costuser_amount_biomethane, &TBGXUserData::out_costuser_amount_biomethane_ext_heat};
inline constexpr TBGXCaseFields kout_total{&TBGXUserData::out_total_chp, &TBGXUserData::out_total_chp_heat,
                                           &TBGXUserData::out_total_biomethane,
                                           &TBGXUserData::out_total_biomethane_ext_heat};
inline constexpr TBGXCaseFields kyearly_average_cashflow{
    &TBGXUserData::yearly_average_cashflow_chp, &TBGXUserData::yearly_average_cashflow_chp_heat,
    &TBGXUserData::yearly_average_cashflow_biomethane,
    &TBGXUserData::yearly_average_cashflow_biomethane_ext_heat};
inline constexpr TBGXCaseFields ksimply_payback_time{
    &TBGXUserData::simply_payback_time_chp, &TBGXUserData::simply_payback_time_chp_heat,
    &TBGXUserData::simply_payback_time_biomethane, &TBGXUserData::simply_payback_time_biomethane_ext_heat};
inline constexpr TBGXCaseFields kin_total{&TBGXUserData::in_total_chp, &TBGXUserData::in_total_chp_heat,
                                          &TBGXUserData::in_total_biomethane,
                                          &TBGXUserData::in_total_biomethane_ext_heat};
inline constexpr TBGXCaseFields kfinance_npv{
    &TBGXUserData::finance_npv_chp, &TBGXUserData::finance_npv_chp_heat,
    &TBGXUserData::finance_npv_biomethane, &TBGXUserData::finance_npv_biomethane_ext_heat};
inline constexpr TBGXCaseFields kfinance_spl{
    &TBGXUserData::finance_spl_chp, &TBGXUserData::finance_spl_chp_heat,
    &TBGXUserData::finance_spl_biomethane, &TBGXUserData::finance_spl_biomethane_ext_heat};
inline constexpr TBGXCaseFields kfinance_irr{
    &TBGXUserData::finance_irr_chp, &TBGXUserData::finance_irr_chp_heat,
    &TBGXUserData::finance_irr_biomethane, &TBGXUserData::finance_irr_biomethane_ext_heat};
inline constexpr TBGXCaseYears kfinance_years{
    &TBGXUserData::finance_years_chp, &TBGXUserData::finance_years_chp_heat,
    &TBGXUserData::finance_years_biomethane, &TBGXUserData::finance_years_biomethane_ext_heat};

} // namespace fmx
