// Definitions of values, objects and lists. Every definition is owned by the registry dmData
// (dmdata.h) for the whole run; values, objects and lists only point to theirs.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace fmx {

class TAbstractDataValue;
class TDataObj;
class TDataObjList;
class TDataObjDef;

// Numbers are stored in files and in the "gvalValueType" enumeration: they are fixed.
enum TDataValueType : int32_t {
    dvtUnknown = -1,
    dvtInteger = 0,
    dvtFloat = 1,
    dvtFloat0 = 2, // declaration only: dvtFloat with 0 decimals
    dvtFloat1 = 3,
    dvtFloat2 = 4,
    dvtString = 5,
    dvtReference = 6,
    dvtEnum = 7,
    dvtDate = 8,
    dvtDateTime = 9,
    dvtBinaryExcl = 10,
    dvtBinaryIncl = 11,
};

// First IDs of the three kinds of definition; path resolution tells kinds apart by these ranges.
constexpr int32_t kValDefIDBase = 10000;
constexpr int32_t kObjDefIDBase = 20000;
constexpr int32_t kListDefIDBase = 30000;

// Float limits that stand for "no limit" (they display as "*").
constexpr double kFloatNoMin = -92233720368547760.0;
constexpr double kFloatNoMax = 9223372036854776.0;
// findEnumIDForString's answer when no entry matches; refused as an entry ID.
constexpr int32_t kEnumNotFound = -9999889;

using TValueList = std::vector<std::unique_ptr<TAbstractDataValue>>;

struct TFindItemRecID {
    int32_t fItemDefID = 0;
    int32_t fItemIdx = -1;
};

// Base of the three kinds of definition.
class TAbstractDef {
public:
    virtual ~TAbstractDef();
    TAbstractDef(const TAbstractDef&) = delete;
    TAbstractDef& operator=(const TAbstractDef&) = delete;

    int32_t InternalID() const { return fInternalID; }
    const QString& DisplayName() const { return fDisplayName; }
    void setDisplayName(const QString& v) { fDisplayName = v; }
    const QString& XMLName() const { return fXMLName; }
    uint32_t XMLNameHash() const { return fXMLNameHash; }
    const QString& Description() const { return fDescr; }
    void setDescription(const QString& v) { fDescr = v; }
    // The description, or the caption when it is empty.
    QString displayDescription() const { return fDescr.isEmpty() ? fDisplayName : fDescr; }
    // The key under which the translation layer finds the caption: the XML name, "-" -> "_".
    QString getTranslateName() const;
    const QString& DBFieldName() const { return fDBName; }
    uint32_t DBNameHash() const { return fDBNameHash; }

    int32_t RightToChange() const { return fRightToChange; }
    void setRightToChange(int32_t v) { fRightToChange = v; }
    bool initDontStore() const { return fInitDontStore; }
    void setInitDontStore(bool v) { fInitDontStore = v; }
    int32_t TriggerFlags() const { return fTriggerFlags; }
    void setTriggerFlags(int32_t v) { fTriggerFlags = v; }
    bool SkipInSync() const { return fSkipInSync; }
    void setSkipInSync(bool v) { fSkipInSync = v; }
    bool InternalDef() const { return fInternalDef; }
    void setInternalDef(bool v) { fInternalDef = v; }
    bool DontChangeParent() const { return fDontChangeParent; }
    void setDontChangeParent(bool v) { fDontChangeParent = v; }
    bool dontStoreDefXML() const { return fDontStoreDefXML; }
    void setDontStoreDefXML(bool v) { fDontStoreDefXML = v; }
    bool ExclFromDataChksum() const { return fExclFromDataChksum; }
    void setExclFromDataChksum(bool v) { fExclFromDataChksum = v; }

protected:
    TAbstractDef() = default;
    // Names: XML name = given or caption; DB name = given or XML name upper-cased with "-" -> "_".
    void initNames(const QString& displayName, const QString& descr, const QString& xmlName,
                   const QString& dbName);

    friend class TdmData;
    int32_t fLastIdxRec = 0;
    std::array<TFindItemRecID, 8> fIdxRec{};
    int32_t fInternalID = 0;
    QString fDisplayName;
    QString fXMLName;
    uint32_t fXMLNameHash = 0;
    QString fDescr;
    int32_t fRightToChange = -1;
    bool fInitDontStore = false;
    int32_t fTriggerFlags = 0;
    bool fSkipInSync = false;
    bool fInternalDef = false;
    bool fDontChangeParent = false;
    bool fDontStoreDefXML = false;
    bool fExclFromDataChksum = false;
    QString fDBName;
    uint32_t fDBNameHash = 0;
};

// One limit or default of a value definition.
struct TFISData {
    bool present = false;
    QString strValue;
    TDataValueType kind = dvtUnknown;
    int32_t intValue = 0;
    double floatValue = 0.0;
};

// An enumeration entry; the text is kept in 8 bits (Latin-1) and cut to 60 characters.
struct TEnumRec {
    int32_t fID = 0;
    QString fText;
};

// Creates an instance of a value class other than the standard one of the value type.
using TValueFactory = std::unique_ptr<TAbstractDataValue> (*)(class TDataValueDef* def);

class TDataValueDef : public TAbstractDef {
public:
    // The declaration API. defID <= 0: next free slot, defID receives the ID; defID > 0: the slot
    // reserved by forwardDeclValueDef (an occupied slot is an assertion). Float0/1/2 become Float
    // with 0/1/2 decimals and the "no limit" minimum and maximum.
    static TDataValueDef* Create(int32_t& defID, const QString& displayName, const QString& descr,
                                 int32_t valueType, const QString& unitDescr, const QString& xmlName = {},
                                 const QString& dbName = {});
    // Enumerations 1 "Yes" / 2 "No" with default 1 (Ja) or 2 (Nee).
    static TDataValueDef* CreateBoolDefJa(int32_t& defID, const QString& displayName, const QString& descr,
                                          const QString& xmlName = {}, const QString& dbName = {});
    static TDataValueDef* CreateBoolDefNee(int32_t& defID, const QString& displayName, const QString& descr,
                                           const QString& xmlName = {}, const QString& dbName = {});
    // References with candidates found by an ID path (up to 5 non-zero IDs) or a textual path.
    // refDataTypeID: an object definition already declared, or -1 for any.
    static TDataValueDef* CreateRef(int32_t& defID, const QString& displayName, const QString& descr,
                                    int32_t& refDataTypeID, const std::vector<int32_t>& refIDPath,
                                    const QString& xmlName = {}, const QString& dbName = {});
    static TDataValueDef* CreateRef(int32_t& defID, const QString& displayName, const QString& descr,
                                    int32_t& refDataTypeID, const QString& refPath,
                                    const QString& xmlName = {}, const QString& dbName = {});

    TDataValueType ValueType() const { return fValueType; }
    QString getValueTypeString() const;
    const QString& unitDescr() const { return fUnitDescr; }
    void setUnitDescr(const QString& v) { fUnitDescr = v; }
    int32_t Decimalen() const { return fDecimalen; }
    void setDecimalen(int32_t v) { fDecimalen = v; }
    const QString& EditMask() const { return fEditMask; }
    void setEditMask(const QString& v) { fEditMask = v; }
    TDataObjDef* RefDataType() const { return fRefDataType; }
    TValueFactory ValueClass() const { return fValueClass; }
    void setValueClass(TValueFactory f) { fValueClass = f; }
    int32_t DBFieldSize() const { return fDBFieldSize; }
    void setDBFieldSize(int32_t v) { fDBFieldSize = v; }
    // 0-terminated ID path of reference candidates (empty when none).
    const std::array<int32_t, 6>& RefIDPath() const { return fRefIDPath; }
    bool hasRefIDPath() const { return fRefIDPath[0] != 0; }
    const QString& RefPath() const { return fRefPath; }
    int32_t CalculateTrigger() const { return fCalculateTrigger; }
    void setCalculateTrigger(int32_t v) { fCalculateTrigger = v; }
    int32_t ColWidth() const { return fColWidth; }
    void setColWidth(int32_t v) { fColWidth = v; }
    bool initReadOnlyUI() const { return fInitReadOnlyUI; }
    void setInitReadOnlyUI(bool v) { fInitReadOnlyUI = v; }
    bool CheckRightWithParent() const { return fCheckRightWithParent; }
    void setCheckRightWithParent(bool v) { fCheckRightWithParent = v; }
    bool HideFromUI() const { return fHideFromUI; }
    void setHideFromUI(bool v) { fHideFromUI = v; }
    bool RegVersionChanges() const { return fRegVersionChanges; }
    void setRegVersionChanges(bool v) { fRegVersionChanges = v; }
    bool TriggerWithOldRef() const { return fTriggerWithOldRef; }
    void setTriggerWithOldRef(bool v) { fTriggerWithOldRef = v; }
    bool DontAllowNilRef() const { return fDontAllowNilRef; }
    void setDontAllowNilRef(bool v) { fDontAllowNilRef = v; }
    bool ValidateEnums() const { return fValidateEnums; }
    void setValidateEnums(bool v) { fValidateEnums = v; }
    bool IgnoreInvalidRefs() const { return fIgnoreInvalidRefs; }
    void setIgnoreInvalidRefs(bool v) { fIgnoreInvalidRefs = v; }
    bool LiteralString() const { return fLiteralString; }
    void setLiteralString(bool v) { fLiteralString = v; }
    bool RestoreCRLF() const { return fRestoreCRLF; }
    void setRestoreCRLF(bool v) { fRestoreCRLF = v; }
    bool AskParentForRefList() const { return fAskParentForRefList; }
    void setAskParentForRefList(bool v) { fAskParentForRefList = v; }
    bool IsBoolean() const { return fIsBoolean; }
    const QString& BinExtension() const { return fBinExtension; }
    void setBinExtension(const QString& v) { fBinExtension = v; }
    int32_t CustomField() const { return fCustomField; }
    // Any value other than 2 also hides the value from generic UIs.
    void setCustomField(int32_t v);
    uint32_t OrgNameXMLHash() const { return fOrgNameXMLHash; }
    // Registers a former XML name: lookups by name find the definition under both names.
    void regRenamedXML(const QString& formerXMLName);

    // Limits and default: index 0 minimum, 1 maximum, 2 default; other indexes are assertions.
    void setMMDAsInteger(int index, int32_t value);
    void setMMDAsFloat(int index, double value);
    void setMMDAsString(int index, const QString& value);
    void setMMDPresent(int index, bool present);
    int32_t mmdValueAsInt(int index) const;
    double mmdValueAsFloat(int index) const;
    QString mmdValueAsString(int index) const;
    bool mmdValuePresent(int index) const;
    QString mmdValueAsDisplayString(int index) const;
    // Description or caption, then " (min: x, max: y)" for the limits that do not show as "*".
    QString infoLabelCaption() const;

    // Enumeration entries, in declaration order.
    int enumCount() const { return fEnumRecs ? static_cast<int>(fEnumRecs->size()) : 0; }
    void addEnum(int32_t id, const QString& text);
    void copyEnumValuesFrom(const TDataValueDef& other);
    QString getEnumTextForID(int32_t id) const;             // "?" when not declared
    void setEnumTextForID(int32_t id, const QString& text); // assertion when not declared
    QString getEnumTextForIndex(int index) const;           // -1: "[none]"
    void setEnumTextForIndex(int index, const QString& text);
    int32_t getEnumIDForIndex(int index) const;              // -1: 0
    int getEnumIndexForID(int32_t id) const;                 // -1 when absent
    int32_t findEnumIDForString(const QString& text) const;  // exact; kEnumNotFound when none
    int32_t intFindEnumIDForText(const QString& text) const; // assertion when none matches
    const TEnumRec* findEnumRecForID(int32_t id) const;
    void clearEnumRecs() { fEnumRecs.reset(); }
    void clearEnumRecsFrom(int index);

    // Creates a value of this definition in parent (which owns it), or without parent.
    TAbstractDataValue* createValue(TDataObj& parentObj);
    std::unique_ptr<TAbstractDataValue> createDetachedValue();

    // The value of this definition in values, through the position cache; nullptr when absent.
    TAbstractDataValue* getItemWithID(const TValueList& values);

private:
    TDataValueDef() = default;
    friend class TdmData;
    static TDataValueDef* declare(int32_t& defID, const QString& displayName, const QString& descr,
                                  int32_t valueType, const QString& unitDescr, const QString& xmlName,
                                  const QString& dbName);
    void initContents(TAbstractDataValue& value) const;
    static std::unique_ptr<TAbstractDataValue> standardValue(TDataValueType type);

    uint32_t fOrgNameXMLHash = 0;
    TDataValueType fValueType = dvtUnknown;
    std::array<TFISData, 3> fMMDValues{};
    QString fUnitDescr;
    std::unique_ptr<std::vector<TEnumRec>> fEnumRecs;
    int32_t fDecimalen = -1;
    QString fEditMask;
    TDataObjDef* fRefDataType = nullptr;
    TValueFactory fValueClass = nullptr;
    int32_t fDBFieldSize = 254;
    std::array<int32_t, 6> fRefIDPath{};
    QString fRefPath;
    int32_t fCalculateTrigger = 0;
    int32_t fColWidth = 0;
    bool fInitReadOnlyUI = false;
    bool fCheckRightWithParent = false;
    bool fHideFromUI = false;
    bool fRegVersionChanges = true;
    bool fTriggerWithOldRef = false;
    bool fDontAllowNilRef = false;
    bool fValidateEnums = true;
    bool fIgnoreInvalidRefs = false;
    bool fLiteralString = false;
    bool fRestoreCRLF = false;
    bool fAskParentForRefList = false;
    bool fIsBoolean = false;
    QString fBinExtension;
    int32_t fCustomField = 0;
};

// The metaclass of an object definition: class name, factory and the class-level answers.
struct TDataObjClass {
    QString className;
    std::unique_ptr<TDataObj> (*create)() = nullptr;
    bool loadOnDemand = false;
    bool instLocal = true;
};

template <class T> TDataObjClass dataObjClassOf(const QString& className) {
    return TDataObjClass{className, []() -> std::unique_ptr<TDataObj> { return std::make_unique<T>(); },
                         T::checkIsLoadOnDemandObj(), T::checkIsInstLocalObj()};
}

class TDataObjDef : public TAbstractDef {
public:
    static TDataObjDef* Create(int32_t& defID, const QString& displayName, const QString& descr,
                               const TDataObjClass& dataObjClass, const QString& xmlName = {},
                               const QString& dbName = {});

    const TDataObjClass& DataObjType() const { return fDataObjType; }
    bool LoadOnDemand() const { return fLoadOnDemand; }
    bool isInstLocalObj() const { return fIsInstLocalObj; }
    bool KeepVersion() const { return fKeepVersion; }
    void setKeepVersion(bool v) { fKeepVersion = v; }
    bool HasNotes() const { return fHasNotes; }
    void setHasNotes(bool v) { fHasNotes = v; }
    int32_t BugsToFix() const { return fBugsToFix; }
    void setBugsToFix(int32_t v) { fBugsToFix = v; }
    int32_t RightToDelete() const { return fRightToDelete; }
    void setRightToDelete(int32_t v) { fRightToDelete = v; }
    bool SupportsCancel() const { return fSupportsCancel; }
    void setSupportsCancel(bool v) { fSupportsCancel = v; }

    // Indexes: lists of value definition IDs; returns the new index's number.
    int addIndex(const std::vector<int32_t>& valueDefIDs, bool isUnique);
    int addUniqueIndex(const std::vector<int32_t>& valueDefIDs) { return addIndex(valueDefIDs, true); }
    int indexCount() const { return static_cast<int>(fIdxList.size()); }
    const std::vector<int32_t>& index(int i) const { return fIdxList.at(static_cast<size_t>(i)); }
    bool indexIsUnique(int i) const { return fIdxIsUnique.at(static_cast<size_t>(i)); }

    // Creates an object in parentList (which owns it): busy while init() builds it, then busy =
    // keepLoadFlag; a new object gets afterCreateOrLoad(true). A failure destroys the half-built
    // object and passes on.
    virtual TDataObj* CreateDataObj(TDataObjList& parentList, bool keepLoadFlag, bool isNewObj);
    // The same for an object without parent (a root); the caller owns it.
    virtual std::unique_ptr<TDataObj> CreateRootDataObj(bool keepLoadFlag, bool isNewObj);
    // Creates a sub-object of parentObj (which owns it); takes the parent's busy and new state.
    TDataObj* CreateSubDataObj(TDataObj* parentObj);
    // A placeholder of an on-demand list: only its ID and a "DN" value with its name.
    TDataObj* CreateDataObjForOnDemandList(TDataObjList& parentList, int32_t id, const QString& name);

private:
    TDataObjDef() = default;
    friend class TdmData;
    std::unique_ptr<TDataObj> instantiate(bool isNewObj);

    TDataObjClass fDataObjType;
    bool fLoadOnDemand = false;
    bool fIsInstLocalObj = true;
    bool fKeepVersion = false;
    bool fHasNotes = false;
    int32_t fBugsToFix = 0;
    int32_t fRightToDelete = -1;
    bool fSupportsCancel = false;
    std::vector<std::vector<int32_t>> fIdxList;
    std::vector<bool> fIdxIsUnique;
};

using TDataObjCompare = std::function<int(TDataObj*, TDataObj*)>;

class TDataObjListDef : public TAbstractDef {
public:
    // Duplicate database names and names longer than 4 characters (unless initDontStore) are
    // reported through the error box and do not stop the declaration.
    static TDataObjListDef* Create(int32_t& defID, const QString& dbName, const QString& displayName,
                                   const QString& descr, int32_t minCount, int32_t maxCount, bool internalDef,
                                   int32_t allowedObjDefID, const QString& xmlName = {});

    const std::vector<TDataObjDef*>& AllowedDataObj() const { return fAllowedDataObj; }
    void addAllowedDataObjDef(TDataObjDef* objDef);
    int32_t minDataObjCount() const { return fMinCount; }
    int32_t maxDataObjCount() const { return fMaxCount; }
    int32_t RightToAdd() const { return fRightToAdd; }
    void setRightToAdd(int32_t v) { fRightToAdd = v; }
    int32_t RightToDelete() const { return fRightToDelete; }
    void setRightToDelete(int32_t v) { fRightToDelete = v; }
    bool DelInvalidObj() const { return fDelInvalidObj; }
    void setDelInvalidObj(bool v) { fDelInvalidObj = v; }
    const TDataObjCompare& CompareFunction() const { return fCompareFunction; }
    void setCompareFunction(TDataObjCompare f) { fCompareFunction = std::move(f); }
    bool OnDemandLoad() const { return fOnDemandLoad; }
    void setOnDemandLoad(bool v) { fOnDemandLoad = v; }
    const QString& TableName() const { return fDBName; }

    // Creates an empty list in parentObj (which owns it), with the parent's busy and new state.
    TDataObjList* createValue(TDataObj& parentObj);

private:
    TDataObjListDef() = default;
    friend class TdmData;

    std::vector<TDataObjDef*> fAllowedDataObj;
    int32_t fMinCount = 0;
    int32_t fMaxCount = -1;
    int32_t fRightToAdd = -1;
    int32_t fRightToDelete = -1;
    bool fDelInvalidObj = false;
    TDataObjCompare fCompareFunction;
    bool fOnDemandLoad = false;
};

} // namespace fmx
