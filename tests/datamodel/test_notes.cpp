// Notes on values, kept in the "Notities" list of a root whose definition has notes.
#include "dm_fixture.h"

namespace fmxtest {
namespace {

class NotesTest : public DataModelTest {
protected:
    void SetUp() override {
        DataModelTest::SetUp();
        int32_t def = 0;
        TDataObjDef* d = TDataObjDef::Create(def, QStringLiteral("Noted"), QString(),
                                             dataObjClassOf<TTestRoot>(QStringLiteral("TNotedRoot")));
        d->setHasNotes(true);
        std::unique_ptr<TDataObj> o = d->CreateRootDataObj(true, false);
        noted.reset(static_cast<TTestRoot*>(o.release()));
        noted->items()->cAddObj(-1)->setName(QStringLiteral("a"));
        noted->setBusy(false);
        value = noted->items()->obj(0)->getValueWithID(S.valCount);
    }
    void TearDown() override {
        noted.reset();
        DataModelTest::TearDown();
    }
    int noteCount() { return noted->getListWithID(gldefNotes)->objCount(); }

    std::unique_ptr<TTestRoot> noted;
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

} // namespace
} // namespace fmxtest
