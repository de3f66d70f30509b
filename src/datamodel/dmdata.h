// The registry of all definitions (one instance, dmData). It owns every definition until it is
// destroyed at shutdown.
#pragma once

#include "definitions.h"

#include <QString>

#include <memory>
#include <vector>

namespace fmx {

struct TFindItemRecXML {
    TDataObjDef* fObjDef = nullptr;
    TDataValueDef* fItemDef = nullptr;
    int32_t fItemIdx = -1;
};

// All definitions of one kind that share an XML-name hash, with a lookup cache of positions.
class TXMLGroup {
public:
    uint32_t fNameHash = 0;
    std::vector<TAbstractDef*> fDefs;

    int defCount() const { return static_cast<int>(fDefs.size()); }
    // The value of this group's name in an object of objDef; nullptr when absent. A position
    // found by scanning is remembered (16 entries, replaced in turn when full).
    TAbstractDataValue* getItemWithXML(TDataObjDef* objDef, const TValueList& values);

private:
    int32_t fLastIdxRec = 0;
    int32_t fNextReplace = 0;
    std::array<TFindItemRecXML, 16> fIdxRec{};
};

class TdmData {
public:
    // Creates the registry and declares the framework's definitions. A second instance is an
    // assertion; a failure leaves no registry behind.
    static std::unique_ptr<TdmData> create();
    ~TdmData();
    TdmData(const TdmData&) = delete;
    TdmData& operator=(const TdmData&) = delete;

    // Slot placement (used by the declaration API). defID <= 0: the next slot; else the
    // reserved slot, which must be empty.
    void placeValueDef(int32_t& defID, std::unique_ptr<TDataValueDef> def);
    void placeObjDef(int32_t& defID, std::unique_ptr<TDataObjDef> def);
    void placeListDef(int32_t& defID, std::unique_ptr<TDataObjListDef> def);
    // defID 0: reserves the next (empty) slot and returns its ID; else returns defID.
    int32_t forwardDeclValueDef(int32_t defID);
    int32_t forwardDeclObjDef(int32_t defID);

    void removeValueDef(TDataValueDef* def);
    void removeListDef(TDataObjListDef* def);
    void removeDataObjDef(TDataObjDef* def);

    // Lookups by ID: values and lists assert on an ID outside the declared range; objects throw
    // std::out_of_range for an ID outside the range, and yield nullptr for a reserved slot.
    TDataValueDef* FindValueDefWithID(int32_t id) const;
    TDataObjListDef* FindListDefWithID(int32_t id) const;
    TDataObjDef* FindDataObjDefWithID(int32_t id) const;
    // By XML name (case-insensitive for a-z): nullptr when none, assertion when several.
    TDataValueDef* FindUniqueValueDefWithXML(const QString& name);
    TDataObjListDef* FindUniqueListDefWithXML(const QString& name);
    TDataObjDef* FindUniqueDataObjDefWithXML(const QString& name);
    // Case-insensitive class name of the definitions' classes; nullptr when none.
    TDataObjDef* FindDataObjDefWithClassName(const QString& name) const;
    enum TDefKind { dkValue, dkObject, dkList };
    TXMLGroup* FindXMLGroupWithHash(TDefKind kind, uint32_t hash);
    void sortDefs();
    void clearXMLGroups();
    // Lookups of values by XML name scan below this number of values and use groups above it.
    int valueGroupThreshold() {
        if (fAreDefsUnSorted) sortDefs();
        return fValueThreshold;
    }

    // Walking all definitions (reserved empty slots are skipped by the ID lists).
    int numValDefs() const { return static_cast<int>(fValDefsRaw.size()); }
    int32_t valDefID(int i) const { return kValDefIDBase + i; }
    int valDefIdx(int32_t id) const { return id - kValDefIDBase; }
    int numObjDefs() const { return static_cast<int>(fObjDefsRaw.size()); }
    int32_t objDefID(int i) const { return kObjDefIDBase + i; }
    int objDefIdx(int32_t id) const { return id - kObjDefIDBase; }
    int numListDefs() const { return static_cast<int>(fListDefsRaw.size()); }
    int32_t listDefID(int i) const { return kListDefIDBase + i; }
    int listDefIdx(int32_t id) const { return id - kListDefIDBase; }

    // Refinement helpers.
    void addEnum(int32_t id, const QString& text); // to the last declared value definition
    void addEnum(int32_t defID, int32_t id, const QString& text);
    void setValDefRightToChange(int32_t defID, int32_t right);
    void setObjDefRightToChange(int32_t defID, int32_t right);
    void setListDefRightToAdd(int32_t defID, int32_t right);
    void setListDefRightToDelete(int32_t defID, int32_t right);
    void setListDefRights(int32_t defID, int32_t rightToChange, int32_t rightToAdd, int32_t rightToDelete);

    // Name values: value definitions whose String values are objects' names.
    void registerNameValueID(int32_t valueDefID);
    bool isNameValueID(int32_t valueDefID) const;
    const std::vector<int32_t>& nameValueIDs() const { return fArrDefaultNames; }

    const std::vector<QString>& listDBNames() const { return fListDBNames; }
    void addListDBName(const QString& name) { fListDBNames.push_back(name); }

private:
    TdmData();
    void declareFrameworkDefs();
    TXMLGroup* findGroup(std::vector<TXMLGroup>& groups, uint32_t hash);

    std::vector<std::unique_ptr<TDataValueDef>> fValDefsRaw;
    std::vector<TXMLGroup> fValDefsXMLSorted;
    std::vector<std::unique_ptr<TDataObjListDef>> fListDefsRaw;
    std::vector<TXMLGroup> fListDefsXMLSorted;
    std::vector<std::unique_ptr<TDataObjDef>> fObjDefsRaw;
    std::vector<TXMLGroup> fObjDefsXMLSorted;
    bool fAreDefsUnSorted = true;
    std::vector<QString> fListDBNames;
    std::vector<int32_t> fArrDefaultNames;
    int fValueThreshold = -1;
};

// The one registry (nullptr before creation and after destruction).
extern TdmData* dmData;

// The most recently declared definition of each kind; each declaration clears the other two.
extern TDataValueDef* gLastValueDef;
extern TDataObjDef* gLastDataObjDef;
extern TDataObjListDef* gLastListDef;

// The framework's own definition IDs, set when the registry is created.
extern int32_t gvalObjVersion, gvalBugsFixed, gvalProgVersion, gvalCopyFromDBID, gvalCopyFromObjID,
    gvalCopyFromVersion, gvalNameIDForOnDemandListObj, gvalVersionID, gvalLastUsedID, gvalNoteCode,
    gvalNoteDate, gldefGebruikers, gvalNoteUserID, gvalNoteKind, gvalNoteDescr, gvalNoteCopy, gvalNoteFoto,
    gvalNoteObjPath, gvalNoteObjID, gvalNoteValXMLName, gvalValueType, gdefNote, gldefNotes, gvalDBGuid;

} // namespace fmx
