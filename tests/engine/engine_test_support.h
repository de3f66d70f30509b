// Shared helpers of the engine tests: a fixture that fills the module-level records with the
// reference farm before every test, and a way to run the sections of a run one by one.
#pragma once

#include "bgx_fixture.h"
#include "bgx_run.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace fmx::testing {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        testdata::fillGlobals();
        std::feclearexcept(FE_ALL_EXCEPT);
    }
};

// Runs sections 1 to `last` (in the entry's order) on a BGXRun of the globals, without the
// floating-point checks of the entry, so that a test can read the run's intermediate quantities.
enum class Upto {
    Substrates,
    ChpSizing,
    Storage,
    Pipes,
    ChpEfficiency,
    SiteArea,
    Components,
    Grid,
    Investment,
    Costs,
    Subsidies,
    Projections,
    Summary
};

inline void runSections(BGXRun& run, Upto last) {
    fill_BGXConstants();
    run.thermophilicFactor();
    run.substratesAndBiogas();
    if (last == Upto::Substrates) return;
    run.chpSizing();
    if (last == Upto::ChpSizing) return;
    run.storageAndDigester();
    if (last == Upto::Storage) return;
    run.temperaturesAndPipes();
    if (last == Upto::Pipes) return;
    run.chpEfficiency();
    if (last == Upto::ChpEfficiency) return;
    run.siteArea();
    if (last == Upto::SiteArea) return;
    run.components();
    if (last == Upto::Components) return;
    run.electricityAndGrid();
    if (last == Upto::Grid) return;
    run.outputsAndInvestment();
    if (last == Upto::Investment) return;
    run.yearlyCosts();
    if (last == Upto::Costs) return;
    run.subsidiesAndFinancing();
    if (last == Upto::Subsidies) return;
    run.projections();
    if (last == Upto::Projections) return;
    run.yearlySummary();
}

inline BGXRun makeRun() {
    return BGXRun(gUserData, gAdminVars, gSubsidy, gConstants);
}

} // namespace fmx::testing
