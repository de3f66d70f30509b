// Typed values. A value is owned by its parent object (TDataObj::fValues); it points to its
// definition (owned by dmData) and to its parent.
//
// Setting a value runs one protocol: an equal value changes nothing; the class's checks (limits,
// length, enumeration entries) throw before anything changes; the value and its containers are
// marked changed (a refused right throws, still before anything changes); the content is stored;
// when not busy the trigger TriggerFlags | 0x001 is raised. Every refused conversion throws
// EConvertError with its fixed message and leaves the value unchanged.
#pragma once

#include "definitions.h"
#include "dmformat.h"
#include "rootobj.h"

#include <QByteArray>
#include <QChar>

namespace fmx {

class TRefObjList;

class TAbstractDataValue : public TAbstractRootObj {
public:
    TNodeKind nodeKind() const override { return nkValue; }
    TDataValueDef* Definition() const { return fDefinition; }
    TDataObj* Parent() const { return fParent; }
    TDataObj* pathStartObj() override { return fParent; }
    bool doneCalc() const { return fDoneCalc; }
    bool busyCalc() const { return fBusyCalc; }
    bool ReadOnlyUI() const { return fReadOnlyUI; }
    void setReadOnlyUI(bool v) { fReadOnlyUI = v; }
    int32_t noteState() const { return fNoteState; }

    QString DisplayName() const { return fDefinition->DisplayName(); }
    QString XMLName() const { return fDefinition->XMLName(); }
    QString hint() const { return fDefinition->displayDescription(); }
    QString infoLabelCaption() const { return fDefinition->infoLabelCaption(); }

    // TAbstractRootObj
    void setChanged(bool flag) override;
    void setBusy(bool flag) override;
    std::unique_ptr<TDataError> getIsActionAllowed(TObjAction action) override;
    void setIsNew(bool flag) override;
    void deepSetUnchanged() override;
    void deepSetChangedAndNew(bool ch, bool nw) override;
    uint32_t calcDataChecksum(int indexToAdd) override;
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override;

    // Typed accessors (see the conversion rules of each class).
    virtual bool getAsBoolean() = 0;
    virtual void setAsBoolean(bool v) = 0;
    virtual int32_t getAsInteger() = 0;
    virtual void setAsInteger(int32_t v) = 0;
    virtual QString getAsString() = 0;
    virtual void setAsString(const QString& v) = 0;
    virtual QString getAsLCString(const TFormatSettings& fs);
    virtual void setAsLCString(const QString& v, const TFormatSettings& fs);
    virtual double getAsFloat() = 0;
    virtual void setAsFloat(double v) = 0;
    // As setAsFloat, but any difference is a change (no tolerance): for results that are stored as
    // computed. Values that are no floats set as setAsFloat does.
    virtual void setAsFloatExact(double v) { setAsFloat(v); }
    virtual TDataObj* getAsReference() = 0;
    virtual void setAsReference(TDataObj* obj) = 0;
    virtual double getAsDate() = 0;
    virtual void setAsDate(double v) = 0;
    virtual double getAsDateTime() = 0;
    virtual void setAsDateTime(double v) = 0;
    virtual QString getAsXML();
    virtual void setAsXML(const QString& v);
    virtual QString getAsHTML();
    virtual bool isDefaultOrEmptyOrZero();
    bool isNotDefaultOrEmptyOrZero() { return !isDefaultOrEmptyOrZero(); }
    // sep ' ' means ';'.
    virtual QString asCSV(QChar sep);
    // String values only (assertion otherwise): the text cut to DBFieldSize, then AsString.
    void setAsTruncString(const QString& v);

    bool isPartOf(const TDataObj* obj) const;
    bool isDirectPartOf(const TDataObj* obj) const { return fParent == obj; }
    bool isChildOf(const TDataObj* obj) const { return isPartOf(obj); }
    // Computes a calculated value: raises CalculateTrigger on it; an ancestor sets it.
    void doRecalc();
    // Makes a calculated value compute again when next read.
    void resetDoneCalc() { fDoneCalc = false; }

    // Copies from's content by value type through the set protocol (marks and triggers as an edit).
    // A calculated source is copied only with copyCalc; otherwise the target is marked not computed.
    // Then, unless the parent is synchronising, from's notes follow (doCopyNotes).
    void doFastCopy(TAbstractDataValue* from, bool copyCalc);

    // ---- notes (notes.cpp), kept in the "Notities" list of the notes root ----
    // 1 when the value has notes, 2 when not (worked out once, then kept).
    int32_t getHasNotes();
    // Stores a note state; raises 0x400 when not busy.
    void setHasNotes(int32_t newState);
    // The note added or found again; nullptr under a root whose definition has no notes.
    TDataObj* addNote(int32_t pNoteKind, int32_t pNoteCode, const QString& pDescr);
    void deleteNote(TDataObj* note);
    void deleteValidateNotes(int32_t pNoteCode);
    void removeAllNotes();
    // When both notes roots keep notes and fromValue has notes: this value's notes are replaced by
    // copies of fromValue's notes marked "DoCopy" (kind, code, description; a photo's picture).
    // Nothing when both values name the same notes.
    void doCopyNotes(TAbstractDataValue* fromValue);

    // ---- data-tree files (dmfiles.cpp) ----
    // Writes the value element (nothing for dontStore values and, in the storage types, for
    // dontStoreDefXML values that hold their default).
    virtual void newSaveToXML(int indent, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges);
    // Reads the current element of from into the value, which must be busy. A text that does not
    // convert throws the conversion error and leaves the value unchanged.
    virtual void newLoadFromXML(TXMLReader& from, TStorageXMLType loadType);
    // Whether the value holds what init gives it (the rule that leaves dontStoreDefXML values out).
    bool holdsDefaultForXML();

protected:
    TAbstractDataValue() = default;
    friend class TDataValueDef;
    friend class TDataObj;

    // Sets definition, ID, dontStore, initial contents and ReadOnlyUI.
    virtual void initFromDefinition(TDataValueDef* def);
    virtual void initContents() = 0;

    // Pieces of the set protocol.
    void storeUnchanged() {
        if (fBusyCalc) fDoneCalc = true;
    }
    void markBeforeStore();
    void afterStore(int32_t extraFlags = trgValueChanged, TAbstractRootObj* secObject = nullptr);
    // Before every storing getter: computes a calculated value that is not computed yet.
    void ensureCalculated() {
        if (fDefinition->CalculateTrigger() != 0 && !fDoneCalc && !fBusyCalc) doRecalc();
    }
    bool parentSyncing() const;
    [[noreturn]] static void refuse(const char* message);

    TDataValueDef* fDefinition = nullptr;
    TDataObj* fParent = nullptr;
    bool fDoneCalc = false;
    bool fReadOnlyUI = false;
    int32_t fNoteState = 0;
    bool fBusyCalc = false;
};

class TIntDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override;
    void setAsString(const QString& v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    bool isDefaultOrEmptyOrZero() override;

protected:
    void initContents() override;
    int32_t fValue = 0;
};

class TEnumDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override;
    // The trimmed text must equal an entry's text exactly; otherwise a TDataError of kind
    // tdek_InvalidEnumValue (the value is unchanged).
    void setAsString(const QString& v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    QString getAsXML() override;
    void setAsXML(const QString& v) override;

protected:
    void initContents() override;
    int32_t fValue = 0;
};

class TFloatDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override;
    void setAsString(const QString& v) override;
    QString getAsLCString(const TFormatSettings& fs) override;
    void setAsLCString(const QString& v, const TFormatSettings& fs) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    void setAsFloatExact(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    QString getAsXML() override;
    void setAsXML(const QString& v) override;
    bool isDefaultOrEmptyOrZero() override;

protected:
    void initContents() override;
    // Stores v unless it equals the value (exactly, or within the float tolerance).
    void storeFloat(double v, bool exact);
    double fValue = 0.0;
};

class TStringDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override;
    void setAsString(const QString& v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    bool isDefaultOrEmptyOrZero() override;
    QString asCSV(QChar sep) override;

protected:
    void initContents() override;
    QString fValue;
};

class TDateDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override;
    void setAsString(const QString& v) override;
    QString getAsLCString(const TFormatSettings& fs) override;
    void setAsLCString(const QString& v, const TFormatSettings& fs) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    QString getAsXML() override;
    void setAsXML(const QString& v) override;
    bool isDefaultOrEmptyOrZero() override;

protected:
    void initContents() override;
    void checkDateLimits(double v);
    double fValue = 0.0;
};

class TDateTimeDataValue : public TDateDataValue {
public:
    QString getAsString() override;
    void setAsString(const QString& v) override;
    QString getAsLCString(const TFormatSettings& fs) override;
    void setAsLCString(const QString& v, const TFormatSettings& fs) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    QString getAsXML() override;
    void setAsXML(const QString& v) override;
};

// A reference: the referred object's ID (0 = none) and the object once found (a cache that the
// object clears when it is destroyed; the value removes itself from the object's list of caching
// values when it stops caching or is destroyed).
class TRefDataValue : public TAbstractDataValue {
public:
    ~TRefDataValue() override;
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    // The referred object's refName, "[none]", or "<REF ERROR id>".
    QString getAsString() override;
    // Trimmed; the first candidate whose name equals it case-insensitively; "[none]" clears; any
    // other text changes nothing.
    void setAsString(const QString& v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    QString getAsXML() override;
    void setAsXML(const QString& v) override;
    bool isDefaultOrEmptyOrZero() override;
    QString asCSV(QChar sep) override;
    void signalDelete() override;

    // The candidates (a TRefObjList that the caller releases with endUse), or nullptr.
    TRefObjList* getRefList();
    bool isValidReference(bool nilIfNot);
    TDataObj* cachedObj() const { return fCachedObj; }
    // Clears the reference without a trigger or change mark (used when the referred object goes).
    void dropReference();

protected:
    friend class TDataObj;
    void initContents() override;
    void setCache(TDataObj* obj);
    void clearCache();
    int32_t fRefID = 0;
    TDataObj* fCachedObj = nullptr;
};

class TBinDataValue : public TAbstractDataValue {
public:
    bool getAsBoolean() override;
    void setAsBoolean(bool v) override;
    int32_t getAsInteger() override;
    void setAsInteger(int32_t v) override;
    QString getAsString() override; // the XML text
    void setAsString(const QString& v) override;
    double getAsFloat() override;
    void setAsFloat(double v) override;
    TDataObj* getAsReference() override;
    void setAsReference(TDataObj* obj) override;
    double getAsDate() override;
    void setAsDate(double v) override;
    double getAsDateTime() override;
    void setAsDateTime(double v) override;
    // Inline values: "INCL", the size (8 hex digits), the kind (4 hex digits) and the bytes (2 hex
    // digits each). External values: "EXCL", size and kind; the bytes live in a file of their own.
    // Empty data is an empty text. Reading accepts both forms (an external header leaves the bytes
    // to be loaded through the object manager when first needed); anything else throws EConvertError.
    QString getAsXML() override;
    void setAsXML(const QString& v) override;
    bool isDefaultOrEmptyOrZero() override;
    // The inline form, whatever the value type (single-file texts).
    QString inlineXMLText();

    // The bytes; external data not loaded yet is loaded first (object manager).
    const QByteArray& data();
    // The storing setter of binary values.
    void setData(const QByteArray& data);
    int32_t dataSize() const { return fDataSize; }
    int32_t dataKind() const { return fDataKind; }
    void setDataKind(int32_t v) { fDataKind = v & 0xFFFF; }
    bool dataLoaded() const { return fDataLoaded || fDataSize == 0; }
    // Fills the bytes of external data from its file without marking anything (object manager).
    void setLoadedData(const QByteArray& bytes);
    void ensureDataLoaded();

protected:
    void initContents() override;
    void storeHeader(int32_t size, int32_t kind, const QByteArray* bytes);
    int32_t fDataSize = 0;
    QByteArray fByteData;
    bool fDataLoaded = false;
    int32_t fDataKind = 0;
};

} // namespace fmx
