// Notes on values, kept in the "Notities" list of a root whose definition has notes.
#include "dm_fixture.h"

#include <QTemporaryDir>

namespace fmxtest {
namespace {

// A root whose note path description can be set (empty: the framework's default) and that records
// the trigger bits reaching it.
class TNotedRoot : public TTestRoot {
public:
    QString pathDescr;
    int32_t seenBits = 0;
    QString getNotePathDescr(TAbstractDataValue* value) override {
        return pathDescr.isEmpty() ? TTestRoot::getNotePathDescr(value) : pathDescr;
    }
    int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                          TAbstractRootObj* secObject) override {
        seenBits |= flags;
        return TTestRoot::handleTrigger(objTriggered, flags, secObject);
    }
};

class NotesTest : public DataModelTest {
protected:
    void SetUp() override {
        DataModelTest::SetUp();
        TDataObjDef* d = TDataObjDef::Create(notedDef, QStringLiteral("Noted"), QString(),
                                             dataObjClassOf<TNotedRoot>(QStringLiteral("TNotedRoot")));
        d->setHasNotes(true);
        std::unique_ptr<TDataObj> o = d->CreateRootDataObj(true, false);
        noted.reset(static_cast<TNotedRoot*>(o.release()));
        noted->items()->cAddObj(-1)->setName(QStringLiteral("a"));
        noted->setBusy(false);
        value = noted->items()->obj(0)->getValueWithID(S.valCount);
    }
    void TearDown() override {
        noted.reset();
        DataModelTest::TearDown();
    }
    TDataObjList* notes() { return noted->getListWithID(gldefNotes); }
    int noteCount() { return notes()->objCount(); }
    TDataObj* addItem(const QString& name) {
        TDataObj* o = noted->items()->cAddObj(-1);
        o->setName(name);
        return o;
    }
    // The notes of one value, in list order.
    std::vector<TObjNote*> notesOf(TAbstractDataValue* v) {
        std::vector<TObjNote*> out;
        for (int i = 0; i < noteCount(); ++i) {
            auto* n = static_cast<TObjNote*>(notes()->obj(i));
            if (n->getValuePtr() == v) out.push_back(n);
        }
        return out;
    }

    int32_t notedDef = 0;
    std::unique_ptr<TNotedRoot> noted;
    TAbstractDataValue* value = nullptr;
};

TEST_F(NotesTest, WarningsWithTheSameCodeAreOneNoteAndRemarksAlwaysNew) {
    EXPECT_EQ(value->getHasNotes(), 2);
    TDataObj* w1 = value->addNote(1, 17, QStringLiteral("check"));
    TDataObj* w2 = value->addNote(1, 17, QStringLiteral("check again"));
    EXPECT_EQ(w1, w2);
    EXPECT_EQ(noteCount(), 1);
    EXPECT_EQ(value->getHasNotes(), 1);
    value->addNote(0, 0, QStringLiteral("remark"));
    value->addNote(0, 0, QStringLiteral("remark"));
    EXPECT_EQ(noteCount(), 3);
    // An import note with the code of the warning keeps the warning's kind; an error takes over.
    value->addNote(3, 17, QString());
    EXPECT_EQ(static_cast<TObjNote*>(w1)->noteKind(), 1);
    EXPECT_FALSE(noted->anyErrorNotePresent(false, false));
    EXPECT_TRUE(noted->anyErrorNotePresent(true, false));
    value->addNote(2, 17, QString(300, QLatin1Char('d')));
    EXPECT_EQ(static_cast<TObjNote*>(w1)->noteKind(), 2);
    EXPECT_TRUE(noted->anyErrorNotePresent(false, false));
    EXPECT_EQ(static_cast<TObjNote*>(w1)->getValuePtr(), value);
    TDataObj* longOne = value->addNote(7, 0, QString(300, QLatin1Char('x')));
    EXPECT_EQ(longOne->getValueWithID(gvalNoteDescr)->getAsString().size(), 240);
    EXPECT_TRUE(noted->anyErrorInclCustomNotePresent());
}

TEST_F(NotesTest, DeletingNotesResetsTheNoteState) {
    value->addNote(1, 5, QString());
    value->addNote(1, 6, QString());
    TAbstractDataValue* other = noted->getValueWithID(S.valTitle);
    other->addNote(0, 0, QStringLiteral("keep"));
    value->deleteValidateNotes(5);
    EXPECT_EQ(noteCount(), 2);
    EXPECT_EQ(value->getHasNotes(), 1); // worked out again: one note left
    value->removeAllNotes();
    EXPECT_EQ(noteCount(), 1);
    EXPECT_EQ(value->getHasNotes(), 2);
    EXPECT_TRUE(noted->anyErrorNotePresentForObj(noted.get(), true, true) == false);
}

TEST_F(NotesTest, RootsWithoutNotesAddNoneAndRefuseTheRootOperations) {
    makeRoot({QStringLiteral("a")});
    TAbstractDataValue* v = item(0)->getValueWithID(S.valCount);
    EXPECT_EQ(v->addNote(0, 0, QStringLiteral("x")), nullptr);
    EXPECT_EQ(v->getHasNotes(), 2);
    v->removeAllNotes();
    EXPECT_FALSE(assertionMessage([&] { v->deleteValidateNotes(1); }).isEmpty());
    EXPECT_FALSE(assertionMessage([&] { root->intAddNote(v, 0, 0, QString()); }).isEmpty());
}

TEST_F(NotesTest, BetreftDescribesTheNotedValue) {
    struct Case {
        const char* what;
        bool onRootValue;
        QString ownerDescr;
        bool deleteOwner;
        QString expected;
    };
    const Case cases[] = {
        {"default: the value's caption", false, QString(), false, QStringLiteral("Count")},
        {"the owner's own description", true, QStringLiteral("Project title"), false,
         QStringLiteral("Project title")},
        {"a long description is cut to the field", true, QString(300, QLatin1Char('p')), false,
         QString(254, QLatin1Char('p'))},
        {"the value is gone", false, QString(), true, QStringLiteral("?")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        notes()->emptyList(false);
        noted->pathDescr = c.ownerDescr;
        TDataObj* owner = addItem(QStringLiteral("x"));
        TAbstractDataValue* v =
            c.onRootValue ? noted->getValueWithID(S.valTitle) : owner->getValueWithID(S.valCount);
        TDataObj* note = v->addNote(0, 0, QStringLiteral("r"));
        if (c.deleteOwner) noted->items()->removeObject(owner, false);
        noted->deepSetUnchanged();
        noted->seenBits = 0;
        EXPECT_EQ(note->getValueWithID(gvalNoteObjPath)->getAsString(), c.expected);
        // Computing it is no edit, and the computing bit goes no further than the note.
        EXPECT_FALSE(noted->anyChangesPresent());
        EXPECT_EQ(noted->seenBits & trgNoteObjPath, 0);
    }
}

TEST_F(NotesTest, BetreftIsNotComputedWhileTheNoteSynchronises) {
    TDataObj* note = value->addNote(0, 0, QStringLiteral("r"));
    note->setBusySync(true);
    EXPECT_EQ(note->getValueWithID(gvalNoteObjPath)->getAsString(), QString());
    note->setBusySync(false);
    note->getValueWithID(gvalNoteObjPath)->resetDoneCalc();
    EXPECT_EQ(note->getValueWithID(gvalNoteObjPath)->getAsString(), QStringLiteral("Count"));
}

TEST_F(NotesTest, UserNotesCarryTheUserAndLoadedNotesWithoutUserAreReadOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    dmObjectManagerHooks().currUserID = []() { return 5; };
    TDataObj* byProgram = value->addNote(1, 3, QStringLiteral("warning"));
    TDataObj* byUser = value->addNote(0, 0, QStringLiteral("remark"));
    EXPECT_EQ(byProgram->getValueWithID(gvalNoteUserID)->getAsInteger(), 0);
    EXPECT_EQ(byUser->getValueWithID(gvalNoteUserID)->getAsInteger(), 5);
    EXPECT_FALSE(byProgram->getValueWithID(gvalNoteDescr)->ReadOnlyUI()); // a new note is editable
    const QString file = dir.path() + QStringLiteral("/noted");
    dmObjectManagerHooks().saveBinData = [](TBinDataValue*) {}; // the empty pictures have no file
    noted->saveToFile(file, true, sxt_ForFileStorage);

    std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(notedDef)->CreateRootDataObj(true, false);
    auto* back = static_cast<TDataObjODRoot*>(o.get());
    back->loadFromFile(file);
    back->setBusy(false);
    TDataObjList* loaded = back->getListWithID(gldefNotes);
    ASSERT_EQ(loaded->objCount(), 2);
    EXPECT_TRUE(loaded->obj(0)->getValueWithID(gvalNoteDescr)->ReadOnlyUI());
    EXPECT_FALSE(loaded->obj(1)->getValueWithID(gvalNoteDescr)->ReadOnlyUI());
}

TEST_F(NotesTest, CopiedValuesCarryTheNotesMarkedForCopying) {
    TDataObj* from = noted->items()->obj(0);
    TDataObj* to = addItem(QStringLiteral("b"));
    TAbstractDataValue* target = to->getValueWithID(S.valCount);
    target->addNote(0, 0, QStringLiteral("old remark"));
    value->addNote(1, 9, QStringLiteral("not copied"));
    value->addNote(0, 0, QStringLiteral("copied remark"))->getValueWithID(gvalNoteCopy)->setAsBoolean(true);
    TDataObj* photo = value->addNote(5, 0, QStringLiteral("photo"));
    photo->getValueWithID(gvalNoteCopy)->setAsBoolean(true);
    auto* pic = static_cast<TBinDataValue*>(photo->getValueWithID(gvalNoteFoto));
    pic->setData(QByteArray("\x89PNG", 4));
    pic->setDataKind(3);

    to->copyValuesFrom(from, {});
    const std::vector<TObjNote*> got = notesOf(target);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0]->noteKind(), 0);
    EXPECT_EQ(got[0]->getValueWithID(gvalNoteDescr)->getAsString(), QStringLiteral("copied remark"));
    EXPECT_EQ(got[1]->noteKind(), 5);
    for (TObjNote* n : got)
        EXPECT_TRUE(n->getValueWithID(gvalNoteCopy)->getAsBoolean());
    auto* copiedPic = static_cast<TBinDataValue*>(got[1]->getValueWithID(gvalNoteFoto));
    EXPECT_EQ(copiedPic->data(), QByteArray("\x89PNG", 4));
    EXPECT_EQ(copiedPic->dataKind(), 3);
    EXPECT_EQ(target->getHasNotes(), 1);
    EXPECT_EQ(notesOf(value).size(), 3u); // the source keeps all of its notes

    // A source without notes leaves the target's notes alone.
    TAbstractDataValue* plain = from->getValueWithID(S.valAmount);
    to->getValueWithID(S.valAmount)->addNote(0, 0, QStringLiteral("stays"));
    to->getValueWithID(S.valAmount)->doFastCopy(plain, false);
    EXPECT_EQ(notesOf(to->getValueWithID(S.valAmount)).size(), 1u);
}

// Copying a value onto itself (or onto a twin naming the same notes) used to replace its notes by
// the copies of those marked "DoCopy", losing the others.
TEST_F(NotesTest, CopyingAValueOntoItselfKeepsAllItsNotes) {
    value->addNote(1, 9, QStringLiteral("not marked"));
    value->addNote(0, 0, QStringLiteral("marked"))->getValueWithID(gvalNoteCopy)->setAsBoolean(true);
    value->doFastCopy(value, true);
    EXPECT_EQ(notesOf(value).size(), 2u);
}

TEST_F(NotesTest, NoNotesAreCopiedIntoOrFromARootWithout) {
    makeRoot({QStringLiteral("p")});
    TAbstractDataValue* plain = item(0)->getValueWithID(S.valCount);
    value->addNote(0, 0, QStringLiteral("m"))->getValueWithID(gvalNoteCopy)->setAsBoolean(true);
    value->setAsInteger(4);
    plain->doFastCopy(value, true);
    EXPECT_EQ(plain->getAsInteger(), 4);
    EXPECT_EQ(plain->getHasNotes(), 2);
    TAbstractDataValue* other = addItem(QStringLiteral("o"))->getValueWithID(S.valCount);
    other->addNote(0, 0, QStringLiteral("kept"));
    other->doFastCopy(plain, true);
    EXPECT_EQ(notesOf(other).size(), 1u);
}

TEST_F(NotesTest, ValidateNotesInvalidReferencesOnceAndDropsTheNoteWhenMended) {
    TDataObj* a = noted->items()->obj(0);
    TDataObj* b = addItem(QStringLiteral("b"));
    a->getValueWithID(S.valRef)->setAsReference(b);
    TAbstractDataValue* broken = b->getValueWithID(S.valRef);
    broken->setAsInteger(123456);
    EXPECT_FALSE(noted->validate());
    EXPECT_FALSE(noted->validate());
    std::vector<TObjNote*> got = notesOf(broken);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]->noteKind(), 2);
    EXPECT_EQ(got[0]->noteCode(), 34);
    EXPECT_EQ(got[0]->getValueWithID(gvalNoteDescr)->getAsString(), valMsgText(34));
    EXPECT_TRUE(notesOf(a->getValueWithID(S.valRef)).empty());
    EXPECT_TRUE(noted->anyErrorNotePresentForObj(b, false, false));

    broken->addNote(0, 0, QStringLiteral("a remark stays"));
    broken->setAsReference(a);
    EXPECT_TRUE(noted->validate());
    got = notesOf(broken);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]->noteKind(), 0);
    EXPECT_FALSE(noted->anyErrorNotePresent(true, true));
}

TEST_F(NotesTest, ValidateDeletesInvalidObjectsOfSuchListsAndNotesWithoutValue) {
    noted->items()->Definition()->setDelInvalidObj(true);
    TDataObj* bad = addItem(QStringLiteral("bad"));
    bad->getValueWithID(S.valRef)->setAsInteger(123456);
    TDataObj* gone = addItem(QStringLiteral("gone"));
    gone->getValueWithID(S.valCount)->addNote(0, 0, QStringLiteral("orphan"));
    value->addNote(0, 0, QStringLiteral("kept"));
    noted->items()->removeObject(gone, false);
    EXPECT_FALSE(noted->validate());
    ASSERT_EQ(noted->items()->objCount(), 1);
    EXPECT_EQ(noted->items()->obj(0)->name(), QStringLiteral("a"));
    ASSERT_EQ(noteCount(), 1);
    EXPECT_EQ(notes()->obj(0)->getValueWithID(gvalNoteDescr)->getAsString(), QStringLiteral("kept"));
    EXPECT_TRUE(noted->validate());
}

TEST_F(NotesTest, ValidateUnderARootWithoutNotesOnlyReports) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    item(1)->getValueWithID(S.valRef)->setAsInteger(123456);
    EXPECT_FALSE(root->validate());
    EXPECT_EQ(root->items()->objCount(), 2);
    item(1)->getValueWithID(S.valRef)->setAsReference(item(0));
    EXPECT_TRUE(root->validate());
}

} // namespace
} // namespace fmxtest
