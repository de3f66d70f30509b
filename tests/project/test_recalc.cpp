#include "project_fixture.h"

using namespace fmx;
using namespace fmxtest;

namespace {

const QString kCalcFailed = QStringLiteral("Unsuccessful calculation! Evaluate input values.");

class RecalcTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        newProject();
    }
    bool recalcFlag() const { return project->recalcNeeded(); }
};

} // namespace

TEST_F(RecalcTest, OneEditRunsOneCalculation) {
    val("EnergyIn", "Lheatdeliv")->setAsFloat(300);
    EXPECT_EQ(gCalcRuns, 1);
    EXPECT_FALSE(recalcFlag());
    // Edits in every input group count, including the reference data below AdminVars.
    val("CashflowIn", "PERinfl")->setAsFloat(2);
    sub("AdminVars")->getValueWithID(valAdmTchp)->setAsFloat(8000);
    sub("AdminVars")
        ->obj(0)
        ->getValueWithID(dmData->FindUniqueValueDefWithXML(QStringLiteral("AdmC1_CHP"))->InternalID())
        ->setAsFloat(3);
    EXPECT_EQ(gCalcRuns, 4);
    EXPECT_TRUE(gErrorBoxes.empty());
}

TEST_F(RecalcTest, OutputsAndProjectValuesDoNotRecalculate) {
    val("BiomassOut", "Biogas_nm3")->setAsFloat(5);
    sub("FinanceOut")->obj(0)->getValueWithID(valfinance_npv)->setAsFloat(7);
    project->getValueWithID(valTemplate)->setAsString(QStringLiteral("NL project template"));
    EXPECT_EQ(gCalcRuns, 0);
}

TEST_F(RecalcTest, RemovingARowRecalculatesAndNamesTheRow) {
    TDataObjList* rows = sub("BiomassIn")->getListWithID(ldefSubstrateCosubList);
    withRecalcSuspended(project.get(), [&]() { rows->cAddObj(-1); });
    const int before = gCalcRuns;
    TDataObj* row = rows->obj(0);
    rows->removeObject(row, false);
    EXPECT_EQ(gCalcRuns, before + 1);
    EXPECT_EQ(gCalcCause, row);
}

TEST_F(RecalcTest, NestedSuspensionsAroundTenEditsRunOneCalculationAtTheOuterEnd) {
    project->setRecalcAllowed(false);
    project->setRecalcAllowed(false);
    for (int i = 1; i <= 10; ++i)
        val("InstallationIn", "a_hall_user")->setAsFloat(100 + i);
    project->setRecalcAllowed(true);
    EXPECT_EQ(gCalcRuns, 0);
    EXPECT_FALSE(project->recalcAllowed());
    EXPECT_TRUE(recalcFlag());
    project->setRecalcAllowed(true);
    EXPECT_EQ(gCalcRuns, 1);
    EXPECT_TRUE(project->recalcAllowed());
    EXPECT_FALSE(recalcFlag());
    // A pair without edits calculates nothing; an extra resume does not unbalance later pairs.
    project->setRecalcAllowed(false);
    project->setRecalcAllowed(true);
    project->setRecalcAllowed(true);
    EXPECT_EQ(gCalcRuns, 1);
    project->setRecalcAllowed(false);
    val("InstallationIn", "a_hall_user")->setAsFloat(5);
    EXPECT_EQ(gCalcRuns, 1);
    project->setRecalcAllowed(true);
    EXPECT_EQ(gCalcRuns, 2);
}

TEST_F(RecalcTest, ABatchThatThrowsStillEndsItsSuspension) {
    EXPECT_THROW(withRecalcSuspended(project.get(),
                                     [&]() {
                                         val("EnergyIn", "Lfeed_gas")->setAsFloat(50);
                                         val("BiomassIn", "trt_user")->setAsFloat(5); // below its minimum
                                     }),
                 ERangeError);
    EXPECT_TRUE(project->recalcAllowed());
    EXPECT_EQ(gCalcRuns, 1); // the edit made before the failure is calculated
}

TEST_F(RecalcTest, FailedCalculationReportsKeepsRecalcNeededAndTheNextEditRetries) {
    gCalcFails = true;
    val("EnergyIn", "Lfeed_gas")->setAsFloat(50);
    EXPECT_EQ(gCalcRuns, 1);
    EXPECT_TRUE(recalcFlag());
    EXPECT_DOUBLE_EQ(val("EnergyIn", "Lfeed_gas")->getAsFloat(), 50);
    EXPECT_EQ(gErrorBoxes, std::vector<QString>{kCalcFailed});
    // RecalcNeeded is already "Yes": the next edit must still try again.
    gCalcFails = false;
    val("EnergyIn", "Lfeed_gas")->setAsFloat(60);
    EXPECT_EQ(gCalcRuns, 2);
    EXPECT_FALSE(recalcFlag());
    // The same after a batch.
    gCalcFails = true;
    project->setRecalcAllowed(false);
    val("EnergyIn", "Lfeed_gas")->setAsFloat(70);
    project->setRecalcAllowed(true);
    EXPECT_EQ(gCalcRuns, 3);
    EXPECT_EQ(gErrorBoxes.size(), 2u);
    EXPECT_TRUE(recalcFlag());
}

TEST_F(RecalcTest, WithoutACalculationInstalledAnEditReportsFailure) {
    setProjectCalcFunction(nullptr);
    val("EnergyIn", "Lfeed_gas")->setAsFloat(50);
    EXPECT_EQ(gErrorBoxes, std::vector<QString>{kCalcFailed});
    EXPECT_TRUE(recalcFlag());
}

// ---- manure rows ----

namespace {

class ManureTest : public RecalcTest {
protected:
    void SetUp() override {
        RecalcTest::SetUp();
        project->setRecalcAllowed(false);
        record = sub("AdminVars")->getListWithID(ldefAdmSubstrateManureList)->cAddObj(-1);
        record->getValueWithID(valAdmName)->setAsString(QStringLiteral("Cattle"));
        record->getValueWithID(valAdmRELprod_i)->setAsFloat(20);
        record->getValueWithID(valAdmREL_dens_i)->setAsFloat(1.05);
        row = sub("BiomassIn")->getListWithID(ldefSubstrateManureList)->cAddObj(-1);
        project->setRecalcAllowed(true);
    }
    void chooseRecord() {
        withRecalcSuspended(project.get(),
                            [&]() { row->getValueWithID(valSubstrateManureAdmRef)->setAsReference(record); });
    }
    double get(int32_t def) const { return row->getValueWithID(def)->getAsFloat(); }
    void set(int32_t def, double v) { row->getValueWithID(def)->setAsFloat(v); }
    struct TAmounts {
        double animals, months, volume, mass;
    };
    void expectAmounts(TAmounts e, const char* step) {
        EXPECT_DOUBLE_EQ(get(valNanimal), e.animals) << step;
        EXPECT_DOUBLE_EQ(get(valTbarn), e.months) << step;
        EXPECT_DOUBLE_EQ(get(valVsub_i), e.volume) << step;
        EXPECT_DOUBLE_EQ(get(valMsub_i), e.mass) << step;
    }
    TDataObj* record = nullptr;
    TDataObj* row = nullptr;
};

} // namespace

TEST_F(ManureTest, AnimalsGiveVolumeAndMassThenTypedVolumeThenTypedMass) {
    chooseRecord();
    set(valTbarn, 6);
    gCalcRuns = 0;
    set(valNanimal, 100);
    expectAmounts({100, 6, 1000, 1050}, "animals and months");
    EXPECT_EQ(gCalcRuns, 1); // the whole chain of the animals edit ends in one calculation
    set(valVsub_i, 500);
    expectAmounts({0, 0, 500, 525}, "typed volume");
    EXPECT_EQ(gCalcRuns, 2);
    set(valMsub_i, 300);
    expectAmounts({0, 0, 0, 300}, "typed mass");
    EXPECT_EQ(gCalcRuns, 3);
    // Animals again after a typed mass derive everything anew.
    set(valNanimal, 50);
    set(valTbarn, 12);
    expectAmounts({50, 12, 1000, 1050}, "animals after typed mass");
}

TEST_F(ManureTest, NoMonthsDerivesNothing) {
    chooseRecord();
    set(valTbarn, 0);
    set(valNanimal, 100);
    expectAmounts({100, 0, 0, 0}, "no months");
}

TEST_F(ManureTest, WithoutASubstrateAnimalsGiveNoVolumeAndClearTheMass) {
    set(valMsub_i, 40);
    set(valNanimal, 100);
    set(valTbarn, 6);
    expectAmounts({100, 6, 0, 0}, "no substrate");
}

TEST_F(ManureTest, DerivedMassRoundsHalvesToEven) {
    chooseRecord();
    withRecalcSuspended(project.get(), [&]() { record->getValueWithID(valAdmREL_dens_i)->setAsFloat(1); });
    const struct { double volume, mass; } cases[] = {{2.5, 2}, {3.5, 4}, {4.4, 4}, {4.6, 5}, {10.5, 10}};
    for (const auto& c : cases) {
        set(valVsub_i, c.volume);
        EXPECT_DOUBLE_EQ(get(valMsub_i), c.mass) << c.volume;
    }
}
