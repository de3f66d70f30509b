// Notes on values. A note lives in the "Notities" list of the value's notes root (a file root whose
// definition has HasNotes) and names its value by the owning object's ID and the value's XML name.
// Validation of a tree, which records its findings as notes.
#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"

#include "fmx_assert.h"

namespace fmx {

namespace {

constexpr int32_t kNoteStateChanged = 0x400;
// The note kinds used here.
constexpr int32_t kNoteError = 2;
constexpr int32_t kNotePhoto = 5;
// Validation message (and note code) of an invalid reference.
constexpr int32_t kValMsgInvalidRefs = 34;

TDataObjODRoot* notesRootOf(TAbstractDataValue* v) {
    return dynamic_cast<TDataObjODRoot*>(v->getDBNotesRoot());
}

bool keepsNotes(TDataObjODRoot* r) {
    return r && r->Definition()->HasNotes();
}

// Kinds that always add a new note (remarks, photos, mutations, errors without a code).
bool alwaysNew(int32_t kind, int32_t code) {
    return kind == 0 || kind == 5 || kind == 6 || ((kind == 2 || kind == 7) && code == 0);
}

int32_t ownerID(TAbstractDataValue* v) {
    return v->Parent() ? v->Parent()->ID() : 0;
}

bool notesOf(TObjNote* n, int32_t objID, const QString& xmlName) {
    return n->getValueWithID(gvalNoteObjID)->getAsInteger() == objID &&
           n->getValueWithID(gvalNoteValXMLName)->getAsString() == xmlName;
}

} // namespace

// ---- TObjNote ----

void TObjNote::init() {
    for (int32_t id : {gvalNoteObjID, gvalNoteValXMLName, gvalNoteCode, gvalNoteDate, gvalNoteUserID,
                       gvalNoteKind, gvalNoteDescr, gvalNoteObjPath, gvalNoteCopy, gvalNoteFoto})
        cAddVal(id);
}

int32_t TObjNote::noteKind() {
    return getValueWithID(gvalNoteKind)->getAsInteger();
}
int32_t TObjNote::noteCode() {
    return getValueWithID(gvalNoteCode)->getAsInteger();
}

TAbstractDataValue* TObjNote::getValuePtr() {
    TDataObjODRoot* r = dbRoot();
    if (!r) return nullptr;
    TDataObj* owner = r->searchForDataObjWithID(getValueWithID(gvalNoteObjID)->getAsInteger());
    return owner ? owner->getValueWithXML(getValueWithID(gvalNoteValXMLName)->getAsString()) : nullptr;
}

int32_t TObjNote::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags, TAbstractRootObj* secObject) {
    if (flags & trgNoteObjPath) {
        if (!fBusySync) {
            TAbstractDataValue* v = getValuePtr();
            const QString descr = !v            ? QStringLiteral("?")
                                  : v->Parent() ? v->Parent()->getNotePathDescr(v)
                                                : v->hint();
            // Cut to the field: a long description must not make reading "Betreft" fail.
            getValueWithID(gvalNoteObjPath)->setAsTruncString(descr);
        }
        flags &= ~trgNoteObjPath;
    }
    return TDataObj::handleTrigger(objTriggered, flags, secObject);
}

void TObjNote::afterCreateOrLoad(bool isNewObj) {
    TDataObj::afterCreateOrLoad(isNewObj);
    if (!isNewObj && getValueWithID(gvalNoteUserID)->getAsInteger() == 0)
        getValueWithID(gvalNoteDescr)->setReadOnlyUI(true);
}

// ---- the notes root ----

TObjNote* TDataObjODRoot::validateNoteExists(TAbstractDataValue* pValue, int32_t pNoteCode) {
    FMX_ASSERT(fDefinition->HasNotes(), QStringLiteral("TDataObjODRoot.validateNoteExists: geen notities"));
    TDataObjList* notes = getListWithID(gldefNotes);
    if (!notes) return nullptr;
    const int32_t objID = ownerID(pValue);
    const QString xml = pValue->XMLName();
    for (int i = 0; i < notes->objCount(); ++i) {
        auto* n = static_cast<TObjNote*>(notes->obj(i));
        if (notesOf(n, objID, xml) && n->noteCode() == pNoteCode) return n;
    }
    return nullptr;
}

TObjNote* TDataObjODRoot::intAddNote(TAbstractDataValue* value, int32_t kind, int32_t code,
                                     const QString& descr) {
    FMX_ASSERT(fDefinition->HasNotes(), QStringLiteral("TDataObjODRoot.intAddNote: geen notities"));
    if (!fDefinition->HasNotes()) return nullptr;
    if (!alwaysNew(kind, code)) {
        if (TObjNote* n = validateNoteExists(value, code)) {
            if (kind == 1 || kind == 2 || kind == 7) n->getValueWithID(gvalNoteKind)->setAsInteger(kind);
            value->setHasNotes(1);
            return n;
        }
    }
    auto* n = static_cast<TObjNote*>(getListWithID(gldefNotes)->cAddObj(gdefNote));
    n->getValueWithID(gvalNoteObjID)->setAsInteger(ownerID(value));
    n->getValueWithID(gvalNoteValXMLName)->setAsString(value->XMLName());
    n->getValueWithID(gvalNoteCode)->setAsInteger(code);
    // The kinds that always add a note are the ones a user writes: they carry the current user.
    n->getValueWithID(gvalNoteUserID)->setAsInteger(alwaysNew(kind, code) ? dmCurrUserID() : 0);
    n->getValueWithID(gvalNoteKind)->setAsInteger(kind);
    n->getValueWithID(gvalNoteDate)->setAsDateTime(dmNow());
    n->getValueWithID(gvalNoteDescr)->setAsString(descr.left(240));
    value->setHasNotes(1);
    return n;
}

void TDataObjODRoot::deleteNotesFrom(TAbstractDataValue* value) {
    FMX_ASSERT(fDefinition->HasNotes(), QStringLiteral("TDataObjODRoot.deleteNotesFrom: geen notities"));
    TDataObjList* notes = getListWithID(gldefNotes);
    if (!notes) return;
    const int32_t objID = ownerID(value);
    const QString xml = value->XMLName();
    for (int i = notes->objCount() - 1; i >= 0; --i)
        if (notesOf(static_cast<TObjNote*>(notes->obj(i)), objID, xml))
            notes->removeObject(notes->obj(i), false);
    if (notes->objCount() > 0) value->setHasNotes(2);
}

void TDataObjODRoot::deleteValidateNote(TAbstractDataValue* value, int32_t code) {
    FMX_ASSERT(fDefinition->HasNotes(), QStringLiteral("TDataObjODRoot.deleteValidateNote: geen notities"));
    TDataObjList* notes = getListWithID(gldefNotes);
    if (!notes) return;
    const int32_t objID = ownerID(value);
    const QString xml = value->XMLName();
    bool deleted = false;
    for (int i = notes->objCount() - 1; i >= 0; --i) {
        auto* n = static_cast<TObjNote*>(notes->obj(i));
        if (notesOf(n, objID, xml) && n->noteCode() == code) {
            notes->removeObject(n, false);
            deleted = true;
        }
    }
    if (deleted) value->setHasNotes(0);
}

void TDataObjODRoot::deleteNote(TDataObj* note) {
    FMX_ASSERT(fDefinition->HasNotes(), QStringLiteral("TDataObjODRoot.deleteNote: geen notities"));
    auto* n = dynamic_cast<TObjNote*>(note);
    if (!n || !n->ParentList()) return;
    TAbstractDataValue* v = n->getValuePtr();
    n->ParentList()->removeObject(n, false);
    if (v) v->setHasNotes(0);
}

bool TDataObjODRoot::valueHasNotes(TAbstractDataValue* value) {
    TDataObjList* notes = getListWithID(gldefNotes);
    if (!notes) return false;
    const int32_t objID = ownerID(value);
    const QString xml = value->XMLName();
    for (int i = 0; i < notes->objCount(); ++i)
        if (notesOf(static_cast<TObjNote*>(notes->obj(i)), objID, xml)) return true;
    return false;
}

bool TDataObjODRoot::anyErrorNotePresentForObj(TDataObj* forObj, bool inclWarning, bool inclCustomError) {
    TDataObjList* notes = getListWithID(gldefNotes);
    if (!notes) return false;
    for (int i = 0; i < notes->objCount(); ++i) {
        auto* n = static_cast<TObjNote*>(notes->obj(i));
        if (forObj && n->getValueWithID(gvalNoteObjID)->getAsInteger() != forObj->ID()) continue;
        const int32_t k = n->noteKind();
        if (k == 2 || (inclWarning && k == 1) || (inclCustomError && k == 7)) return true;
    }
    return false;
}

bool TDataObjODRoot::anyErrorNotePresent(bool inclWarning, bool inclCustomError) {
    return anyErrorNotePresentForObj(nullptr, inclWarning, inclCustomError);
}

// ---- values ----

int32_t TAbstractDataValue::getHasNotes() {
    if (fNoteState == 0) {
        TDataObjODRoot* r = notesRootOf(this);
        fNoteState = keepsNotes(r) && r->valueHasNotes(this) ? 1 : 2;
    }
    return fNoteState;
}

void TAbstractDataValue::setHasNotes(int32_t newState) {
    fNoteState = newState;
    if (!fBusy) handleTrigger(this, kNoteStateChanged, nullptr);
}

TDataObj* TAbstractDataValue::addNote(int32_t pNoteKind, int32_t pNoteCode, const QString& pDescr) {
    TDataObjODRoot* r = notesRootOf(this);
    FMX_ASSERT(r != nullptr, QStringLiteral("TAbstractDataValue.addNote: geen root"));
    if (!keepsNotes(r)) return nullptr;
    return r->intAddNote(this, pNoteKind, pNoteCode, pDescr);
}

void TAbstractDataValue::deleteNote(TDataObj* note) {
    TDataObjODRoot* r = notesRootOf(this);
    FMX_ASSERT(keepsNotes(r), QStringLiteral("TAbstractDataValue.deleteNote: geen notities"));
    if (keepsNotes(r)) r->deleteNote(note);
}

void TAbstractDataValue::deleteValidateNotes(int32_t pNoteCode) {
    TDataObjODRoot* r = notesRootOf(this);
    FMX_ASSERT(keepsNotes(r), QStringLiteral("TAbstractDataValue.deleteValidateNotes: geen notities"));
    if (keepsNotes(r)) r->deleteValidateNote(this, pNoteCode);
}

void TAbstractDataValue::removeAllNotes() {
    TDataObjODRoot* r = notesRootOf(this);
    FMX_ASSERT(r != nullptr, QStringLiteral("TAbstractDataValue.removeAllNotes: geen root"));
    if (keepsNotes(r)) r->deleteNotesFrom(this);
}

void TAbstractDataValue::doCopyNotes(TAbstractDataValue* fromValue) {
    TDataObjODRoot* mine = notesRootOf(this);
    TDataObjODRoot* theirs = notesRootOf(fromValue);
    if (!keepsNotes(mine) || !keepsNotes(theirs) || fromValue->getHasNotes() != 1) return;
    const int32_t fromID = ownerID(fromValue);
    const QString fromXML = fromValue->XMLName();
    // Two values that name the same notes (the value itself, or a twin with the same owner ID in the
    // same root) already share them: replacing would delete the source's notes.
    if (mine == theirs && ownerID(this) == fromID && XMLName() == fromXML) return;

    struct TCopiedNote {
        int32_t kind, code;
        QString descr;
        TBinDataValue* photo;
    };
    std::vector<TCopiedNote> copies;
    TDataObjList* notes = theirs->getListWithID(gldefNotes);
    for (int i = 0; notes && i < notes->objCount(); ++i) {
        auto* n = static_cast<TObjNote*>(notes->obj(i));
        if (!notesOf(n, fromID, fromXML) || n->getValueWithID(gvalNoteCopy)->getAsInteger() != 1) continue;
        copies.push_back({n->noteKind(), n->noteCode(), n->getValueWithID(gvalNoteDescr)->getAsString(),
                          static_cast<TBinDataValue*>(n->getValueWithID(gvalNoteFoto))});
    }
    mine->deleteNotesFrom(this);
    for (const TCopiedNote& c : copies) {
        TObjNote* n = mine->intAddNote(this, c.kind, c.code, c.descr);
        n->getValueWithID(gvalNoteCopy)->setAsInteger(1);
        if (c.kind == kNotePhoto) {
            auto* photo = static_cast<TBinDataValue*>(n->getValueWithID(gvalNoteFoto));
            photo->setData(c.photo->data());
            photo->setDataKind(c.photo->dataKind());
        }
    }
}

// ---- validation ----

namespace {

// Records the finding on one value as a validation note (only under a root that keeps notes).
void noteFinding(TAbstractDataValue* v, bool valid, int32_t code) {
    if (!keepsNotes(notesRootOf(v))) return;
    if (!valid)
        v->addNote(kNoteError, code, valMsgText(code));
    else if (v->getHasNotes() == 1)
        v->deleteValidateNotes(code);
}

} // namespace

bool TDataObj::validate() {
    bool ok = true;
    for (auto& v : fValues) {
        if (auto* r = dynamic_cast<TRefDataValue*>(v.get())) {
            const bool valid = r->isValidReference(false);
            noteFinding(r, valid, kValMsgInvalidRefs);
            ok = valid && ok;
        }
    }
    for (auto& o : fSubObj)
        ok = o->validate() && ok;
    for (auto& l : fLists) {
        if (l->defID() == gldefNotes) continue;
        for (int i = l->objCount() - 1; i >= 0; --i) {
            TDataObj* o = l->obj(i);
            if (o->validate()) continue;
            ok = false;
            if (l->Definition()->DelInvalidObj()) l->removeObject(o, false);
        }
    }
    return ok;
}

bool TDataObjODRoot::validate() {
    const bool ok = TDataObj::validate();
    // After the walk, so that the notes of objects it deleted go as well.
    if (fDefinition->HasNotes()) {
        if (TDataObjList* notes = getListWithID(gldefNotes))
            for (int i = notes->objCount() - 1; i >= 0; --i)
                if (!static_cast<TObjNote*>(notes->obj(i))->getValuePtr())
                    notes->removeObject(notes->obj(i), false);
    }
    return ok;
}

} // namespace fmx
