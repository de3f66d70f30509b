// The classes of the project tree and of the subsidy rules. Each class's init adds the object's
// children in their fixed order (the order in memory, in files and in generic views).
//
// Recalculation: an edit inside an input group (TProjInputData) sets the project's RecalcNeeded
// to "Yes"; the project then calculates unless recalculation is suspended (recalcAllowed false,
// nested pairs). The calculation itself is installed by the calculation layer through
// setProjectCalcFunction.
#pragma once

#include "dataobj.h"
#include "globaldata.h"

#include <memory>
#include <type_traits>

namespace fmx {

class TProject;
class TProjectSubsidy;

// The calculation of a project: true on success (it then sets RecalcNeeded to "No"), false on
// failure. cause is the object whose change made the calculation due, or nullptr.
using TProjectCalcFunction = bool (*)(TProject& project, TAbstractRootObj* cause);
void setProjectCalcFunction(TProjectCalcFunction f);

class TApplGlobalData : public TGlobaleData {
public:
    void init() override;
};

class TProject : public TDataObjODRoot {
public:
    ~TProject() override;
    void init() override;
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;

    // True when no suspension is active. Setting false suspends (nests); setting true ends one
    // suspension, and ending the last runs the calculation when RecalcNeeded is "Yes".
    bool recalcAllowed() const { return fRecalcLevel == 0; }
    void setRecalcAllowed(bool allowed);

    bool recalcNeeded() const;
    // Sets RecalcNeeded to "Yes"; when it already was "Yes" (a failed calculation), the
    // calculation is tried again at once, under the same suspension rules.
    void markRecalcNeeded(TAbstractRootObj* cause);

    // Runs the installed calculation; false when it fails or when none is installed.
    virtual bool calc(TAbstractRootObj* cause);

    // The start project of a language (see project_files.h).
    static std::unique_ptr<TProject> loadStartProject(int languageID);
    // (Re)loads the rules named by SubsidyFileName from the subsidy folder; a missing file or an
    // empty name means "Default Subsidy" (written back). A failed load throws and leaves the project
    // without rules.
    void loadSubsidyRules();
    // Stores newName and reloads the rules when it differs from SubsidyFileName (case-sensitive).
    void setSubsidyRules(const QString& newName);

    // The subsidy rules of the project (owned; destroyed before the tree).
    TProjectSubsidy* projectSub() const { return fProjectSub.get(); }
    void setProjectSub(std::unique_ptr<TProjectSubsidy> sub);

private:
    // Calculates when allowed; shows the failure message when the calculation fails.
    void calcIfAllowed(TAbstractRootObj* cause);

    std::unique_ptr<TProjectSubsidy> fProjectSub;
    int32_t fRecalcLevel = 0;
};

// Runs f with the project's recalculation suspended (one recalcAllowed false/true pair, also when
// f throws); resuming runs the calculation that became due. project may be nullptr.
template <class F> decltype(auto) withRecalcSuspended(TProject* project, F&& f) {
    if (!project) return f();
    project->setRecalcAllowed(false);
    try {
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            project->setRecalcAllowed(true);
        } else {
            decltype(auto) result = f();
            project->setRecalcAllowed(true);
            return result;
        }
    } catch (...) {
        project->setRecalcAllowed(true);
        throw;
    }
}

// The project an object belongs to, or nullptr outside a project.
TProject* projectOf(TAbstractRootObj* node);

class TProjectSubsidy : public TDataObjODRoot {
public:
    void init() override;
    // New rules loaded from "Default Subsidy" in the subsidy folder; throws when that fails.
    static std::unique_ptr<TProjectSubsidy> loadDefaultRules();
};

// Base of the input groups: any edit below it makes a recalculation due.
class TProjInputData : public TDataObj {
public:
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;
};

class TAdminVars : public TProjInputData {
public:
    void init() override;
};
class TBiomassIn : public TProjInputData {
public:
    void init() override;
};
class TEnergyIn : public TProjInputData {
public:
    void init() override;
};
class TInstallationIn : public TProjInputData {
public:
    void init() override;
};
class TStorageIn : public TProjInputData {
public:
    void init() override;
};
class TExploitationIn : public TProjInputData {
public:
    void init() override;
};
class TSubsidyIn : public TProjInputData {
public:
    void init() override;
};
class TFinanceIn : public TProjInputData {
public:
    void init() override;
};

// A manure input row: animals and months, volume and mass derive each other.
class TSubstrateManure : public TDataObj {
public:
    void init() override;
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;

private:
    void deriveAmounts(int32_t changedDefID);
    bool changedVsubi = false;
    bool changedMsubi = false;
};

// Substrate database records; their display name is "AdmName (substrate type)".
class TAdmSubstrateManure : public TDataObj {
public:
    void init() override;
    QString getName() override;
};
class TAdmSubstrateCosub : public TDataObj {
public:
    void init() override;
    QString getName() override;
};

#define FMX_PLAIN_CLASS(name)                                                                                \
    class name : public TDataObj {                                                                           \
    public:                                                                                                  \
        void init() override;                                                                                \
    };
FMX_PLAIN_CLASS(TSubstrateCosub)
FMX_PLAIN_CLASS(TAdmPconnect)
FMX_PLAIN_CLASS(TAdmComponentsDatabase)
FMX_PLAIN_CLASS(TBiomassOut)
FMX_PLAIN_CLASS(TInstallationOut)
FMX_PLAIN_CLASS(TExploitationOut)
FMX_PLAIN_CLASS(TFinanceOut)
FMX_PLAIN_CLASS(TFinanceOutSingle)
FMX_PLAIN_CLASS(TFinanceYear)
FMX_PLAIN_CLASS(TSubsidyApply)
FMX_PLAIN_CLASS(TSubsidyGermany)
FMX_PLAIN_CLASS(TSubsidyNetherlands)
FMX_PLAIN_CLASS(TSubsidyNetherlandsListRec)
FMX_PLAIN_CLASS(TSubsidyFlanders)
FMX_PLAIN_CLASS(TSubsidyFlandersListRec)
FMX_PLAIN_CLASS(TSubsidyWallons)
FMX_PLAIN_CLASS(TSubsidyPoland)
FMX_PLAIN_CLASS(TSubsidyItaly)
FMX_PLAIN_CLASS(TSubsidyEstonia)
#undef FMX_PLAIN_CLASS

} // namespace fmx
