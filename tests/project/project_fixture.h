// A fresh registry with the project schema per test, a recording error box and a calculation
// double that counts its runs (and fails on request).
#pragma once

#include "project.h"
#include "project_schema.h"

#include "datavalue.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmformat.h"
#include "dmhooks.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <memory>
#include <vector>

namespace fmxtest {

using namespace fmx;

inline std::vector<QString> gErrorBoxes;
inline int gCalcRuns = 0;
inline bool gCalcFails = false;
inline TAbstractRootObj* gCalcCause = nullptr;

// Stands in for the calculation: a successful run clears RecalcNeeded, as the real one does.
inline bool countingCalc(TProject& project, TAbstractRootObj* cause) {
    ++gCalcRuns;
    gCalcCause = cause;
    if (gCalcFails) return false;
    project.getValueWithID(valRecalcNeeded)->setAsInteger(2);
    return true;
}

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        initFormatSettings(QLocale::c());
        gErrorBoxes.clear();
        gCalcRuns = 0;
        gCalcFails = false;
        gCalcCause = nullptr;
        setDmErrorSink([](const QString& t) { gErrorBoxes.push_back(t); });
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
        reg = TdmData::create();
        frameworkValues = dmData->numValDefs();
        frameworkObjs = dmData->numObjDefs();
        frameworkLists = dmData->numListDefs();
        dmProjectCreateDefs();
        setProjectCalcFunction(countingCalc);
    }
    void TearDown() override {
        subsidy.reset();
        project.reset();
        reg.reset();
        setProjectCalcFunction(nullptr);
        setDmErrorSink(nullptr);
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
    }

    // A new project, as created from nothing: not busy, every value at its default.
    TProject* newProject() {
        project.reset(static_cast<TProject*>(
            dmData->FindDataObjDefWithID(defProjectDigester)->CreateRootDataObj(false, true).release()));
        return project.get();
    }
    TProjectSubsidy* newSubsidy() {
        subsidy.reset(static_cast<TProjectSubsidy*>(
            dmData->FindDataObjDefWithID(defProjectSubsidy)->CreateRootDataObj(false, true).release()));
        return subsidy.get();
    }
    TDataObj* sub(const char* xml) const { return project->getSubObjWithXML(QLatin1String(xml)); }
    TAbstractDataValue* val(const char* objXml, const char* valXml) const {
        return sub(objXml)->getValueWithXML(QLatin1String(valXml));
    }

    std::unique_ptr<TdmData> reg;
    std::unique_ptr<TProject> project;
    std::unique_ptr<TProjectSubsidy> subsidy;
    int frameworkValues = 0, frameworkObjs = 0, frameworkLists = 0;
};

} // namespace fmxtest
