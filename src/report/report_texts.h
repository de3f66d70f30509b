// The fixed English texts of the HTML report, in one table: the report shows them through tl
// (rt below), and registerReportTexts hands the same table to the translators' base catalogue.
#pragma once

#include <QString>
#include <QStringList>

namespace fmx {

// clang-format off
#define FMX_REPORT_TEXTS(X)                                                                                  \
    X(HeadScan, "Bio-energy scan")                                                                           \
    X(HeadSummary, "Summary")                                                                                \
    X(HeadUserInput, "User Input")                                                                           \
    X(HeadOutput, "Output Result Data")                                                                      \
    X(HeadConclusions, "Conclusions")                                                                        \
    X(HeadNextSteps, "Next steps")                                                                           \
    X(Footer, "Report generated %s")                                                                         \
    X(GraphTitle, "Cumulative CashFlow for each case")                                                       \
    X(ContactName, "Name:")                                                                                  \
    X(ContactAddress, "Address:")                                                                            \
    X(ContactCity, "City:")                                                                                  \
    X(ContactCountry, "Country:")                                                                            \
    X(ContactPhone, "Telephone number:")                                                                     \
    X(ContactEmail, "Email address:")                                                                        \
    X(TitleSubstrates, "Biomass substrates")                                                                 \
    X(TitleMoreBiomass, "Biomass (more)")                                                                    \
    X(TitleEnergy, "Energy")                                                                                 \
    X(TitleInstallation, "Installation")                                                                     \
    X(TitleStorage, "Storage")                                                                               \
    X(TitleCosts, "Costs")                                                                                   \
    X(TitleEscalation, "Parameters of escalation")                                                           \
    X(TitleBiomass, "Biomass")                                                                               \
    X(TitleCapacity, "Overview of capacity of storage facilities")                                           \
    X(TitleInvestment, "Investment overview")                                                                \
    X(TitleQuickChp, "Quick Results - Electricity")                                                          \
    X(TitleQuickChpHeat, "Quick Results - Electricity with heat delivery")                                   \
    X(TitleQuickBiomethane, "Quick Results - Biomethane")                                                    \
    X(TitleQuickExtHeat, "Quick Results - Biomethane with heat supplier")                                    \
    X(ColStorageTime, "Storage time (months)")                                                               \
    X(ColUsedOnFarm, "Used on the farm (ton/year)")                                                          \
    X(ColStorageType, "Storage type")                                                                        \
    X(ColAvailableStorage, "Available storage (m3)")                                                         \
    X(RowBiomassExportCost, "Biomass cost of export")                                                        \
    X(RowEnergyUse, "Energy use")                                                                            \
    X(RowEnergyProduction, "Energy production")                                                              \
    X(RowFinancialAspects, "Financial aspects")                                                              \
    X(ColInput, "Input")                                                                                     \
    X(ColOutput, "Output")                                                                                   \
    X(ColHeatUse, "Heat use (MJ)")                                                                           \
    X(ColElecUse, "Electricity consumption (kWhe)")                                                          \
    X(ColElecProd, "Electricity production (kWhe)")                                                          \
    X(ColHeatProd, "Heat production (MJ)")                                                                   \
    X(ColBiomethaneProd, "Biomethane production (Nm3)")                                                      \
    X(CaseChp, "Electricity")                                                                                \
    X(CaseChpHeat, "Electricity with heat delivery")                                                         \
    X(CaseBiomethane, "Biomethane")                                                                          \
    X(CaseExtHeat, "Biomethane with heat supplier")                                                          \
    X(CaseExtHeatSupplier, "Biomethane with external heat supplier")                                         \
    X(ColIn, "In")                                                                                           \
    X(ColOut, "Out")                                                                                         \
    X(PlanMonth, "Month")                                                                                    \
    X(PlanBusinessplan, "Businessplan")                                                                      \
    X(PlanTimePlanning, "Time planning, layout, plan of execution")                                          \
    X(PlanPermits, "Permits")                                                                                \
    X(PlanSubsidies, "Request for subsidies")                                                                \
    X(PlanInvesters, "Search for investers/loans")                                                           \
    X(PlanOffers, "Request for commercial offers")                                                           \
    X(PlanConstruction, "Start of the construction work")                                                    \
    X(FormElectricity, "electricity")                                                                        \
    X(FormElectricityHeat, "electricity and heat delivery")                                                  \
    X(FormBiomethane, "biomethane")                                                                          \
    X(FormBiogas, "biogas")                                                                                  \
    X(FormBiomethaneExtHeat, "biomethane with heatconsumption of a third party")                             \
    X(FormBiogasExtHeat, "biogas with heatconsumption of a third party")                                     \
    X(ProduceElectricity, "%s kWh of electricity and %s MJ of heat")                                         \
    X(ProduceBiomethane, "%s Nm3 of biomethane")                                                             \
    X(Unknown, "\"unknown\"")                                                                                \
    X(SumBestCase, "The most profitable case is a biogas installation where the energy is delivered in the "  \
                   "form of <b>%s</b>.<br>")                                                                 \
    X(SumFed, "The digester will be fed with an annual <b>%s</b> tonnes of substrate. ")                     \
    X(SumDigestate, "After the digestion process, <b>%s</b> tonnes of digestate remains.<br><br>")           \
    X(SumArea, "The installation (including storage) requires a building area of approximately <b>%s</b> "   \
               "m2. ")                                                                                       \
    X(SumManHours, "Approximately <b>%s</b> man-hours per week are needed to operate the installation."      \
                   "<br><br>")                                                                               \
    X(SumBiogas, "This way, each year, <b>%s</b> Nm3 biogas is produced. ")                                  \
    X(SumConverted, "In this case, the biogas is converted into <b>%s</b>.<br><br>")                         \
    X(SumOptions, "The following options are included in the calculation:")                                 \
    X(OptPasteurisation, "Pasteurisation")                                                                   \
    X(OptTorch, "Fixed torch")                                                                               \
    X(OptSeparation, "Mechanical separation")                                                                \
    X(OptDrying, "Drying of the thick fraction of the digestate")                                            \
    X(OptThinFraction, "Processing of the thin fraction of the digestate")                                   \
    X(OptUpgrade, "Upgrade biogas to biomethane")                                                            \
    X(SumFinancial, "The financial results of the best case are as follows:")                                \
    X(FinInvestment, "Investment costs:")                                                                    \
    X(FinOperational, "Yearly operational costs:")                                                           \
    X(FinRevenues, "Yearly revenues:")                                                                       \
    X(FinPayback, "Payback period (based on the cashflow):")                                                 \
    X(FinNpv, "Nett present value:")                                                                         \
    X(SumVerdict, "Based on  the information you provided, a biogasinstallation in your situation is:")      \
    X(Profitable, "\"profitable\"")                                                                          \
    X(NotProfitable, "\"not profitable\"")                                                                   \
    X(ConclVerdict, "From the cashflow overviews, it can be concluded that a biogasinstallation is")         \
    X(ConclBestCase, "The most profitable case is <b>%s</b>.")                                               \
    X(ConclPayback, "The payback period, based on the cashflow, is <b>%s</b> years.")                        \
    X(NextIntro, "With the results of this scan, you should have a good idea of the profitability of a "     \
                 "biogas installation for your specific situation. As you will probably have noticed, the "  \
                 "return on investment offered by a biogasinstallation is strongly dependent of the used "    \
                 "substrates and the selected options.<br><br>The realization of a biogas installation "      \
                 "requires persistence. Dependent on the scale of your project, the efficiency of your "      \
                 "local government and their attitude towards renewable energy initiatives, the "             \
                 "development of a biogas installation from now until the start of the construction work "   \
                 "usually takes between two and four years.")                                                \
    X(NextBusinessPlan, "The first step to take is to write a business plan. On the basis of this plan, "    \
                        "investors and banks can be involved in the project. The results from this scan can " \
                        "be used as input for the business plan, but more information will be needed to "     \
                        "convince investors and banks. Your Veldra expert can assist you with this task.")    \
    X(NextDesign, "When the business plan is ready, it is time to make a time planning, make a preliminary "  \
                  "design and make a plan for the execution of the project. You Veldra expert can assist "   \
                  "you with this task or knows who can.")                                                    \
    X(NextPermits, "On the basis of the preliminary design, you can arrange for the needed permits and "      \
                   "subsidies. Your local government can tell you which permits are needed and if there are " \
                   "local stimulation programs for renewable energy projects. Your Veldra expert can assist " \
                   "you with the search and request for the needed permits and subsidies (local and "         \
                   "national). Some of the subsidies can only be arranged at a later stage.")                \
    X(NextOffers, "Of course, at the same time, you can ask for commercial offers from suppliers of biogas "  \
                  "installations. It is essential to take your time for this task and ask advise from an "   \
                  "independent expert when comparing the offers.")                                           \
    X(NextPlanning, "Based on a smooth running process, your global time planning could look like the "      \
                    "following:")
// clang-format on

enum TReportText : int {
#define FMX_REPORT_TEXT_ID(id, text) rt##id,
    FMX_REPORT_TEXTS(FMX_REPORT_TEXT_ID)
#undef FMX_REPORT_TEXT_ID
        kReportTextCount
};

// The English text of an entry.
QString reportTextBase(TReportText id);
// The entry in the current language (through tl).
QString rt(TReportText id);
// Every English text of the table and the captions of the four report charts.
QStringList reportTexts();
// Remembers reportTexts() for the translators' base catalogue (registerFreeTexts).
void registerReportTexts();

} // namespace fmx
