#include "definitions.h"

#include "dataobj.h"
#include "datavalue.h"
#include "dmdata.h"
#include "dmformat.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"

namespace fmx {

namespace {

void checkIndex(int index, const char* who) {
    FMX_ASSERT(index >= 0 && index <= 2,
               QStringLiteral("%1: index %2 buiten 0..2").arg(QLatin1String(who)).arg(index));
}

TdmData& registry() {
    FMX_ASSERT(dmData != nullptr, QStringLiteral("dmData bestaat niet"));
    return *dmData;
}

// The limit at index, or a scratch entry after a failed index assertion the handler let pass.
TFISData& slotOf(std::array<TFISData, 3>& a, int index) {
    static TFISData scratch;
    if (index < 0 || index > 2) {
        scratch = TFISData{};
        return scratch;
    }
    return a[static_cast<size_t>(index)];
}
const TFISData& slotOf(const std::array<TFISData, 3>& a, int index) {
    return slotOf(const_cast<std::array<TFISData, 3>&>(a), index);
}

// Enumeration texts are kept to 60 characters. They stay Unicode: the user's code page here is UTF-8,
// so Polish or Estonian entry texts survive (a Latin-1 cut would turn them into '?').
QString enumText8Bit(const QString& text) { return text.left(60); }

} // namespace

// ---- TAbstractDef ----

TAbstractDef::~TAbstractDef() = default;

QString TAbstractDef::getTranslateName() const {
    QString s = fXMLName;
    s.replace(QLatin1Char('-'), QLatin1Char('_'));
    return s;
}

void TAbstractDef::initNames(const QString& displayName, const QString& descr, const QString& xmlName,
                             const QString& dbName) {
    fDisplayName = displayName;
    fDescr = descr;
    fXMLName = xmlName.isEmpty() ? displayName : xmlName;
    fXMLNameHash = HashCRC32ci(fXMLName);
    if (dbName.isEmpty()) {
        fDBName = fXMLName.toUpper();
        fDBName.replace(QLatin1Char('-'), QLatin1Char('_'));
    } else {
        fDBName = dbName.toUpper();
    }
    fDBNameHash = HashCRC32ci(fDBName);
}

// ---- TDataValueDef: declaration ----

TDataValueDef* TDataValueDef::declare(int32_t& defID, const QString& displayName, const QString& descr,
                                      int32_t valueType, const QString& unitDescr, const QString& xmlName,
                                      const QString& dbName) {
    FMX_ASSERT(valueType >= dvtInteger && valueType <= dvtBinaryIncl,
               QStringLiteral("TDataValueDef.Create: ongeldig type %1").arg(valueType));
    std::unique_ptr<TDataValueDef> def(new TDataValueDef());
    def->initNames(displayName, descr, xmlName, dbName);
    def->fUnitDescr = unitDescr;
    def->fValueType = static_cast<TDataValueType>(valueType);
    if (valueType == dvtFloat0 || valueType == dvtFloat1 || valueType == dvtFloat2) {
        def->fDecimalen = valueType - dvtFloat0;
        def->fValueType = dvtFloat;
        def->setMMDAsFloat(0, kFloatNoMin);
        def->setMMDAsFloat(1, kFloatNoMax);
    }
    TDataValueDef* raw = def.get();
    registry().placeValueDef(defID, std::move(def));
    return raw;
}

TDataValueDef* TDataValueDef::Create(int32_t& defID, const QString& displayName, const QString& descr,
                                     int32_t valueType, const QString& unitDescr, const QString& xmlName,
                                     const QString& dbName) {
    return declare(defID, displayName, descr, valueType, unitDescr, xmlName, dbName);
}

static TDataValueDef* createBool(int32_t& defID, const QString& displayName, const QString& descr,
                                 const QString& xmlName, const QString& dbName, int32_t defaultID) {
    TDataValueDef* def =
        TDataValueDef::Create(defID, displayName, descr, dvtEnum, QString(), xmlName, dbName);
    def->addEnum(1, QStringLiteral("Yes"));
    def->addEnum(2, QStringLiteral("No"));
    def->setMMDAsInteger(2, defaultID);
    return def;
}

TDataValueDef* TDataValueDef::CreateBoolDefJa(int32_t& defID, const QString& displayName,
                                              const QString& descr, const QString& xmlName,
                                              const QString& dbName) {
    TDataValueDef* def = createBool(defID, displayName, descr, xmlName, dbName, 1);
    def->fIsBoolean = true;
    return def;
}

TDataValueDef* TDataValueDef::CreateBoolDefNee(int32_t& defID, const QString& displayName,
                                               const QString& descr, const QString& xmlName,
                                               const QString& dbName) {
    TDataValueDef* def = createBool(defID, displayName, descr, xmlName, dbName, 2);
    def->fIsBoolean = true;
    return def;
}

static TDataObjDef* refTypeFor(int32_t& refDataTypeID) {
    if (refDataTypeID == -1) return nullptr;
    refDataTypeID = registry().forwardDeclObjDef(refDataTypeID);
    TDataObjDef* objDef = registry().FindDataObjDefWithID(refDataTypeID);
    FMX_ASSERT(
        objDef != nullptr,
        QStringLiteral("TDataValueDef.CreateRef: RefDataType %1 niet gedeclareerd").arg(refDataTypeID));
    return objDef;
}

TDataValueDef* TDataValueDef::CreateRef(int32_t& defID, const QString& displayName, const QString& descr,
                                        int32_t& refDataTypeID, const std::vector<int32_t>& refIDPath,
                                        const QString& xmlName, const QString& dbName) {
    bool valid = !refIDPath.empty() && refIDPath.size() <= 5;
    for (const int32_t id : refIDPath)
        valid = valid && id != 0;
    FMX_ASSERT(valid, QStringLiteral("TDataValueDef.CreateRef: ID path contains not initialized defs"));
    if (!valid) return nullptr;
    TDataObjDef* refType = refTypeFor(refDataTypeID);
    TDataValueDef* def = Create(defID, displayName, descr, dvtReference, QString(), xmlName, dbName);
    def->fRefDataType = refType;
    for (size_t i = 0; i < refIDPath.size(); ++i)
        def->fRefIDPath[i] = refIDPath[i];
    return def;
}

TDataValueDef* TDataValueDef::CreateRef(int32_t& defID, const QString& displayName, const QString& descr,
                                        int32_t& refDataTypeID, const QString& refPath,
                                        const QString& xmlName, const QString& dbName) {
    TDataObjDef* refType = refTypeFor(refDataTypeID);
    TDataValueDef* def = Create(defID, displayName, descr, dvtReference, QString(), xmlName, dbName);
    def->fRefDataType = refType;
    def->fRefPath = refPath;
    return def;
}

QString TDataValueDef::getValueTypeString() const {
    switch (fValueType) {
    case dvtInteger:
        return QStringLiteral("Integer");
    case dvtFloat:
        return QStringLiteral("Float");
    case dvtString:
        return QStringLiteral("String (%1)").arg(fDBFieldSize);
    case dvtReference:
        return QStringLiteral("Reference");
    case dvtEnum:
        return QStringLiteral("Enum");
    case dvtDate:
        return QStringLiteral("Date");
    case dvtDateTime:
        return QStringLiteral("Date+time");
    case dvtBinaryExcl:
    case dvtBinaryIncl:
        return QStringLiteral("Binary");
    default:
        return QString();
    }
}

void TDataValueDef::setCustomField(int32_t v) {
    fCustomField = v;
    if (v != 2) fHideFromUI = true;
}

void TDataValueDef::regRenamedXML(const QString& formerXMLName) {
    fOrgNameXMLHash = HashCRC32ci(formerXMLName);
    if (dmData) dmData->clearXMLGroups();
}

// ---- limits and default ----

void TDataValueDef::setMMDAsInteger(int index, int32_t value) {
    checkIndex(index, "setMMDAsInteger");
    TFISData& d = slotOf(fMMDValues, index);
    d.present = true;
    d.kind = dvtInteger;
    d.intValue = value;
    d.floatValue = value;
}

void TDataValueDef::setMMDAsFloat(int index, double value) {
    checkIndex(index, "setMMDAsFloat");
    if (fValueType == dvtFloat) {
        FMX_ASSERT(index != 0 || value >= kFloatNoMin,
                   QStringLiteral("TDataValueDef.setMMDAsFloat: minimum te klein"));
        FMX_ASSERT(index != 1 || value <= kFloatNoMax,
                   QStringLiteral("TDataValueDef.setMMDAsFloat: maximum te groot"));
    }
    TFISData& d = slotOf(fMMDValues, index);
    d.present = true;
    d.kind = dvtFloat;
    d.floatValue = value;
}

void TDataValueDef::setMMDAsString(int index, const QString& value) {
    checkIndex(index, "setMMDAsString");
    TFISData& d = slotOf(fMMDValues, index);
    d.present = true;
    d.kind = dvtString;
    d.strValue = value;
}

void TDataValueDef::setMMDPresent(int index, bool present) {
    checkIndex(index, "setMMDPresent");
    slotOf(fMMDValues, index).present = present;
}

int32_t TDataValueDef::mmdValueAsInt(int index) const {
    checkIndex(index, "mmdValueAsInt");
    return slotOf(fMMDValues, index).intValue;
}
double TDataValueDef::mmdValueAsFloat(int index) const {
    checkIndex(index, "mmdValueAsFloat");
    return slotOf(fMMDValues, index).floatValue;
}
QString TDataValueDef::mmdValueAsString(int index) const {
    checkIndex(index, "mmdValueAsString");
    return slotOf(fMMDValues, index).strValue;
}
bool TDataValueDef::mmdValuePresent(int index) const {
    checkIndex(index, "mmdValuePresent");
    return slotOf(fMMDValues, index).present;
}

QString TDataValueDef::mmdValueAsDisplayString(int index) const {
    checkIndex(index, "mmdValueAsDisplayString");
    const TFISData& d = slotOf(fMMDValues, index);
    switch (fValueType) {
    case dvtInteger:
    case dvtReference:
        return QString::number(d.intValue);
    case dvtFloat:
        if (index == 0 && fltEqual(d.floatValue, kFloatNoMin)) return QStringLiteral("*");
        if (index == 1 && fltEqual(d.floatValue, kFloatNoMax)) return QStringLiteral("*");
        return formatFloat(d.floatValue, fDecimalen, gUserFormatSettings);
    case dvtString:
        return d.strValue;
    case dvtEnum:
        return getEnumTextForID(d.intValue);
    case dvtDate:
        return formatDate(d.floatValue, gUserFormatSettings);
    case dvtDateTime:
        return formatDateTime(d.floatValue, gUserFormatSettings);
    default:
        return QString();
    }
}

QString TDataValueDef::infoLabelCaption() const {
    QString s = displayDescription();
    bool added = false;
    if (mmdValuePresent(0)) {
        const QString m = mmdValueAsDisplayString(0);
        if (m != QStringLiteral("*")) {
            s += QStringLiteral(" (min: ") + m;
            added = true;
        }
    }
    if (mmdValuePresent(1)) {
        const QString m = mmdValueAsDisplayString(1);
        if (m != QStringLiteral("*")) {
            s += (added ? QStringLiteral(", max: ") : QStringLiteral(" (max: ")) + m;
            added = true;
        }
    }
    if (added) s += QLatin1Char(')');
    return s;
}

// ---- enumerations ----

void TDataValueDef::addEnum(int32_t id, const QString& text) {
    FMX_ASSERT(id != kEnumNotFound, QStringLiteral("TDataValueDef.addEnum: ongeldig ID %1").arg(id));
    if (id == kEnumNotFound) return;
    if (!fEnumRecs) fEnumRecs = std::make_unique<std::vector<TEnumRec>>();
    for (TEnumRec& r : *fEnumRecs) {
        if (r.fID == id) {
            r.fText = enumText8Bit(text);
            return;
        }
    }
    fEnumRecs->push_back(TEnumRec{id, enumText8Bit(text)});
}

void TDataValueDef::copyEnumValuesFrom(const TDataValueDef& other) {
    if (!other.fEnumRecs) return;
    for (const TEnumRec& r : *other.fEnumRecs)
        addEnum(r.fID, r.fText);
}

const TEnumRec* TDataValueDef::findEnumRecForID(int32_t id) const {
    if (!fEnumRecs) return nullptr;
    for (const TEnumRec& r : *fEnumRecs)
        if (r.fID == id) return &r;
    return nullptr;
}

QString TDataValueDef::getEnumTextForID(int32_t id) const {
    const TEnumRec* r = findEnumRecForID(id);
    return r ? r->fText : QStringLiteral("?");
}

void TDataValueDef::setEnumTextForID(int32_t id, const QString& text) {
    const TEnumRec* r = findEnumRecForID(id);
    FMX_ASSERT(r != nullptr, QStringLiteral("TDataValueDef.setEnumTextForID: ID %1 niet gevonden").arg(id));
    if (r) const_cast<TEnumRec*>(r)->fText = enumText8Bit(text);
}

QString TDataValueDef::getEnumTextForIndex(int index) const {
    if (index == -1) return QStringLiteral("[none]");
    FMX_ASSERT(index >= 0 && index < enumCount(), QStringLiteral("TDataValueDef.getEnumTextForIndex: index"));
    if (index < 0 || index >= enumCount()) return QStringLiteral("?");
    return (*fEnumRecs)[static_cast<size_t>(index)].fText;
}

void TDataValueDef::setEnumTextForIndex(int index, const QString& text) {
    FMX_ASSERT(index >= 0 && index < enumCount(), QStringLiteral("TDataValueDef.setEnumTextForIndex: index"));
    if (index < 0 || index >= enumCount()) return;
    (*fEnumRecs)[static_cast<size_t>(index)].fText = enumText8Bit(text);
}

int32_t TDataValueDef::getEnumIDForIndex(int index) const {
    if (index == -1) return 0;
    FMX_ASSERT(index >= 0 && index < enumCount(), QStringLiteral("TDataValueDef.getEnumIDForIndex: index"));
    if (index < 0 || index >= enumCount()) return 0;
    return (*fEnumRecs)[static_cast<size_t>(index)].fID;
}

int TDataValueDef::getEnumIndexForID(int32_t id) const {
    for (int i = 0; i < enumCount(); ++i)
        if ((*fEnumRecs)[static_cast<size_t>(i)].fID == id) return i;
    return -1;
}

int32_t TDataValueDef::findEnumIDForString(const QString& text) const {
    if (fEnumRecs)
        for (const TEnumRec& r : *fEnumRecs)
            if (r.fText == text) return r.fID;
    return kEnumNotFound;
}

int32_t TDataValueDef::intFindEnumIDForText(const QString& text) const {
    const int32_t id = findEnumIDForString(text);
    FMX_ASSERT(id != kEnumNotFound,
               QStringLiteral("TDataValueDef.findEnumText geen rec gevonden voor text \"%1\"").arg(text));
    return id;
}

void TDataValueDef::clearEnumRecsFrom(int index) {
    if (index <= 0) {
        fEnumRecs.reset();
        return;
    }
    if (fEnumRecs && index < enumCount()) fEnumRecs->resize(static_cast<size_t>(index));
}

// ---- values ----

std::unique_ptr<TAbstractDataValue> TDataValueDef::createDetachedValue() {
    std::unique_ptr<TAbstractDataValue> v = fValueClass ? fValueClass(this) : standardValue(fValueType);
    FMX_ASSERT(v != nullptr, QStringLiteral("TDataValueDef.createValue: geen waardeklasse"));
    v->initFromDefinition(this);
    return v;
}

TAbstractDataValue* TDataValueDef::createValue(TDataObj& parentObj) {
    std::unique_ptr<TAbstractDataValue> v = createDetachedValue();
    v->fBusy = parentObj.isBusy();
    return parentObj.adoptValue(std::move(v));
}

std::unique_ptr<TAbstractDataValue> TDataValueDef::standardValue(TDataValueType type) {
    switch (type) {
    case dvtInteger:
        return std::make_unique<TIntDataValue>();
    case dvtFloat:
        return std::make_unique<TFloatDataValue>();
    case dvtString:
        return std::make_unique<TStringDataValue>();
    case dvtReference:
        return std::make_unique<TRefDataValue>();
    case dvtEnum:
        return std::make_unique<TEnumDataValue>();
    case dvtDate:
        return std::make_unique<TDateDataValue>();
    case dvtDateTime:
        return std::make_unique<TDateTimeDataValue>();
    case dvtBinaryExcl:
    case dvtBinaryIncl:
        return std::make_unique<TBinDataValue>();
    default:
        return nullptr;
    }
}

TAbstractDataValue* TDataValueDef::getItemWithID(const TValueList& values) {
    const int n = static_cast<int>(values.size());
    for (int i = 0; i < fLastIdxRec; ++i) {
        const int idx = fIdxRec[static_cast<size_t>(i)].fItemIdx;
        if (idx >= 0 && idx < n && values[static_cast<size_t>(idx)]->defID() == fInternalID)
            return values[static_cast<size_t>(idx)].get();
    }
    // Not at a remembered position: scan (also when the cache is full, so a lookup never misses).
    for (int idx = 0; idx < n; ++idx) {
        if (values[static_cast<size_t>(idx)]->defID() != fInternalID) continue;
        int slot = fLastIdxRec;
        if (fLastIdxRec < static_cast<int32_t>(fIdxRec.size()))
            ++fLastIdxRec;
        else
            slot = (idx + fInternalID) % static_cast<int>(fIdxRec.size());
        fIdxRec[static_cast<size_t>(slot)] = TFindItemRecID{fInternalID, idx};
        return values[static_cast<size_t>(idx)].get();
    }
    return nullptr;
}

// ---- TDataObjDef ----

TDataObjDef* TDataObjDef::Create(int32_t& defID, const QString& displayName, const QString& descr,
                                 const TDataObjClass& dataObjClass, const QString& xmlName,
                                 const QString& dbName) {
    FMX_ASSERT(dataObjClass.create != nullptr, QStringLiteral("TDataObjDef.Create: geen klasse"));
    std::unique_ptr<TDataObjDef> def(new TDataObjDef());
    def->initNames(displayName, descr, xmlName, dbName);
    def->fDataObjType = dataObjClass;
    def->fLoadOnDemand = dataObjClass.loadOnDemand;
    def->fIsInstLocalObj = dataObjClass.instLocal;
    TDataObjDef* raw = def.get();
    registry().placeObjDef(defID, std::move(def));
    return raw;
}

int TDataObjDef::addIndex(const std::vector<int32_t>& valueDefIDs, bool isUnique) {
    fIdxList.push_back(valueDefIDs);
    fIdxIsUnique.push_back(isUnique);
    return static_cast<int>(fIdxList.size()) - 1;
}

std::unique_ptr<TDataObj> TDataObjDef::instantiate(bool isNewObj) {
    std::unique_ptr<TDataObj> obj = fDataObjType.create();
    obj->fDefinition = this;
    obj->fDefID = fInternalID;
    obj->fDontStore = fInitDontStore;
    obj->fBusy = true;
    obj->fIsNew = isNewObj;
    obj->init();
    return obj;
}

TDataObj* TDataObjDef::CreateDataObj(TDataObjList& parentList, bool keepLoadFlag, bool isNewObj) {
    std::unique_ptr<TDataObj> obj = instantiate(isNewObj);
    obj->setBusy(keepLoadFlag);
    TDataObj* raw = parentList.attachNewObject(std::move(obj));
    if (isNewObj) {
        try {
            raw->afterCreateOrLoad(true);
        } catch (...) {
            parentList.discardObject(raw);
            throw;
        }
    }
    return raw;
}

std::unique_ptr<TDataObj> TDataObjDef::CreateRootDataObj(bool keepLoadFlag, bool isNewObj) {
    std::unique_ptr<TDataObj> obj = instantiate(isNewObj);
    obj->setBusy(keepLoadFlag);
    if (isNewObj) obj->afterCreateOrLoad(true);
    return obj;
}

TDataObj* TDataObjDef::CreateSubDataObj(TDataObj* parentObj) {
    FMX_ASSERT(parentObj != nullptr, QStringLiteral("TDataObjDef.CreateSubDataObj: geen parent"));
    if (!parentObj) return nullptr;
    std::unique_ptr<TDataObj> obj = instantiate(parentObj->isNew());
    obj->setBusy(parentObj->isBusy());
    TDataObj* raw = parentObj->adoptSubObj(std::move(obj));
    if (raw->isNew()) {
        try {
            raw->afterCreateOrLoad(false);
        } catch (...) {
            parentObj->discardSubObj(raw);
            throw;
        }
    }
    return raw;
}

TDataObj* TDataObjDef::CreateDataObjForOnDemandList(TDataObjList& parentList, int32_t id,
                                                    const QString& name) {
    std::unique_ptr<TDataObj> obj = fDataObjType.create();
    obj->fDefinition = this;
    obj->fDefID = fInternalID;
    obj->fDontStore = fInitDontStore;
    obj->fBusy = true;
    obj->fOnDemandListObj = true;
    obj->fID = id;
    TAbstractDataValue* dn = obj->cAddVal(gvalNameIDForOnDemandListObj);
    dn->setAsString(name);
    obj->setBusy(parentList.isBusy());
    return parentList.attachNewObject(std::move(obj));
}

// ---- TDataObjListDef ----

TDataObjListDef* TDataObjListDef::Create(int32_t& defID, const QString& dbName, const QString& displayName,
                                         const QString& descr, int32_t minCount, int32_t maxCount,
                                         bool internalDef, int32_t allowedObjDefID, const QString& xmlName) {
    std::unique_ptr<TDataObjListDef> def(new TDataObjListDef());
    def->initNames(displayName, descr, xmlName, dbName);
    def->fMinCount = minCount;
    def->fMaxCount = maxCount;
    def->fInternalDef = internalDef;
    TdmData& reg = registry();
    if (allowedObjDefID != -1) {
        TDataObjDef* allowed = reg.FindDataObjDefWithID(allowedObjDefID);
        FMX_ASSERT(allowed != nullptr,
                   QStringLiteral("TDataObjListDef.Create: objectdefinitie %1 niet gedeclareerd")
                       .arg(allowedObjDefID));
        if (allowed) def->fAllowedDataObj.push_back(allowed);
    }
    const QString quoted = QStringLiteral("TDataObjListDef.Create \"") + displayName + QStringLiteral("\"");
    for (const QString& n : reg.listDBNames()) {
        if (n == def->fDBName) {
            dmMsgError(quoted + QStringLiteral(" DBFieldName ") + def->fDBName +
                       QStringLiteral(" komt al voor"));
            break;
        }
    }
    if (def->fDBName.size() > 4 && !def->fInitDontStore)
        dmMsgError(quoted + QStringLiteral(" DBFieldName te lang"));
    reg.addListDBName(def->fDBName);
    TDataObjListDef* raw = def.get();
    reg.placeListDef(defID, std::move(def));
    return raw;
}

void TDataObjListDef::addAllowedDataObjDef(TDataObjDef* objDef) {
    FMX_ASSERT(objDef != nullptr, QStringLiteral("TDataObjListDef.addAllowedDataObjDef: nil"));
    if (objDef) fAllowedDataObj.push_back(objDef);
}

TDataObjList* TDataObjListDef::createValue(TDataObj& parentObj) {
    auto list = std::unique_ptr<TDataObjList>(new TDataObjList(this));
    list->fBusy = parentObj.isBusy();
    list->fIsNew = parentObj.isNew();
    return parentObj.adoptList(std::move(list));
}

} // namespace fmx
