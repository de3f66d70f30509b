// Objects, lists and roots of the data tree.
//
// Ownership (who owns, who only points, who clears):
// - dmData owns every definition; nodes only point to theirs.
// - An object owns its values, lists and sub-objects (std::unique_ptr, in creation order); a list
//   owns its objects (display order). A root (TDataObjODRoot or any object without parent) is owned
//   by whoever created it.
// - fParent / fParentList of a node point up to its owner and never own.
// - A TRefDataValue caches the object it refers to (fCachedObj). The object keeps the list of values
//   caching it (fCachedRefs); when it is deleted it clears each cache (cleanCachedRefs), and a
//   value that stops caching or is deleted removes itself from that list.
// - UI links (TBaseUILink) point to one node; the node keeps non-owning pointers to its links.
//   Deleting a node sets every link's node to none (signalDelete), and a link being destroyed
//   unregisters itself.
// - Deleting an object with a real ID also clears, in its ID manager's tree, the references that
//   store its ID (deleteReferencesTo), so no reference keeps pointing at a deleted object.
//
// Change marks: a change marks the containers (root first) before the content changes, so a
// refused right leaves the tree unchanged. Triggers travel value -> object -> list -> object ... ->
// root, passing UI links and handleTrigger on the way; busy nodes raise none.
#pragma once

#include "datavalue.h"
#include "definitions.h"
#include "rootobj.h"

#include <QStringList>

#include <functional>

namespace fmx {

class TRefObjList;
class TDataObjList;
class TObjNote;

struct TIndexError {
    QString message;
    TDataObj* obj = nullptr;
};

class TDataObj : public TAbstractRootObj {
public:
    TDataObj();
    ~TDataObj() override;

    // Class-level answers asked by TDataObjDef::Create.
    static bool checkIsInstLocalObj() { return true; }
    static bool checkIsLoadOnDemandObj() { return false; }

    TNodeKind nodeKind() const override { return nkObject; }
    TDataObj* pathStartObj() override { return this; }
    TDataObjDef* Definition() const { return fDefinition; }
    TDataObjList* ParentList() const { return fParentList; }
    TDataObj* Parent() const { return fParent; }
    // The parent object, or the owner of the parent list.
    TDataObj* parentObject() const;

    // ---- children ----
    int ValueCount() const { return static_cast<int>(fValues.size()); }
    TAbstractDataValue* value(int i) const;
    TAbstractDataValue* getValueWithID(int32_t defID) const;
    TAbstractDataValue* getValueWithXML(const QString& name) const;
    TAbstractDataValue* getValueWithXMLHash(uint32_t hash) const;
    TAbstractDataValue* getValueWithDBField(const QString& name) const;
    int objCount() const { return static_cast<int>(fSubObj.size()); }
    TDataObj* obj(int i) const;
    virtual TDataObj* getSubObjWithDefID(int32_t defID) const;
    virtual TDataObj* getSubObjWithXML(const QString& name) const;
    TDataObj* getSubObjWithDBField(const QString& name) const;
    int ListCount() const { return static_cast<int>(fLists.size()); }
    TDataObjList* list(int i) const; // assertion outside the lists
    TDataObjList* getListWithID(int32_t defID) const;
    TDataObjList* getListWithXML(const QString& name) const;
    TDataObj* nextObj() const;
    TDataObj* prevObj() const;
    int indexInParentList() const;
    // True for the object itself and every ancestor.
    bool isChildOf(const TDataObj* obj) const;
    // By a definition ID of any kind; a wrong-range ID yields nullptr.
    TAbstractDataValue* findValueWithIDEx(int32_t defID) const;
    TDataObj* findObjWithIDEx(int32_t defID) const;
    TDataObjList* findListWithIDEx(int32_t defID) const;

    // ---- creation ----
    TAbstractDataValue* cAddVal(int32_t defID);
    TAbstractDataValue* cAddVal(TDataValueDef* def);
    TDataObj* cAddObj(int32_t defID);
    TDataObjList* cAddList(int32_t defID);
    TDataObjList* cAddList(TDataObjListDef* def);
    // Deletes one value of this object (its references and links are cleared first).
    void deleteValue(TAbstractDataValue* value);

    // ---- identity ----
    // The ID, assigned on first request (see IDs in the framework notes): -2 for dontStore objects
    // and for local objects without values; local objects draw from their ID manager.
    int32_t ID();
    // ID() for callers that require an ID manager; its absence is reported as from getIDEx.
    int32_t getIDEx();
    int32_t rawID() const { return fID; }
    void setRawID(int32_t id) { fID = id; }
    void NewIDAfterCopy();
    int32_t determineMaxGlobalID();

    // ---- names ----
    virtual QString getName();
    virtual QString getRefName();
    virtual void setName(const QString& name);
    QString name() { return getName(); }
    QString refName() { return getRefName(); }
    QString nameAsHTML();
    TAbstractDataValue* nameField();
    TAbstractDataValue* nameFieldForSet();

    // ---- load order ----
    int32_t loadOrder() const { return fLoadOrder; }
    bool loadOrderChanged() const { return fLoadOrderChanged; }
    void setLoadOrder(int32_t n);
    void setLoadOrderNoStateChange(int32_t n) { fLoadOrder = n; }

    // ---- hooks for application classes ----
    virtual void init();
    virtual void afterCreateOrLoad(bool isNewObj);
    virtual std::unique_ptr<TDataError> customCheckActionIsAllowed(TObjAction action);
    virtual std::unique_ptr<TDataError> getIsActionAllowedForValue(TAbstractDataValue* value,
                                                                   TObjAction action);
    virtual bool getObjIsNotArchived();
    bool getObjIsArchived() { return !getObjIsNotArchived(); }
    virtual QString getNotePathDescr(TAbstractDataValue* value);
    virtual bool hasLinkedItems();
    // Candidates for a reference value of this object (caller releases with endUse); nullptr = none.
    virtual TRefObjList* getRefList(int32_t valueDefID);
    virtual TDataObjList* getListForNewObj(int32_t objDefID);

    // ---- searching ----
    virtual TDataObj* searchForDataObjWithID(int32_t id);
    // Asks the ID manager to search its tree.
    TDataObj* findDataObjWithID(int32_t id);
    TRefDataValue* hasAnyReferencesTo(int32_t id);
    // Clears references to target in this tree (stored ID equal and global or resolving to it).
    void deleteReferencesTo(TDataObj* target);
    virtual bool checkRefsValid(bool nilIfNot);
    void nilGlobalRefs();
    virtual bool validate();
    // Walks sub-objects and lists; appends to errors; true when any error exists.
    bool checkIndexConstraints(std::vector<TIndexError>& errors);

    // ---- editing ----
    // Listed object: through the list's removeObject (right check, mark, destroy). Not listed:
    // emptied; a sub-object is then destroyed by its parent, a root stays with its owner.
    virtual void deleteObj(bool inclLinked);
    virtual void emptyObj();
    // Sorts every list below (recursively with inclSubItems).
    void sorteer(bool inclSubItems, bool tryNumbers, bool forceChange, const TDataObjCompare& cmp = {});
    virtual void recalcAllValuesAndClaimID(TDataObjIDManager* idManager);

    // ---- copies and synchronisation (copysave.cpp) ----
    // A copy without parent (the caller owns it): new, with this object's IDs and content.
    virtual std::unique_ptr<TDataObj> createCopy();
    // Takes over fromObj's content, matched by definition and object IDs (see copysave.cpp). Objects
    // that fromObj's lists lack are taken out unless oneWay, and destroyed.
    virtual void copyChangesFrom(TDataObj* fromObj, bool noRegChanges, bool allowChangedObj, bool oneWay);
    // Copies into each value the source's value of the same definition, except the listed definitions.
    void copyValuesFrom(TDataObj* source, const std::vector<int32_t>& exceptValueDefIDs);
    // Whether this object or anything below it is still new or changed; with assertIfAny the first
    // finding is a failed assertion.
    bool anyChangesLeft(bool assertIfAny);
    // A child was cancelled: when nothing below is new or changed any more the mark is cleared and
    // the question goes up.
    void childCancelled();

    // ---- data-tree files (dmfiles.cpp) ----
    // Writes the object element: "rid", "loadorder" (listed objects), values, lists, sub-objects.
    virtual void newSaveToXML(int indent, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges);
    // Reads the current element of from (the object must be busy). Unknown children are skipped with
    // all their content. Throws the reader's and the conversion errors.
    virtual void newLoadFromXML(TXMLReader& from, TStorageXMLType loadType);
    // Report content an object adds after its sub-objects (report type only).
    virtual void newSaveToXMLAddForReport(int indent, TXMLWriter& into);
    // The file-storage text of this object under "ROOT" (no binary files are written).
    QByteArray getSavedXML();
    // The object alone under "ROOT", written whole to fileName as given. Throws TXMLFileError.
    void baseSaveToFile(const QString& fileName, bool clearChanges, TStorageXMLType saveType);
    // Reads fileName (as given) into this object, busy meanwhile. Throws as newLoadFromXML, and
    // TDataError (tdek_FileNotFound) when the file does not exist.
    void baseLoadFromFile(const QString& fileName);
    void assureAllBinDataIsLoaded();
    void markAllBinDataAsNew();
    // Clears the new and changed marks of every node that a save writes.
    void clearWrittenMarks();

    // ---- state ----
    bool busySync() const { return fBusySync; }
    void setBusySync(bool flag);
    bool onDemandListObj() const { return fOnDemandListObj; }
    bool onDemandXMLNeedsSave() const { return fOnDemandXMLNeedsSave; }
    bool signalVersionChanges() const { return fSignalVersionChanges; }
    void setChanged(bool flag) override;
    void setBusy(bool flag) override;
    std::unique_ptr<TDataError> getIsActionAllowed(TObjAction action) override;
    void setIsNew(bool flag) override;
    void signalDelete() override;
    void deepSetUnchanged() override;
    void deepSetChangedAndNew(bool ch, bool nw) override;
    uint32_t calcDataChecksum(int indexToAdd) override;
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;

    // Reference caching bookkeeping (see ownership above).
    void addCachedRef(TRefDataValue* ref);
    void delCachedRef(TRefDataValue* ref);
    void cleanCachedRefs();
    int cachedRefCount() const { return fCachedRefs ? static_cast<int>(fCachedRefs->size()) : 0; }

    // Attaching children (used by the definitions).
    TAbstractDataValue* adoptValue(std::unique_ptr<TAbstractDataValue> value);
    TDataObjList* adoptList(std::unique_ptr<TDataObjList> list);
    TDataObj* adoptSubObj(std::unique_ptr<TDataObj> obj);
    void discardSubObj(TDataObj* obj);
    const TValueList& values() const { return fValues; }

protected:
    int32_t assignID(const QString& noManagerMessage);
    friend class TDataObjDef;
    friend class TDataObjList;
    friend class TDataObjIDManager;
    // Signals deletion, clears references to this object and destroys the children. Idempotent.
    void teardown();
    // Marks only: no right check (containers of a change already checked theirs).
    bool rightsChecksSuspended() const;
    bool runVersionRegistration(TAbstractRootObj* objTriggered, int32_t flags);
    TDataObj* searchChildren(int32_t id, bool listsFirst);

    TValueList fValues;
    std::vector<std::unique_ptr<TDataObjList>> fLists;
    std::vector<std::unique_ptr<TDataObj>> fSubObj;
    TDataObjList* fParentList = nullptr;
    TDataObj* fParent = nullptr;
    int32_t fID = 0;
    TDataObjDef* fDefinition = nullptr;
    int32_t fLoadOrder = 0;
    bool fLoadOrderChanged = false;
    bool fSignalVersionChanges = true;
    bool fBusySync = false;
    bool fOnDemandListObj = false;
    bool fOnDemandXMLNeedsSave = false;
    bool fTornDown = false;
    std::unique_ptr<std::vector<TRefDataValue*>> fCachedRefs;
};

// A list of objects, owned by its parent object; it owns its objects.
class TDataObjList : public TAbstractRootObj {
public:
    explicit TDataObjList(TDataObjListDef* def);
    ~TDataObjList() override;

    TNodeKind nodeKind() const override { return nkList; }
    TDataObj* pathStartObj() override { return fParent; }
    TDataObjListDef* Definition() const { return fDefinition; }
    TDataObj* ParentDataObj() const { return fParent; }
    bool onDemandLoad() const { return fOnDemandLoad; }

    int objCount() const { return static_cast<int>(fDataObjects.size()); }
    // Loads an on-demand placeholder; an index outside the list is an assertion.
    TDataObj* obj(int i);
    TDataObj* getDataObject_NOD(int i) const;
    TDataObj* getDataObjectID(int32_t id);
    TDataObj* getDataObjectID_NOD(int32_t id) const;
    TDataObj* firstObj() { return fDataObjects.empty() ? nullptr : obj(0); }
    TDataObj* lastObj() { return fDataObjects.empty() ? nullptr : obj(objCount() - 1); }
    int indexInList(const TDataObj* obj) const;
    bool ShowAsTable() const;

    // defID -1: the first allowed definition; an undeclared defID yields nullptr. Checks oa_AddObj
    // (unless syncing or fixing bugs), then creates a new object.
    TDataObj* cAddObj(int32_t defID);
    // Appends an object built elsewhere: right check and change mark when not busy, load order,
    // trigger 0x004.
    TDataObj* attachNewObject(std::unique_ptr<TDataObj> obj);
    // Checks oa_DelObj, marks the list changed and destroys the object (trigger 0x008 first).
    void removeObject(TDataObj* obj, bool inclLinked);
    void deleteFromList(TDataObj* obj) { removeObject(obj, false); }
    // Takes the object out (trigger 0x008 when not busy) and hands it to the caller.
    std::unique_ptr<TDataObj> removeDataObject(TDataObj* obj);
    void emptyList(bool doSave);
    // Bare insertion and removal: no checks, marks or triggers.
    void hackAddToList(std::unique_ptr<TDataObj> obj);
    std::unique_ptr<TDataObj> hackDelFromList(TDataObj* obj);

    void moveObjUp(TDataObj* obj);
    void moveObjDown(TDataObj* obj);
    void moveObjBefore(TDataObj* toMove, TDataObj* before);
    void moveObjAfter(TDataObj* toMove, TDataObj* after);
    void moveObjBeforePos(TDataObj* toMove, int beforeIdx);
    // Repairs the load orders from position from on (100 / 40 / half the gap).
    void verifyLoadOrder(int from);
    void sortOnLoadOrder();
    void sorteer(bool inclSubItems, bool tryNumbers, bool forceChange, const TDataObjCompare& cmp = {});
    static int sorteerOpNaam(TDataObj* a, TDataObj* b);
    static int sorteerOpNaamInclNummers(TDataObj* a, TDataObj* b);
    // A new owning TRefObjList of the objects passing filter (all when empty), sorted by compare.
    TRefObjList* getSortedList(const std::function<bool(TDataObj*)>& filter, const TDataObjCompare& compare);
    TRefObjList* getSortedList(const std::function<bool(TDataObj*)>& filter,
                               const std::function<struct TSortDataObjInfo(TDataObj*)>& prepareSort,
                               bool sortAsc);

    TDataObj* searchForDataObjWithID(int32_t id);
    TDataObj* findObjectWithName(const QString& name);
    TDataObj* findObjectWithIntVal(int32_t valueToCheck, int32_t valToFind);
    TDataObj* findObjectWithStringVal(int32_t valueToCheck, const QString& valToFind, bool caseSensitive);
    TDataObj* findSameVersion(TDataObj* obj);
    TDataObj* findSameVersionUsingValues(TDataObj* toFind, const std::vector<int32_t>& valuesToUse);
    bool hasDuplicateNames();
    bool checkIndexConstraints(std::vector<TIndexError>& errors);
    void recalcAllValuesAndClaimID(TDataObjIDManager* idManager);
    // Loads the placeholder at index (through the object manager hook).
    TDataObj* loadOnDemandObj(int index);

    bool anyChangesLeft(bool assertIfAny);
    void childCancelled();

    // ---- data-tree files (dmfiles.cpp) ----
    void newSaveToXML(int indent, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges);
    void newLoadFromXML(TXMLReader& from, TStorageXMLType loadType);
    // The list element under "ROOT", written whole to fileName. Throws TXMLFileError.
    void baseSaveToFile(const QString& fileName, bool clearChanges, TStorageXMLType saveType);
    void assureAllBinDataIsLoaded();
    void markAllBinDataAsNew();
    void clearWrittenMarks();

    void setChanged(bool flag) override;
    void setBusy(bool flag) override;
    std::unique_ptr<TDataError> getIsActionAllowed(TObjAction action) override;
    void setIsNew(bool flag) override;
    void signalDelete() override;
    void deepSetUnchanged() override;
    void deepSetChangedAndNew(bool ch, bool nw) override;
    uint32_t calcDataChecksum(int indexToAdd) override;
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;

    const std::vector<std::unique_ptr<TDataObj>>& objects() const { return fDataObjects; }

private:
    friend class TDataObj;
    friend class TDataObjDef;
    friend class TDataObjListDef;
    bool checksSuspended() const;
    void checkMoveAllowed(TDataObj* obj);
    void afterMove(TDataObj* obj);
    void discardObject(TDataObj* obj);
    size_t indexOf(const TDataObj* obj) const;

    TDataObjListDef* fDefinition;
    TDataObj* fParent = nullptr;
    std::vector<std::unique_ptr<TDataObj>> fDataObjects;
    bool fOnDemandLoad = false;
};

// What saveChanges does when the store fails: pass the error on, or cancel the changes first.
enum TSaveCancelErrorOption : int32_t { tsceo_Unhandled = 0, tsceo_CancelChanges = 1 };

// An object saved and cancelled as one unit.
class TDataObjGlobalPart : public TDataObj {
public:
    static bool checkIsInstLocalObj() { return false; }
    void init() override;
    virtual void beforeSaveChanges() {}
    virtual void afterSaveChanges() {}
    virtual void beforeDeleteObj() {}
    virtual void afterDeleteObj() {}
    int32_t bugFixing() const { return fBugFixing; }
    ~TDataObjGlobalPart() override;
    // Plain marking; a part whose definition supports cancelling keeps a copy of its original from
    // its first change until it is saved, cancelled or destroyed.
    void setChanged(bool flag) override;
    // Delegate to the file root (copysave.cpp).
    void saveChanges(TSaveCancelErrorOption errorOption, bool keepLock);
    void cancelChanges();
    // Cancels this part: a new part is destroyed, any other takes its original's content back.
    // Throws TDataError when the original's copy is missing.
    void intCancelChanges();
    bool hasOriginalCopy() const { return fOrgObject != nullptr; }
    bool wasNew() const { return fWasNew; }
    bool wasChanged() const { return fWasChanged; }
    // The state at the start of the running save.
    void recordSaveState() {
        fWasNew = fIsNew;
        fWasChanged = fChanged;
    }
    // Set when loading repaired stored data (a "LastUsedID" below the local range).
    bool errorsFixed() const { return fErrorsFixed; }
    void setErrorsFixed(bool v) { fErrorsFixed = v; }

protected:
    bool fErrorsFixed = false;
    int32_t fBugFixing = 0;
    int32_t fBusyWithResave = 0;
    std::unique_ptr<TDataObj> fOrgObject; // the original's copy (owned)
    bool fWasNew = false;
    bool fWasChanged = false;
};

// Hands out the IDs of the local objects below it.
class TDataObjIDManager : public TDataObjGlobalPart {
public:
    void init() override;
    int32_t NextID() const { return fLastUsedID; }
    // Increments the last used ID and writes it into "LastUsedID".
    int32_t getNextID();
    void setLastUsedID(int32_t id);

protected:
    int32_t fLastUsedID = 2147418112;
};

// The root of one stored file. It has no parent.
class TDataObjODRoot : public TDataObjIDManager {
public:
    void init() override;
    virtual void checkFixesNeeded() {}
    void setChanged(bool flag) override;
    // Checks RightToDelete, deletes the files in its delete list and empties itself; the owner then
    // frees it.
    void deleteObj(bool inclLinked) override;
    QStringList& deleteFiles() { return fDeleteFiles; }
    const QString& useFileName() const { return fUseFileName; }
    void setUseFileName(const QString& v) { fUseFileName = v; }
    // Whether the root came from outside the object manager's own storage (a template, say).
    bool externalSource() const { return fExternalSource; }
    void setExternalSource(bool v) { fExternalSource = v; }

    // ---- data-tree files (dmfiles.cpp) ----
    // Writes "ROOT" with this root to baseName + ".base.xml", whole (the old file stays as it was
    // when the write fails). With clearChanges every written node is unmarked after the write
    // succeeded. Throws TXMLFileError, or TDataError for binary files that cannot be written.
    void saveToFile(const QString& baseName, bool clearChanges, TStorageXMLType saveType);
    // Reads name (with or without ".base.xml") into this root. Throws TDataError
    // (tdek_FileNotFound) for a missing file, the reader's errors and the conversion errors; the
    // root is then half-read and the caller discards it.
    void loadFromFile(const QString& name);
    // The single-file text of the whole tree (binary data loaded first); marks stay as they are.
    QString getAsSaveXML();
    // Deletes every file named <file part of name>.* in the directory of name (".base.xml" is
    // taken off first).
    static void deleteXMLFiles(const QString& name);

    // ---- notes (notes.cpp); only for definitions with HasNotes, other roots assert ----
    TObjNote* intAddNote(TAbstractDataValue* value, int32_t kind, int32_t code, const QString& descr);
    void deleteNotesFrom(TAbstractDataValue* value);
    void deleteNote(TDataObj* note);
    void deleteValidateNote(TAbstractDataValue* value, int32_t code);
    TObjNote* validateNoteExists(TAbstractDataValue* pValue, int32_t pNoteCode);
    bool valueHasNotes(TAbstractDataValue* value);
    bool anyErrorNotePresent(bool inclWarning, bool inclCustomError);
    bool anyErrorInclCustomNotePresent() { return anyErrorNotePresent(false, true); }
    bool anyErrorNotePresentForObj(TDataObj* forObj, bool inclWarning, bool inclCustomError);

    // ---- saving (copysave.cpp) ----
    // Stores a new or changed root through the object manager: versions updated, IDs claimed, the
    // global parts' before/after hooks run. Nothing when neither new nor changed. A failed store is
    // passed on (after cancelChanges with tsceo_CancelChanges); the marks then stay.
    void saveChanges(TSaveCancelErrorOption errorOption, bool keepLock);
    // Sets the file name (without ".base.xml"), marks the root new and saves it.
    void saveObjAs(const QString& newFilename, TSaveCancelErrorOption errorOption, bool keepLock);
    // Restores every changed cancel-supporting part from its original's copy, removes new ones, puts
    // the recorded versions back and ends unchanged.
    void cancelChanges();
    // Records "ObjVersion" and "ProgVersion" once per save cycle.
    void GlobalPartStartedSaveCancelInfo();

protected:
    bool fIsTheOfflineCopy = false;
    bool fExternalSource = false;
    QStringList fDeleteFiles;
    QString fUseFileName;
    bool fHaveOrgvals = false;
    int32_t fOrg_gvalObjVersion = 0;
    int32_t fOrg_gvalProgVersion = 0;
};

// A note on a value: the owning object's ID, the value's XML name, code, date, user, kind,
// description, the computed "Betreft", "DoCopy" and a picture.
class TObjNote : public TDataObj {
public:
    void init() override;
    // The noted value, or nullptr.
    TAbstractDataValue* getValuePtr();
    int32_t noteKind();
    int32_t noteCode();
};

// A non-owning list of objects, or a view on a list's own objects. Created with new and use count
// 1; only endUse destroys it, when the count reaches 0 (the destructor is private, so a list in use
// can never be destroyed behind its users' backs).
class TRefObjList {
public:
    TRefObjList() = default;
    explicit TRefObjList(TDataObjList* view) : fView(view), fOwnList(false) {}
    TRefObjList(const TRefObjList&) = delete;
    TRefObjList& operator=(const TRefObjList&) = delete;

    int count() const;
    TDataObj* obj(int i) const;
    void add(TDataObj* obj); // assertion on a view
    void startUse() { ++fUseCount; }
    void endUse();
    bool isView() const { return !fOwnList; }
    std::vector<TDataObj*>& items();

private:
    ~TRefObjList();

    std::vector<TDataObj*> fDataObjects;
    TDataObjList* fView = nullptr;
    bool fOwnList = true;
    int32_t fUseCount = 1;
};

enum TSortDataValueType : int32_t { dvtsInteger = 0, dvtsFloat = 1, dvtsString = 5, dvtsDateTime = 9 };

struct TSortDataObjInfo {
    TDataObj* fObj = nullptr;
    TSortDataValueType fSortValueType = dvtsInteger;
    QString fSortValStr;
    double fSortValFloat = 0.0;
    double fSortValDate = 0.0;
    int32_t fSortValInt = 0;
    int compareWith(const TSortDataObjInfo& other) const;
};

} // namespace fmx
