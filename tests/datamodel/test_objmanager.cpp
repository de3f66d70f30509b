// The object manager: opening and closing, the global data file, storage paths, storing, loading
// and deleting roots, binary and on-demand files, global IDs and rights.
#include "files_fixture.h"

#include "globals.h"
#include "messages.h"

namespace fmxtest {
namespace {

int gProjectDefsRuns = 0;

class ObjManagerTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        savedDirs = gDirs();
        mutableDirs().fPersonalDir = path(QStringLiteral("personal"));
        mutableDirs().fProgramDir = path(QStringLiteral("prog/bin/"));
        QDir().mkpath(path(QStringLiteral("personal")));
        QDir().mkpath(path(QStringLiteral("prog/bin")));
        gProjectDefsRuns = 0;
        setCreateProjectDefs([]() { ++gProjectDefsRuns; });
        oldSink = setMessageSink(&sink);
        oldHalt = setHaltHandler(&throwingHaltHandler);
        initDefs();
        man = objectManager();
    }
    void TearDown() override {
        root.reset();
        destroyObjectManager();
        setCreateProjectDefs({});
        setMessageSink(oldSink);
        setHaltHandler(oldHalt);
        mutableDirs() = savedDirs;
        gDefGlobaleDataID = 0;
        FilesTest::TearDown();
    }
    // A global data file in the program directory.
    void writeGlobalData(const QByteArray& extra = {}) {
        writeFile(path(QStringLiteral("prog/bin/global.base.xml")),
                  "<ROOT>\r\n<GlobaleData rid=\"#40\">\r\n<LastUsedID>2147418200</LastUsedID>\r\n" + extra +
                      "</GlobaleData>\r\n</ROOT>\r\n");
    }
    void open() { man->openData(true, true, 1, 1); }

    TApplDirs savedDirs;
    TRecordingMessageSink sink;
    TMessageSink* oldSink = nullptr;
    THaltHandler oldHalt = nullptr;
    TdmObjectManager* man = nullptr;
};

TEST_F(ObjManagerTest, StoragePathsOfIDs) {
    const struct {
        int32_t id;
        const char* path;
    } cases[] = {
        {0, "00-xx-xx/00-00-xx/00-00-00"},     {70000, "01-xx-xx/01-00-xx/01-00-93"},
        {12345, "00-xx-xx/00-01-xx/00-01-92"}, {6399999, "99-xx-xx/99-09-xx/99-09-99"},
        {640, "00-xx-xx/00-00-xx/00-00-10"},   {639, "00-xx-xx/00-00-xx/00-00-09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(man->bepaalServerPadNaam(c.id, nullptr), QLatin1String(c.path)) << c.id;
    EXPECT_FALSE(assertionMessage([&] { man->bepaalServerPadNaam(6400000, nullptr); }).isEmpty());
    EXPECT_FALSE(assertionMessage([&] { man->bepaalServerPadNaam(-1, nullptr); }).isEmpty());
}

TEST_F(ObjManagerTest, OpenLoadsTheGlobalDataAndCloseKeepsTheDefinitions) {
    writeGlobalData("<Unknown>\r\n<Gebruiker>x</Gebruiker>\r\n</Unknown>\r\n");
    open();
    EXPECT_TRUE(man->readyForWork());
    ASSERT_NE(man->globalData(), nullptr);
    EXPECT_EQ(man->globalData()->rawID(), 40);
    EXPECT_EQ(dmActGlobalData(), man->globalData());
    EXPECT_NE(man->dataClipBoard(), nullptr);
    EXPECT_EQ(man->ServerXMLDir(), path(QStringLiteral("personal/Fermalux")));
    EXPECT_TRUE(QFileInfo(man->ServerXMLDir()).isDir());
    EXPECT_EQ(gProjectDefsRuns, 1);
    const int objDefs = dmData->numObjDefs();

    man->closeData(false, false);
    EXPECT_FALSE(man->readyForWork());
    EXPECT_EQ(man->globalData(), nullptr);
    EXPECT_EQ(man->dataClipBoard(), nullptr);
    EXPECT_EQ(objectManager(), man);
    ASSERT_NE(dmData, nullptr);

    open();
    EXPECT_EQ(gProjectDefsRuns, 1);
    EXPECT_EQ(dmData->numObjDefs(), objDefs);
    EXPECT_NE(man->globalData(), nullptr);
    EXPECT_TRUE(sink.fShown.empty());
}

TEST_F(ObjManagerTest, GlobalDataFromTheDevelopmentFallback) {
    QDir().mkpath(path(QStringLiteral("prog/Source/basis data")));
    writeFile(path(QStringLiteral("prog/Source/basis data/global.ver1.base.xml")),
              "<ROOT><GlobaleData rid=\"#41\"></GlobaleData></ROOT>");
    open();
    EXPECT_EQ(man->globalData()->rawID(), 41);
}

TEST_F(ObjManagerTest, MissingGlobalDataStopsWithExitCode1) {
    try {
        open();
        ADD_FAILURE() << "no stop";
    } catch (const THaltRequest& h) {
        EXPECT_EQ(h.fExitCode, 1);
    }
    ASSERT_EQ(sink.fShown.size(), 1u);
    EXPECT_EQ(sink.fShown[0].fText, QStringLiteral("Global data file not found, quitting"));
}

TEST_F(ObjManagerTest, BrokenGlobalDataFailsTheOpeningAndClosesAgain) {
    writeFile(path(QStringLiteral("prog/bin/global.base.xml")), "<ROOT><GlobaleData rid=\"#4");
    EXPECT_THROW(open(), TBaseDataError);
    EXPECT_FALSE(man->readyForWork());
    EXPECT_EQ(man->globalData(), nullptr);
}

TEST_F(ObjManagerTest, LoadByNameNeedsTheBaseXMLFile) {
    writeGlobalData();
    open();
    writeFile(path(QStringLiteral("x.xml")), "<ROOT><All rid=\"#3\"></All></ROOT>");
    EXPECT_EQ(man->laadDataObjODRootFromFile(F.defAll, tmp.path(), QStringLiteral("x")), nullptr);
    EXPECT_EQ(man->laadDataObjODRoot(F.defAll, 4711, false), nullptr);

    writeFile(path(QStringLiteral("y.base.xml")), "<ROOT><All rid=\"#3\"><Int>12</Int></All></ROOT>");
    auto r = man->laadDataObjODRootFromFile(F.defAll, tmp.path(), QStringLiteral("y"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->getValueWithID(F.valInt)->getAsInteger(), 12);
    EXPECT_EQ(r->useFileName(), path(QStringLiteral("y")));
    EXPECT_FALSE(r->isBusy());
    EXPECT_FALSE(r->isChanged());

    writeFile(path(QStringLiteral("z.base.xml")), "<ROOT><All rid=\"#3\"><Int>twelve</Int></All></ROOT>");
    EXPECT_THROW(man->laadDataObjODRootFromFile(F.defAll, tmp.path(), QStringLiteral("z")), EConvertError);
}

TEST_F(ObjManagerTest, ClaimedIDsStayAboveTheLoadedOnes) {
    writeGlobalData();
    open();
    writeFile(
        path(QStringLiteral("g.base.xml")),
        "<ROOT><All rid=\"#900\"><Items><Item rid=\"#950\" loadorder=\"#100\"><Name>a</Name></Item></Items>"
        "</All></ROOT>");
    auto r = man->laadDataObjODRootFromFile(F.defAll, tmp.path(), QStringLiteral("g"));
    ASSERT_NE(r, nullptr);
    const int32_t id = man->claimID();
    EXPECT_GT(id, 950);
    EXPECT_LT(id, 0x7FFF0000);
    EXPECT_EQ(man->claimID(), id + 1);
}

TEST_F(ObjManagerTest, DeleteXMLFilesTakesOnlyTheNamedFiles) {
    QDir().mkpath(path(QStringLiteral("p")));
    for (const char* f :
         {"p/proj.base.xml", "p/proj.7.Picture.png", "p/project.base.xml", "p/aproj.base.xml"})
        writeFile(path(QLatin1String(f)), "x");
    TDataObjODRoot::deleteXMLFiles(path(QStringLiteral("p/proj.base.xml")));
    EXPECT_EQ(QDir(path(QStringLiteral("p"))).entryList(QDir::Files),
              QStringList({QStringLiteral("aproj.base.xml"), QStringLiteral("project.base.xml")}));
}

TEST_F(ObjManagerTest, RootStoredUnderItsIDAndDeleted) {
    writeGlobalData();
    open();
    auto r = newRoot<TAllRoot>(F.defAll);
    r->setRawID(12345);
    r->getValueWithID(F.valStr)->setAsString(QStringLiteral("stored"));
    man->saveDataObjDBObject(r.get(), false);
    EXPECT_FALSE(r->isNew());
    EXPECT_FALSE(r->isChanged());
    const QString dir = man->ServerXMLDir() + QStringLiteral("/00-xx-xx/00-01-xx/00-01-92");
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/12345.base.xml")).isFile());

    auto back = man->laadDataObjODRoot(F.defAll, 12345, false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getValueWithID(F.valStr)->getAsString(), QStringLiteral("stored"));
    EXPECT_TRUE(back->useFileName().isEmpty());

    writeFile(dir + QStringLiteral("/12345.0.Picture.png"), "x");
    writeFile(dir + QStringLiteral("/123456.base.xml"), "x");
    back->deleteObj(false);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList({QStringLiteral("123456.base.xml")}));
}

TEST_F(ObjManagerTest, ExternalBinaryAndOnDemandFiles) {
    writeGlobalData();
    open();
    int32_t defPagesRoot = 0;
    TDataObjDef::Create(defPagesRoot, QStringLiteral("Album"), QString(),
                        dataObjClassOf<TPagesRoot>(QStringLiteral("TPagesRoot")));
    auto r = newRoot<TPagesRoot>(defPagesRoot);
    r->setRawID(70000);
    static_cast<TBinDataValue*>(r->getValueWithID(F.valBinX))->setData(QByteArray("\x89PNG", 4));
    TDataObj* page = r->getListWithID(F.ldefPages)->cAddObj(-1);
    page->setName(QStringLiteral("first"));
    static_cast<TBinDataValue*>(page->getValueWithID(F.valBinX))->setData(QByteArray("abc", 3));
    man->saveDataObjDBObject(r.get(), false);
    const int32_t pageID = page->ID();

    const QString dir = man->ServerXMLDir() + QStringLiteral("/01-xx-xx/01-00-xx/01-00-93");
    EXPECT_EQ(readFile(dir + QStringLiteral("/70000.0.Picture.png")), QByteArray("\x89PNG", 4));
    EXPECT_EQ(readFile(dir + QStringLiteral("/70000.%1.Picture.png").arg(pageID)), QByteArray("abc"));
    const QByteArray rootText = readFile(dir + QStringLiteral("/70000.base.xml"));
    EXPECT_TRUE(rootText.contains("<Picture>EXCL000000040000</Picture>")) << rootText.constData();
    EXPECT_TRUE(rootText.contains("<DN>first</DN>")) << rootText.constData();
    EXPECT_FALSE(rootText.contains("EXCL00000003")) << rootText.constData();
    EXPECT_TRUE(QFileInfo(man->storageDir(pageID) + QStringLiteral("/%1.base.xml").arg(pageID)).isFile());

    auto back = man->laadDataObjODRoot(defPagesRoot, 70000, false);
    ASSERT_NE(back, nullptr);
    auto* pic = static_cast<TBinDataValue*>(back->getValueWithID(F.valBinX));
    EXPECT_FALSE(pic->dataLoaded());
    EXPECT_EQ(pic->data(), QByteArray("\x89PNG", 4));
    TDataObjList* pages = back->getListWithID(F.ldefPages);
    ASSERT_EQ(pages->objCount(), 1);
    EXPECT_TRUE(pages->getDataObject_NOD(0)->onDemandListObj());
    TDataObj* loaded = pages->obj(0);
    EXPECT_FALSE(loaded->onDemandListObj());
    EXPECT_EQ(loaded->name(), QStringLiteral("first"));
    EXPECT_EQ(static_cast<TBinDataValue*>(loaded->getValueWithID(F.valBinX))->data(), QByteArray("abc"));
    EXPECT_FALSE(back->isChanged());

    // A binary file whose size differs from the stored size is refused.
    writeFile(dir + QStringLiteral("/70000.0.Picture.png"), "short");
    auto again = man->laadDataObjODRoot(defPagesRoot, 70000, false);
    EXPECT_THROW(static_cast<TBinDataValue*>(again->getValueWithID(F.valBinX))->data(), TDataError);
}

TEST_F(ObjManagerTest, FailedStoreOfAnIDRootDeletesItsFilesAndShowsTheError) {
    writeGlobalData();
    open();
    auto r = newRoot<TAllRoot>(F.defAll);
    r->setRawID(12345);
    // A file where the storage directory should be: the directory cannot be made.
    writeFile(man->ServerXMLDir() + QStringLiteral("/00-xx-xx"), "in the way");
    man->saveDataObjDBObject(r.get(), false);
    ASSERT_EQ(sink.fShown.size(), 1u);
    EXPECT_TRUE(sink.fShown[0].fText.startsWith(
        QStringLiteral("TdmObjectManager.saveDataObjDBObject obj 12345 save to file failed: ")))
        << sink.fShown[0].fText.toStdString();
    EXPECT_FALSE(r->isNew());
    EXPECT_FALSE(r->isChanged());

    // A root with a file name of its own passes the failure on.
    r->setUseFileName(man->ServerXMLDir() + QStringLiteral("/00-xx-xx/sub/proj"));
    r->getValueWithID(F.valInt)->setAsInteger(3);
    EXPECT_THROW(man->saveDataObjDBObject(r.get(), false), TDataError);
    EXPECT_TRUE(r->isChanged());
}

TEST_F(ObjManagerTest, RightsComeFromTheEffectiveRights) {
    writeGlobalData();
    open();
    EXPECT_FALSE(man->userHasRight(5));
    EXPECT_TRUE(dmHasRight(-1));
    EXPECT_FALSE(dmHasRight(5));
    dmData->FindValueDefWithID(F.valInt)->setRightToChange(5);
    auto r = newRoot<TAllRoot>(F.defAll, false);
    EXPECT_THROW(r->getValueWithID(F.valInt)->setAsInteger(1), TDataError);
    EXPECT_EQ(r->getValueWithID(F.valInt)->getAsInteger(), 0);
}

// A root that counts its save hooks.
class TCountingRoot : public TAllRoot {
public:
    static inline int before = 0, after = 0;
    void beforeSaveChanges() override { ++before; }
    void afterSaveChanges() override { ++after; }
};

TEST_F(ObjManagerTest, SaveChangesStoresUpdatesVersionsAndClearsEveryMark) {
    writeGlobalData();
    open();
    int32_t defCounting = 0;
    TDataObjDef::Create(defCounting, QStringLiteral("Counted"), QString(),
                        dataObjClassOf<TCountingRoot>(QStringLiteral("TCountingRoot")));
    TCountingRoot::before = TCountingRoot::after = 0;
    auto r = newRoot<TCountingRoot>(defCounting, false);
    r->deepSetUnchanged();
    r->setUseFileName(path(QStringLiteral("saved")));
    r->getValueWithID(gvalProgVersion)->setAsInteger(0);
    r->deepSetUnchanged();

    r->saveChanges(tsceo_Unhandled, false); // neither new nor changed: nothing happens
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("saved.base.xml"))));
    EXPECT_EQ(r->getValueWithID(gvalObjVersion)->getAsInteger(), 0);
    EXPECT_EQ(r->getValueWithID(gvalProgVersion)->getAsInteger(), 0);
    EXPECT_EQ(TCountingRoot::after, 0);

    r->getListWithID(S.ldefItems)->cAddObj(-1)->setName(QStringLiteral("x"));
    r->saveChanges(tsceo_Unhandled, false);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("saved.base.xml"))).isFile());
    EXPECT_FALSE(r->anyChangesLeft(true));
    EXPECT_EQ(r->getValueWithID(gvalObjVersion)->getAsInteger(), 1);
    EXPECT_EQ(r->getValueWithID(gvalProgVersion)->getAsInteger(), dmProgramInfo().clientVersion);
    EXPECT_EQ(TCountingRoot::before, 1);
    EXPECT_EQ(TCountingRoot::after, 1);
    auto back = loadRoot(defCounting, path(QStringLiteral("saved")));
    EXPECT_EQ(back->getValueWithID(gvalObjVersion)->getAsInteger(), 1);
    EXPECT_EQ(back->getListWithID(S.ldefItems)->obj(0)->name(), QStringLiteral("x"));

    r->saveObjAs(path(QStringLiteral("other.base.xml")), tsceo_Unhandled, false);
    EXPECT_EQ(r->useFileName(), path(QStringLiteral("other")));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("other.base.xml"))).isFile());
    EXPECT_EQ(r->getValueWithID(gvalObjVersion)->getAsInteger(), 2);
    EXPECT_FALSE(r->anyChangesLeft(true));
}

TEST_F(ObjManagerTest, AFailedSaveKeepsTheChangesMarked) {
    writeGlobalData();
    open();
    auto r = newRoot<TAllRoot>(F.defAll);
    writeFile(path(QStringLiteral("blocker")), "a file, not a folder");
    r->setUseFileName(path(QStringLiteral("blocker/sub/proj")));
    EXPECT_THROW(r->saveChanges(tsceo_Unhandled, false), TDataError);
    EXPECT_TRUE(r->isNew());
}

TEST_F(ObjManagerTest, CloseForTheApplicationFreesTheManager) {
    writeGlobalData();
    open();
    man->closeData(true, false);
    EXPECT_EQ(objectManager(), nullptr);
    EXPECT_FALSE(dmObjectManagerHooks().actGlobalData);
}

} // namespace
} // namespace fmxtest
