#include "datavalue.h"

#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"

#include <cmath>
#include <limits>

namespace fmx {

namespace {

QString formatMsg(const QString& fmt, const QStringList& args) {
    return dmFormat(fmt, args);
}

int32_t roundToInt32(double v) {
    const double r = roundTiesToEven(v);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<int32_t>::max()))
        throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %g is out of the integer range")), {fmtG(v)}));
    return static_cast<int32_t>(r);
}

struct TBusyCalcGuard {
    bool& flag;
    explicit TBusyCalcGuard(bool& f) : flag(f) { flag = true; }
    ~TBusyCalcGuard() { flag = false; }
};

} // namespace

// ---- TAbstractDataValue ----

void TAbstractDataValue::initFromDefinition(TDataValueDef* def) {
    fDefinition = def;
    fDefID = def->InternalID();
    fDontStore = def->initDontStore();
    initContents();
    fReadOnlyUI = def->initReadOnlyUI();
}

[[noreturn]] void TAbstractDataValue::refuse(const char* message) {
    throw EConvertError(QString::fromLatin1(message));
}

bool TAbstractDataValue::parentSyncing() const {
    return fParent && fParent->busySync();
}

void TAbstractDataValue::setChanged(bool flag) {
    if (!flag) {
        if (!fIsNew) fChanged = false;
        return;
    }
    if (fChanged || fBusy || fDefinition->DontChangeParent()) return;
    if (!parentSyncing()) raiseErrorIfActionNotAllowed(oa_Change);
    if (fParent) fParent->setChanged(true);
    if (!fIsNew) fChanged = true;
}

void TAbstractDataValue::setBusy(bool flag) {
    fBusy = flag;
}

std::unique_ptr<TDataError> TAbstractDataValue::getIsActionAllowed(TObjAction action) {
    FMX_ASSERT(action == oa_Change, QStringLiteral("TAbstractDataValue: invalid action"));
    if (parentSyncing() || dmBusyFixingBugs()) return nullptr;
    if (!dmHasRight(fDefinition->RightToChange()))
        return std::make_unique<TDataError>(tdek_NoRights, DisplayName(), this);
    if (fDefinition->CheckRightWithParent() && fParent)
        return fParent->getIsActionAllowedForValue(this, action);
    return nullptr;
}

void TAbstractDataValue::setIsNew(bool flag) {
    if (fIsNew == flag) return;
    if (flag) fChanged = false;
    fIsNew = flag;
}

void TAbstractDataValue::deepSetUnchanged() {
    fChanged = false;
    fIsNew = false;
    refreshDols();
}

void TAbstractDataValue::deepSetChangedAndNew(bool ch, bool nw) {
    fChanged = ch;
    fIsNew = nw;
}

uint32_t TAbstractDataValue::calcDataChecksum(int indexToAdd) {
    if (fDontStore || fDefinition->ExclFromDataChksum()) return 0;
    return HashCRC32cs(XMLName() + QLatin1Char('=') + getAsXML() + QString::number(indexToAdd));
}

int32_t TAbstractDataValue::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                                          TAbstractRootObj* secObject) {
    FMX_ASSERT(!fBusy, QStringLiteral("TAbstractDataValue.handleTrigger while busy"));
    if (flags == 0) return 0;
    if (flags & trgUILinkMask) signalUILinks(objTriggered, flags, secObject);
    if (fParent) return fParent->handleTrigger(objTriggered, flags, secObject);
    return flags;
}

void TAbstractDataValue::markBeforeStore() {
    if (fBusyCalc || fDontStore)
        setChanged(false);
    else
        setChanged(true);
}

void TAbstractDataValue::afterStore(int32_t extraFlags, TAbstractRootObj* secObject) {
    if (fBusyCalc) fDoneCalc = true;
    if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | extraFlags, secObject);
}

void TAbstractDataValue::doRecalc() {
    if (fBusy) return; // a busy node raises no trigger; computed when next read outside loading
    {
        TBusyCalcGuard guard(fBusyCalc);
        handleTrigger(this, fDefinition->CalculateTrigger(), nullptr);
    }
    fDoneCalc = true;
}

QString TAbstractDataValue::getAsLCString(const TFormatSettings&) {
    return getAsString();
}
void TAbstractDataValue::setAsLCString(const QString& v, const TFormatSettings&) {
    setAsString(v);
}
QString TAbstractDataValue::getAsXML() {
    return getAsString();
}
void TAbstractDataValue::setAsXML(const QString& v) {
    setAsString(v);
}
QString TAbstractDataValue::getAsHTML() {
    return escapeHTML(getAsString());
}
bool TAbstractDataValue::isDefaultOrEmptyOrZero() {
    return false;
}
QString TAbstractDataValue::asCSV(QChar) {
    return getAsXML();
}

void TAbstractDataValue::setAsTruncString(const QString& v) {
    FMX_ASSERT(fDefinition->ValueType() == dvtString,
               QStringLiteral("TAbstractDataValue.setAsTruncString: geen string waarde"));
    setAsString(v.left(fDefinition->DBFieldSize()));
}

bool TAbstractDataValue::isPartOf(const TDataObj* obj) const {
    return fParent && fParent->isChildOf(obj);
}

// ---- TIntDataValue ----

void TIntDataValue::initContents() {
    fValue = fDefinition->mmdValuePresent(2) ? fDefinition->mmdValueAsInt(2) : 0;
}

int32_t TIntDataValue::getAsInteger() {
    ensureCalculated();
    return fValue;
}

void TIntDataValue::setAsInteger(int32_t v) {
    if (v == fValue) return storeUnchanged();
    if (fDefinition->mmdValuePresent(0) && v < fDefinition->mmdValueAsInt(0))
        throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %d is below the minimum %d")),
                                    {QString::number(v), QString::number(fDefinition->mmdValueAsInt(0))}));
    if (fDefinition->mmdValuePresent(1) && v > fDefinition->mmdValueAsInt(1))
        throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %d is above the maximum %d")),
                                    {QString::number(v), QString::number(fDefinition->mmdValueAsInt(1))}));
    markBeforeStore();
    fValue = v;
    afterStore();
}

bool TIntDataValue::getAsBoolean() {
    return getAsInteger() == 1;
}
void TIntDataValue::setAsBoolean(bool v) {
    setAsInteger(v ? 1 : 2);
}
QString TIntDataValue::getAsString() {
    return QString::number(getAsInteger());
}
void TIntDataValue::setAsString(const QString& v) {
    setAsInteger(parseInteger(v));
}
double TIntDataValue::getAsFloat() {
    return getAsInteger();
}
void TIntDataValue::setAsFloat(double v) {
    setAsInteger(roundToInt32(v));
}
TDataObj* TIntDataValue::getAsReference() {
    refuse("Can not convert int to reference");
}
void TIntDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert int to reference");
}
double TIntDataValue::getAsDate() {
    refuse("Can not convert int to date");
}
void TIntDataValue::setAsDate(double) {
    refuse("Can not convert int to date");
}
double TIntDataValue::getAsDateTime() {
    refuse("Can not convert int to datetime");
}
void TIntDataValue::setAsDateTime(double) {
    refuse("Can not convert int to datetime");
}
bool TIntDataValue::isDefaultOrEmptyOrZero() {
    const int32_t v = getAsInteger();
    return v == 0 || (fDefinition->mmdValuePresent(2) && v == fDefinition->mmdValueAsInt(2));
}

// ---- TEnumDataValue ----

void TEnumDataValue::initContents() {
    if (fDefinition->mmdValuePresent(2))
        fValue = fDefinition->mmdValueAsInt(2);
    else
        fValue = fDefinition->enumCount() > 0 ? fDefinition->getEnumIDForIndex(0) : 0;
}

int32_t TEnumDataValue::getAsInteger() {
    ensureCalculated();
    return fValue;
}

void TEnumDataValue::setAsInteger(int32_t v) {
    if (v == fValue) return storeUnchanged();
    const bool accepted = fBusy || (parentSyncing() && fDefinition->CustomField() != 2) ||
                          !fDefinition->ValidateEnums() || fDefinition->findEnumRecForID(v) != nullptr;
    if (!accepted)
        throw TDataError(tdek_InvalidEnumValue,
                         formatMsg(QStringLiteral("Enum getalswaarde %d ongeldig voor value van type \"%s\""),
                                   {QString::number(v), DisplayName()}),
                         this);
    markBeforeStore();
    fValue = v;
    afterStore();
}

bool TEnumDataValue::getAsBoolean() {
    return getAsInteger() == 1;
}
void TEnumDataValue::setAsBoolean(bool v) {
    setAsInteger(v ? 1 : 2);
}
QString TEnumDataValue::getAsString() {
    return fDefinition->getEnumTextForID(getAsInteger());
}

void TEnumDataValue::setAsString(const QString& v) {
    const QString t = v.trimmed();
    const int32_t id = fDefinition->findEnumIDForString(t);
    if (id == kEnumNotFound)
        throw TDataError(
            tdek_InvalidEnumValue,
            formatMsg(dmTl(QStringLiteral("\"%s\" is not a valid choice for \"%s\"")), {t, DisplayName()}),
            this);
    setAsInteger(id);
}

double TEnumDataValue::getAsFloat() {
    return getAsInteger();
}
void TEnumDataValue::setAsFloat(double v) {
    setAsInteger(roundToInt32(v));
}
TDataObj* TEnumDataValue::getAsReference() {
    refuse("Can not convert enum to reference");
}
void TEnumDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert enum to reference");
}
double TEnumDataValue::getAsDate() {
    refuse("Can not convert enum to date");
}
void TEnumDataValue::setAsDate(double) {
    refuse("Can not convert enum to date");
}
double TEnumDataValue::getAsDateTime() {
    refuse("Can not convert enum to datetime");
}
void TEnumDataValue::setAsDateTime(double) {
    refuse("Can not convert enum to datetime");
}
QString TEnumDataValue::getAsXML() {
    return QString::number(getAsInteger());
}
void TEnumDataValue::setAsXML(const QString& v) {
    setAsInteger(parseInteger(v));
}

// ---- TFloatDataValue ----

void TFloatDataValue::initContents() {
    fValue = fDefinition->mmdValuePresent(2) ? fDefinition->mmdValueAsFloat(2) : 0.0;
}

double TFloatDataValue::getAsFloat() {
    ensureCalculated();
    return fValue;
}

void TFloatDataValue::setAsFloat(double v) {
    if (!std::isfinite(v))
        throw ERangeError(formatMsg(dmTl(QStringLiteral("\"%s\" is not a valid number")), {fmtG(v)}));
    // An edit within the tolerance is no change; a busy value (being loaded or synchronised) takes
    // the number exactly, so that a small number such as 4.7e-08 reads back from its file.
    if (fBusy ? v == fValue : fltEqual(v, fValue)) return storeUnchanged();
    if ((!fBusy && !parentSyncing()) || fDefinition->CustomField() == 2) {
        if (fDefinition->mmdValuePresent(0) && !(v >= fDefinition->mmdValueAsFloat(0)))
            throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %g is below the minimum %g")),
                                        {fmtG(v), fmtG(fDefinition->mmdValueAsFloat(0))}));
        if (fDefinition->mmdValuePresent(1) && v > fDefinition->mmdValueAsFloat(1))
            throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %g is above the maximum %g")),
                                        {fmtG(v), fmtG(fDefinition->mmdValueAsFloat(1))}));
    }
    markBeforeStore();
    fValue = v;
    afterStore();
}

int32_t TFloatDataValue::getAsInteger() {
    return roundToInt32(getAsFloat());
}
void TFloatDataValue::setAsInteger(int32_t v) {
    setAsFloat(v);
}
bool TFloatDataValue::getAsBoolean() {
    return getAsInteger() == 1;
}
void TFloatDataValue::setAsBoolean(bool v) {
    setAsInteger(v ? 1 : 2);
}
QString TFloatDataValue::getAsString() {
    return getAsLCString(gUserFormatSettings);
}
void TFloatDataValue::setAsString(const QString& v) {
    setAsLCString(v.trimmed(), gUserFormatSettings);
}
QString TFloatDataValue::getAsLCString(const TFormatSettings& fs) {
    return formatFloat(getAsFloat(), fDefinition->Decimalen(), fs);
}
void TFloatDataValue::setAsLCString(const QString& v, const TFormatSettings& fs) {
    setAsFloat(parseFloat(v, fs));
}
TDataObj* TFloatDataValue::getAsReference() {
    refuse("Can not convert float to reference");
}
void TFloatDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert float to reference");
}
double TFloatDataValue::getAsDate() {
    return getAsFloat();
}
void TFloatDataValue::setAsDate(double v) {
    setAsFloat(v);
}
double TFloatDataValue::getAsDateTime() {
    return getAsFloat();
}
void TFloatDataValue::setAsDateTime(double v) {
    setAsFloat(v);
}
QString TFloatDataValue::getAsXML() {
    return floatToXML(getAsFloat());
}
void TFloatDataValue::setAsXML(const QString& v) {
    setAsFloat(floatFromXML(v));
}
bool TFloatDataValue::isDefaultOrEmptyOrZero() {
    const double v = getAsFloat();
    return fltZero(v) || (fDefinition->mmdValuePresent(2) && fltEqual(v, fDefinition->mmdValueAsFloat(2)));
}

// ---- TStringDataValue ----

void TStringDataValue::initContents() {
    fValue = fDefinition->mmdValuePresent(2) ? fDefinition->mmdValueAsString(2) : QString();
}

QString TStringDataValue::getAsString() {
    ensureCalculated();
    return fValue;
}

void TStringDataValue::setAsString(const QString& v) {
    if (v == fValue) return storeUnchanged();
    if (v.size() > fDefinition->DBFieldSize())
        throw ERangeError(QStringLiteral("De lengte van de tekst is te groot (max. %1 karakters)")
                              .arg(fDefinition->DBFieldSize()));
    markBeforeStore();
    fValue = v;
    const bool isName = dmData && dmData->isNameValueID(fDefID);
    afterStore(isName ? (trgValueChanged | trgNameChanged) : trgValueChanged);
}

bool TStringDataValue::getAsBoolean() {
    return getAsString() == QStringLiteral("Yes");
}
void TStringDataValue::setAsBoolean(bool v) {
    setAsString(v ? QStringLiteral("Yes") : QStringLiteral("No"));
}
int32_t TStringDataValue::getAsInteger() {
    return parseInteger(getAsString());
}
void TStringDataValue::setAsInteger(int32_t v) {
    setAsString(QString::number(v));
}
double TStringDataValue::getAsFloat() {
    return parseFloat(getAsString(), gUserFormatSettings);
}
void TStringDataValue::setAsFloat(double v) {
    setAsString(formatFloat(v, -1, gUserFormatSettings));
}
TDataObj* TStringDataValue::getAsReference() {
    refuse("Can not convert string to reference");
}
void TStringDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert string to reference");
}
double TStringDataValue::getAsDate() {
    refuse("Can not convert string to datetime");
}
void TStringDataValue::setAsDate(double) {
    refuse("Can not convert string to datetime");
}
double TStringDataValue::getAsDateTime() {
    refuse("Can not convert string to datetime");
}
void TStringDataValue::setAsDateTime(double) {
    refuse("Can not convert string to datetime");
}
bool TStringDataValue::isDefaultOrEmptyOrZero() {
    const QString v = getAsString();
    return v.isEmpty() || (fDefinition->mmdValuePresent(2) && v == fDefinition->mmdValueAsString(2));
}

static QString csvQuote(const QString& text, QChar sep) {
    if (sep == QLatin1Char(' ')) sep = QLatin1Char(';');
    QString t = text;
    const bool quote = t.contains(sep) || t.contains(QLatin1Char('"'));
    t.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return quote ? QLatin1Char('"') + t + QLatin1Char('"') : t;
}

QString TStringDataValue::asCSV(QChar sep) {
    return csvQuote(getAsString(), sep);
}

// ---- TDateDataValue ----

void TDateDataValue::initContents() {
    fValue = fDefinition->mmdValuePresent(2) ? fDefinition->mmdValueAsFloat(2) : dmNow();
}

void TDateDataValue::checkDateLimits(double v) {
    if (fDefinition->mmdValuePresent(0) && v < fDefinition->mmdValueAsFloat(0))
        throw ERangeError(QStringLiteral("Datum %1 is voor het minimum %2")
                              .arg(formatDate(v, gUserFormatSettings),
                                   formatDate(fDefinition->mmdValueAsFloat(0), gUserFormatSettings)));
    if (fDefinition->mmdValuePresent(1) && v > fDefinition->mmdValueAsFloat(1))
        throw ERangeError(QStringLiteral("Datum %1 is na het maximum %2")
                              .arg(formatDate(v, gUserFormatSettings),
                                   formatDate(fDefinition->mmdValueAsFloat(1), gUserFormatSettings)));
}

double TDateDataValue::getAsDate() {
    ensureCalculated();
    return fValue;
}

void TDateDataValue::setAsDate(double v) {
    if (!std::isfinite(v))
        throw ERangeError(formatMsg(dmTl(QStringLiteral("\"%s\" is not a valid date")), {fmtG(v)}));
    if (v == fValue) return storeUnchanged();
    checkDateLimits(v);
    markBeforeStore();
    fValue = v;
    afterStore();
}

bool TDateDataValue::getAsBoolean() {
    refuse("Can not convert between a date and a boolean");
}
void TDateDataValue::setAsBoolean(bool) {
    refuse("Can not convert between a date and a boolean");
}
int32_t TDateDataValue::getAsInteger() {
    return roundToInt32(getAsDate());
}
void TDateDataValue::setAsInteger(int32_t v) {
    setAsDate(v);
}
QString TDateDataValue::getAsString() {
    return formatDate(getAsDate(), gUserFormatSettings);
}
void TDateDataValue::setAsString(const QString& v) {
    setAsLCString(v.trimmed(), gUserFormatSettings);
}
QString TDateDataValue::getAsLCString(const TFormatSettings& fs) {
    return formatDate(getAsDate(), fs);
}
void TDateDataValue::setAsLCString(const QString& v, const TFormatSettings& fs) {
    setAsDate(parseDate(v, fs));
}
double TDateDataValue::getAsFloat() {
    return getAsDate();
}
void TDateDataValue::setAsFloat(double v) {
    setAsDate(v);
}
TDataObj* TDateDataValue::getAsReference() {
    refuse("Can not convert float to reference");
}
void TDateDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert float to reference");
}
double TDateDataValue::getAsDateTime() {
    return std::floor(getAsDate());
}
void TDateDataValue::setAsDateTime(double v) {
    setAsDate(std::floor(v));
}
QString TDateDataValue::getAsXML() {
    return dateToXML(getAsDate());
}
void TDateDataValue::setAsXML(const QString& v) {
    setAsDate(dateFromXML(v));
}
bool TDateDataValue::isDefaultOrEmptyOrZero() {
    return fDefinition->mmdValuePresent(2) && fltEqual(getAsFloat(), fDefinition->mmdValueAsFloat(2));
}

// ---- TDateTimeDataValue (stores in the same field; the storing setter is AsDateTime) ----

double TDateTimeDataValue::getAsDateTime() {
    return TDateDataValue::getAsDate();
}
void TDateTimeDataValue::setAsDateTime(double v) {
    TDateDataValue::setAsDate(v);
}
double TDateTimeDataValue::getAsDate() {
    return std::floor(getAsDateTime());
}
void TDateTimeDataValue::setAsDate(double v) {
    setAsDateTime(std::floor(v));
}
int32_t TDateTimeDataValue::getAsInteger() {
    return roundToInt32(getAsDateTime());
}
void TDateTimeDataValue::setAsInteger(int32_t v) {
    setAsDateTime(v);
}
double TDateTimeDataValue::getAsFloat() {
    return getAsDateTime();
}
void TDateTimeDataValue::setAsFloat(double v) {
    setAsDateTime(v);
}
QString TDateTimeDataValue::getAsString() {
    return formatDateTime(getAsDateTime(), gUserFormatSettings);
}
void TDateTimeDataValue::setAsString(const QString& v) {
    setAsLCString(v.trimmed(), gUserFormatSettings);
}
QString TDateTimeDataValue::getAsLCString(const TFormatSettings& fs) {
    return formatDate(getAsDateTime(), fs);
}
void TDateTimeDataValue::setAsLCString(const QString& v, const TFormatSettings& fs) {
    setAsDateTime(parseDateTime(v, fs));
}
QString TDateTimeDataValue::getAsXML() {
    return dateTimeToXML(getAsDateTime());
}
void TDateTimeDataValue::setAsXML(const QString& v) {
    setAsDateTime(dateTimeFromXML(v));
}

// ---- TRefDataValue ----

TRefDataValue::~TRefDataValue() {
    clearCache();
}

void TRefDataValue::initContents() {
    fRefID = fDefinition->mmdValuePresent(2) ? fDefinition->mmdValueAsInt(2) : 0;
}

void TRefDataValue::setCache(TDataObj* obj) {
    if (obj == fCachedObj) return;
    clearCache();
    if (obj && !fBusyDestroy && !obj->busyDestroy()) {
        obj->addCachedRef(this);
        fCachedObj = obj;
    }
}

void TRefDataValue::clearCache() {
    if (!fCachedObj) return;
    TDataObj* o = fCachedObj;
    fCachedObj = nullptr;
    o->delCachedRef(this);
}

void TRefDataValue::dropReference() {
    clearCache();
    fRefID = 0;
}

void TRefDataValue::signalDelete() {
    if (fBusyDestroy) return;
    clearCache();
    TAbstractDataValue::signalDelete();
}

int32_t TRefDataValue::getAsInteger() {
    ensureCalculated();
    return fRefID;
}

void TRefDataValue::setAsInteger(int32_t v) {
    if (v == fRefID) {
        storeUnchanged();
        if (v == 0 && (fDefinition->TriggerFlags() & trgRefEmptyAgain) && !fBusy)
            handleTrigger(this, trgRefEmptyAgain, nullptr);
        return;
    }
    TDataObj* old = nullptr;
    if (fDefinition->TriggerWithOldRef() && fRefID > 0 && !fBusy) old = getAsReference();
    markBeforeStore();
    clearCache();
    fRefID = v;
    afterStore(trgValueChanged, old);
}

TRefObjList* TRefDataValue::getRefList() {
    if (!fParent) return nullptr;
    if (fDefinition->hasRefIDPath()) {
        std::vector<int32_t> path;
        for (int32_t id : fDefinition->RefIDPath()) {
            if (id == 0) break;
            path.push_back(id);
        }
        TAbstractRootObj* r = fParent->followIDPath(path, true);
        if (!r) return nullptr;
        FMX_ASSERT(r->nodeKind() == nkList,
                   QStringLiteral("TRefDataValue.getRefList: ID path results in a non-list result"));
        return r->nodeKind() == nkList ? new TRefObjList(static_cast<TDataObjList*>(r)) : nullptr;
    }
    if (!fDefinition->RefPath().isEmpty()) {
        // Walked like followPath; a step that finds nothing gives no candidates.
        TAbstractRootObj* r = fParent->followPathEx(fDefinition->RefPath(), TAbstractRootObj::pmMissingIsNil);
        if (!r) return nullptr;
        FMX_ASSERT(r->nodeKind() == nkList,
                   QStringLiteral("TRefDataValue.getRefList: path results in a non-list result"));
        return r->nodeKind() == nkList ? new TRefObjList(static_cast<TDataObjList*>(r)) : nullptr;
    }
    for (TDataObj* p = fParent; p; p = p->parentObject()) {
        if (TRefObjList* l = p->getRefList(fDefID)) return l;
        if (!fDefinition->AskParentForRefList()) break;
    }
    return nullptr;
}

TDataObj* TRefDataValue::getAsReference() {
    const int32_t id = getAsInteger();
    if (id < 1) return nullptr;
    if (fCachedObj) return fCachedObj;
    TDataObj* found = nullptr;
    if (TRefObjList* l = getRefList()) {
        for (int i = 0; i < l->count() && !found; ++i)
            if (l->obj(i)->rawID() == id) found = l->obj(i);
        l->endUse();
        if (found) setCache(found);
        return found;
    }
    if (id < 0x7FFF0000) {
        if (TDataObj* g = actGlobalData()) found = g->findDataObjWithID(id);
        if (!found && fParent) found = fParent->findDataObjWithID(id);
    } else if (fParent) {
        found = fParent->findDataObjWithID(id);
    }
    if (found) setCache(found);
    return found;
}

void TRefDataValue::setAsReference(TDataObj* obj) {
    setAsInteger(obj ? obj->ID() : 0);
    if (obj) setCache(obj);
}

QString TRefDataValue::getAsString() {
    const int32_t id = getAsInteger();
    if (id == 0) return QStringLiteral("[none]");
    if (TDataObj* o = getAsReference()) return o->refName();
    return QStringLiteral("<REF ERROR %1>").arg(id);
}

void TRefDataValue::setAsString(const QString& v) {
    const QString t = v.trimmed();
    if (t.compare(QStringLiteral("[none]"), Qt::CaseInsensitive) == 0) {
        setAsInteger(0);
        return;
    }
    TRefObjList* l = getRefList();
    if (!l) return;
    TDataObj* match = nullptr;
    for (int i = 0; i < l->count() && !match; ++i)
        if (l->obj(i)->name().compare(t, Qt::CaseInsensitive) == 0) match = l->obj(i);
    l->endUse();
    if (match) setAsReference(match);
}

bool TRefDataValue::isValidReference(bool nilIfNot) {
    const int32_t id = getAsInteger();
    bool valid;
    if (id == 0)
        valid = !fDefinition->DontAllowNilRef();
    else if (fDefinition->IgnoreInvalidRefs())
        valid = true;
    else
        valid = getAsReference() != nullptr;
    if (!valid && nilIfNot && id != 0) setAsInteger(0);
    return valid;
}

bool TRefDataValue::getAsBoolean() {
    refuse("Can not convert between a reference and a boolean");
}
void TRefDataValue::setAsBoolean(bool) {
    refuse("Can not convert between a reference and a boolean");
}
double TRefDataValue::getAsFloat() {
    return getAsInteger();
}
void TRefDataValue::setAsFloat(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
        throw ERangeError(formatMsg(dmTl(QStringLiteral("Value %g is out of the integer range")), {fmtG(v)}));
    setAsInteger(static_cast<int32_t>(std::trunc(v)));
}
double TRefDataValue::getAsDate() {
    refuse("Can not convert reference to date");
}
void TRefDataValue::setAsDate(double) {
    refuse("Can not convert reference to date");
}
double TRefDataValue::getAsDateTime() {
    refuse("Can not convert reference to datetime");
}
void TRefDataValue::setAsDateTime(double) {
    refuse("Can not convert reference to datetime");
}
QString TRefDataValue::getAsXML() {
    return QString::number(getAsInteger());
}
void TRefDataValue::setAsXML(const QString& v) {
    const QString t = v.trimmed();
    if (t.isEmpty() || t.compare(QStringLiteral("[none]"), Qt::CaseInsensitive) == 0)
        setAsInteger(0);
    else
        setAsInteger(parseInteger(t));
}
bool TRefDataValue::isDefaultOrEmptyOrZero() {
    return getAsInteger() == 0;
}
QString TRefDataValue::asCSV(QChar sep) {
    return csvQuote(getAsString(), sep);
}

// ---- TBinDataValue ----

void TBinDataValue::initContents() {
    fByteData.clear();
    fDataSize = 0;
}

void TBinDataValue::setData(const QByteArray& data) {
    ensureDataLoaded();
    if (data == fByteData) return storeUnchanged();
    markBeforeStore();
    fByteData = data;
    fDataSize = static_cast<int32_t>(data.size());
    fDataLoaded = true;
    afterStore();
}

bool TBinDataValue::getAsBoolean() {
    refuse("Can not convert between binary data and a boolean");
}
void TBinDataValue::setAsBoolean(bool) {
    refuse("Can not convert between binary data and a boolean");
}
int32_t TBinDataValue::getAsInteger() {
    refuse("Can not convert binary data to int");
}
void TBinDataValue::setAsInteger(int32_t) {
    refuse("Can not convert binary data to int");
}
QString TBinDataValue::getAsString() {
    return getAsXML();
}
void TBinDataValue::setAsString(const QString&) {
    refuse("Can not convert binary data to string");
}
double TBinDataValue::getAsFloat() {
    refuse("Can not convert binary data to float");
}
void TBinDataValue::setAsFloat(double) {
    refuse("Can not convert binary data to float");
}
TDataObj* TBinDataValue::getAsReference() {
    refuse("Can not convert binary data to reference");
}
void TBinDataValue::setAsReference(TDataObj*) {
    refuse("Can not convert binary data to reference");
}
double TBinDataValue::getAsDate() {
    refuse("Can not convert binary data to date");
}
void TBinDataValue::setAsDate(double) {
    refuse("Can not convert binary data to date");
}
double TBinDataValue::getAsDateTime() {
    refuse("Can not convert binary data to datetime");
}
void TBinDataValue::setAsDateTime(double) {
    refuse("Can not convert binary data to datetime");
}
QString TBinDataValue::inlineXMLText() {
    const QByteArray& bytes = data();
    if (bytes.isEmpty()) return QString();
    QString t = QStringLiteral("INCL%1%2")
                    .arg(static_cast<uint>(bytes.size()), 8, 16, QLatin1Char('0'))
                    .arg(static_cast<uint>(fDataKind & 0xFFFF), 4, 16, QLatin1Char('0'))
                    .toUpper();
    t += QString::fromLatin1(bytes.toHex().toUpper());
    return t;
}

QString TBinDataValue::getAsXML() {
    if (fDefinition->ValueType() != dvtBinaryExcl) return inlineXMLText();
    if (fDataSize == 0) return QString();
    return QStringLiteral("EXCL%1%2")
        .arg(static_cast<uint>(fDataSize), 8, 16, QLatin1Char('0'))
        .arg(static_cast<uint>(fDataKind & 0xFFFF), 4, 16, QLatin1Char('0'))
        .toUpper();
}

namespace {
bool isUpperHex(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}
bool parseUpperHex(QStringView s, uint32_t& out) {
    out = 0;
    for (QChar c : s) {
        if (!isUpperHex(c)) return false;
        out = out * 16 +
              static_cast<uint32_t>(c <= QLatin1Char('9') ? c.unicode() - '0' : c.unicode() - 'A' + 10);
    }
    return true;
}
} // namespace

void TBinDataValue::setAsXML(const QString& v) {
    const QString t = v.trimmed();
    if (t.isEmpty()) return storeHeader(0, 0, nullptr);
    const auto invalid = [&]() {
        return EConvertError(dmTl(QStringLiteral("Invalid binary data")) + QStringLiteral(" \"") +
                             t.left(40) + QStringLiteral("\""));
    };
    uint32_t size = 0;
    uint32_t kind = 0;
    if (t.size() < 16 || !parseUpperHex(QStringView(t).mid(4, 8), size) ||
        !parseUpperHex(QStringView(t).mid(12, 4), kind) || size > 0x7FFFFFFFu)
        throw invalid();
    if (t.startsWith(QLatin1String("INCL"))) {
        if (static_cast<qint64>(t.size()) - 16 != 2 * static_cast<qint64>(size)) throw invalid();
        QByteArray bytes;
        bytes.reserve(static_cast<qsizetype>(size));
        for (qsizetype i = 16; i < t.size(); i += 2) {
            uint32_t b = 0;
            if (!parseUpperHex(QStringView(t).mid(i, 2), b)) throw invalid();
            bytes.append(static_cast<char>(b));
        }
        return storeHeader(static_cast<int32_t>(size), static_cast<int32_t>(kind), &bytes);
    }
    if (t.size() != 16) throw invalid();
    storeHeader(static_cast<int32_t>(size), static_cast<int32_t>(kind), nullptr);
}

void TBinDataValue::storeHeader(int32_t size, int32_t kind, const QByteArray* bytes) {
    const bool loaded = bytes != nullptr || size == 0;
    if (loaded && fDataLoaded && size == fDataSize && kind == fDataKind && (!bytes || *bytes == fByteData))
        return storeUnchanged();
    markBeforeStore();
    fDataSize = size;
    fDataKind = kind;
    fByteData = bytes ? *bytes : QByteArray();
    fDataLoaded = loaded;
    afterStore();
}

const QByteArray& TBinDataValue::data() {
    ensureDataLoaded();
    return fByteData;
}

void TBinDataValue::ensureDataLoaded() {
    if (fDataLoaded || fDataSize == 0) return;
    auto loader = dmObjectManagerHooks().loadBinData;
    FMX_ASSERT(loader != nullptr, QStringLiteral("TBinDataValue.data: geen object manager"));
    if (loader) loader(this);
}

void TBinDataValue::setLoadedData(const QByteArray& bytes) {
    fByteData = bytes;
    fDataSize = static_cast<int32_t>(bytes.size());
    fDataLoaded = true;
}

bool TBinDataValue::isDefaultOrEmptyOrZero() {
    return fDataSize == 0;
}

} // namespace fmx
