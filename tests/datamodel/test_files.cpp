// Data-tree files: the exact texts, round trips, the reading rules and broken or hostile files.
#include "files_fixture.h"

#include "xmlreader.h"
#include "xmlwriter.h"

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <limits>

namespace fmxtest {
namespace {

int32_t fixedRootID() {
    return 7;
}

// Builds a tree with every value type, a sub-object, two listed items referring to each other, unicode
// and empty texts and extreme doubles.
std::unique_ptr<TAllRoot> buildFullTree(FilesTest&, std::unique_ptr<TAllRoot> r, double flt) {
    r->getValueWithID(F.valInt)->setAsInteger(-2147483647);
    r->getValueWithID(F.valFlt)->setAsFloat(flt);
    r->getValueWithID(F.valStr)->setAsString(QStringLiteral("Gülle & <Mais> \"Çé\" 沼气 \U0001F404"));
    r->getValueWithID(F.valEnum)->setAsInteger(3);
    r->getValueWithID(F.valDay)->setAsXML(QStringLiteral("2024-02-29"));
    r->getValueWithID(F.valStamp)->setAsXML(QStringLiteral("1999-12-31 23:59:58"));
    static_cast<TBinDataValue*>(r->getValueWithID(F.valBin))->setData(QByteArray("\x00\x01\xFE\xFF", 4));
    r->getValueWithID(F.valLit)->setAsString(QStringLiteral("a]]b <c>"));
    r->getValueWithID(F.valCRLF)->setAsString(QStringLiteral("one\r\ntwo"));
    r->getValueWithID(F.valQuiet)->setAsInteger(8);
    r->getSubObjWithDefID(S.defSettings)->getValueWithID(S.valLevel)->setAsFloat(-1.7976931348623157e308);
    TDataObjList* items = r->getListWithID(S.ldefItems);
    TDataObj* a = items->cAddObj(-1);
    TDataObj* b = items->cAddObj(-1);
    a->setName(QString());
    b->setName(QStringLiteral("B"));
    a->getValueWithID(S.valAmount)->setAsFloat(-9.0e15);
    b->getValueWithID(S.valAmount)->setAsFloat(0.1 + 0.2);
    a->getValueWithID(S.valRef)->setAsReference(b);
    b->getValueWithID(S.valRef)->setAsReference(a);
    return r;
}

TEST_F(FilesTest, SmallRootIsWrittenExactly) {
    dmObjectManagerHooks().claimID = &fixedRootID;
    auto r = newRoot<TSmallRoot>(F.defSmall);
    r->getValueWithID(F.valInt)->setAsInteger(5);
    r->getValueWithID(F.valFlt)->setAsFloat(0.25);
    TDataObj* t = r->getListWithID(F.ldefThings)->cAddObj(-1);
    t->getValueWithID(F.valThingName)->setAsString(QStringLiteral("a<b"));
    r->saveToFile(path(QStringLiteral("small")), true, sxt_ForFileStorage);
    const QByteArray expected = "<ROOT>\r\n"
                                "<Small rid=\"#7\">\r\n"
                                "<ProgVersion>1</ProgVersion>\r\n"
                                "<LastUsedID>2147418113</LastUsedID>\r\n"
                                "<Int>5</Int>\r\n"
                                "<Flt>0.25</Flt>\r\n"
                                "<Str/>\r\n"
                                "<Things>\r\n"
                                "<Thing rid=\"#2147418113\" loadorder=\"#" +
                                QByteArray::number(t->loadOrder()) +
                                "\">\r\n"
                                "<Nm>a&lt;b</Nm>\r\n"
                                "</Thing>\r\n"
                                "</Things>\r\n"
                                "</Small>\r\n"
                                "</ROOT>\r\n";
    EXPECT_EQ(readFile(path(QStringLiteral("small.base.xml"))), expected);
    EXPECT_FALSE(r->isNew());
    EXPECT_FALSE(t->isNew());
    EXPECT_FALSE(t->getValueWithID(F.valThingName)->isNew());
}

TEST_F(FilesTest, SmallNumbersReadBackFromTheirFileExactly) {
    // An edit below the tolerance of 1e-6 is no change, but a file's number is taken as written
    // (cost coefficients such as 4.7e-08 were read as 0).
    for (const char* text : {"4.7E-08", "-1E-300", "5E-324"}) {
        writeFile(path(QStringLiteral("tiny.base.xml")),
                  QByteArray("<ROOT>\r\n<Small rid=\"#7\">\r\n<Flt>") + text + "</Flt>\r\n</Small>\r\n</ROOT>\r\n");
        auto back = loadRoot(F.defSmall, path(QStringLiteral("tiny.base.xml")));
        EXPECT_EQ(back->getValueWithID(F.valFlt)->getAsFloat(), QByteArray(text).toDouble()) << text;
    }
}

TEST_F(FilesTest, EveryValueTypeRoundTripsValueByValue) {
    // (Magnitudes below the set protocol's tolerance of 1e-6 never reach a value that holds 0.)
    for (double flt :
         {1.0 / 3.0, 1.7976931348623157e308, -1.0e300, 123456789012345678.0, 0.0, -0.000123456789012345}) {
        SCOPED_TRACE(flt);
        auto orig = buildFullTree(*this, newRoot<TAllRoot>(F.defAll), flt);
        orig->saveToFile(path(QStringLiteral("full")), true, sxt_ForFileStorage);
        auto back = loadRoot(F.defAll, path(QStringLiteral("full.base.xml")));
        expectSameTree(orig.get(), back.get());
        // Floats read back to the value their 15-digit text names.
        EXPECT_EQ(back->getValueWithID(F.valFlt)->getAsFloat(), floatFromXML(floatToXML(flt)));
        EXPECT_EQ(back->getValueWithID(F.valStr)->getAsString(),
                  orig->getValueWithID(F.valStr)->getAsString());
        EXPECT_EQ(back->getValueWithID(F.valLit)->getAsString(), QStringLiteral("a]]b <c>"));
        EXPECT_EQ(static_cast<TBinDataValue*>(back->getValueWithID(F.valBin))->data(),
                  QByteArray("\x00\x01\xFE\xFF", 4));
        TDataObjList* items = back->getListWithID(S.ldefItems);
        ASSERT_EQ(items->objCount(), 2);
        EXPECT_EQ(items->obj(0)->getValueWithID(S.valRef)->getAsReference(), items->obj(1));
        EXPECT_EQ(items->obj(1)->getValueWithID(S.valRef)->getAsReference(), items->obj(0));
        EXPECT_EQ(items->obj(0)->getValueWithID(S.valName)->getAsString(), QString());
        EXPECT_FALSE(back->isChanged());
        EXPECT_FALSE(back->isNew());
        // Writing what was read gives the same file.
        back->saveToFile(path(QStringLiteral("again")), false, sxt_ForFileStorage);
        EXPECT_EQ(readFile(path(QStringLiteral("again.base.xml"))),
                  readFile(path(QStringLiteral("full.base.xml"))));
    }
}

TEST_F(FilesTest, InlineBinaryText) {
    auto r = newRoot<TAllRoot>(F.defAll);
    auto* b = static_cast<TBinDataValue*>(r->getValueWithID(F.valBin));
    EXPECT_EQ(b->getAsXML(), QString());
    b->setData(QByteArray("\x01\xAB\xFF", 3));
    EXPECT_EQ(b->getAsXML(), QStringLiteral("INCL00000003000001ABFF"));
    b->setDataKind(0x1A2B);
    EXPECT_EQ(b->getAsXML(), QStringLiteral("INCL000000031A2B01ABFF"));
    for (const char* bad :
         {"INCL0000000300", "INCL00000003000001ABF", "INCL00000003000001abff", "INCL00000003000001ABFFFF",
          "EXCL0000000300001", "XYZL00000003000001ABFF", "INCL000G0003000001ABFF"}) {
        EXPECT_THROW(b->setAsXML(QLatin1String(bad)), EConvertError) << bad;
        EXPECT_EQ(b->data(), QByteArray("\x01\xAB\xFF", 3)) << bad;
    }
    b->setAsXML(QString());
    EXPECT_EQ(b->dataSize(), 0);
}

TEST_F(FilesTest, DatesWithTheYearLastReadAsMonthDayYear) {
    const QByteArray file = "<ROOT><All rid=\"#3\"><Day>12-31-2020</Day><Stamp>2021-03-04 05:06:07</Stamp>"
                            "<Str>x</Str></All></ROOT>";
    writeFile(path(QStringLiteral("d.base.xml")), file);
    auto r = loadRoot(F.defAll, path(QStringLiteral("d")));
    EXPECT_EQ(r->getValueWithID(F.valDay)->getAsXML(), QStringLiteral("2020-12-31"));
    EXPECT_EQ(r->getValueWithID(F.valStamp)->getAsXML(), QStringLiteral("2021-03-04 05:06:07"));
    EXPECT_EQ(r->rawID(), 3);
}

TEST_F(FilesTest, UnknownElementsAreSkippedWithTheirContent) {
    const QByteArray file =
        "<ROOT>\r\n<All rid=\"#3\">\r\n<Int>4</Int>\r\n"
        "<Mystery a=\"1\">\r\n<Int>99</Int>\r\n<Deeper>\r\n<Str>no</Str>\r\n</Deeper>\r\n</Mystery>\r\n"
        "<Str>yes</Str>\r\n<Items>\r\n<Stranger>\r\n<Name>x</Name>\r\n</Stranger>\r\n"
        "<Item rid=\"#2147418115\" loadorder=\"#100\">\r\n<Name>kept</Name>\r\n</Item>\r\n</Items>\r\n"
        "</All>\r\n</ROOT>\r\n";
    writeFile(path(QStringLiteral("u.base.xml")), file);
    auto r = loadRoot(F.defAll, path(QStringLiteral("u.base.xml")));
    EXPECT_EQ(r->getValueWithID(F.valInt)->getAsInteger(), 4);
    EXPECT_EQ(r->getValueWithID(F.valStr)->getAsString(), QStringLiteral("yes"));
    TDataObjList* items = r->getListWithID(S.ldefItems);
    ASSERT_EQ(items->objCount(), 1);
    EXPECT_EQ(items->obj(0)->name(), QStringLiteral("kept"));
    EXPECT_EQ(items->obj(0)->rawID(), 2147418115);
    EXPECT_EQ(items->obj(0)->loadOrder(), 100);
}

TEST_F(FilesTest, DefaultsLeftOutAndReadBack) {
    auto r = newRoot<TAllRoot>(F.defAll);
    r->saveToFile(path(QStringLiteral("q")), true, sxt_ForFileStorage);
    const QByteArray text = readFile(path(QStringLiteral("q.base.xml")));
    EXPECT_FALSE(text.contains("<Quiet")) << text.constData();
    EXPECT_FALSE(text.contains("<QuietItems")) << text.constData();
    EXPECT_FALSE(text.contains("<ObjVersion")) << text.constData();
    EXPECT_TRUE(text.contains("<Items>")) << text.constData(); // an empty plain list is written
    EXPECT_EQ(loadRoot(F.defAll, path(QStringLiteral("q")))->getValueWithID(F.valQuiet)->getAsInteger(), 7);
    // The report type leaves nothing out and writes display texts.
    r->getValueWithID(F.valEnum)->setAsInteger(2);
    TXMLWriter w;
    r->newSaveToXML(0, w, sxt_ForReport, false);
    const QByteArray report = w.asString();
    EXPECT_TRUE(report.contains("<Quiet>7</Quiet>")) << report.constData();
    EXPECT_TRUE(report.contains("<Choice nr=\"2\">Two</Choice>")) << report.constData();
    EXPECT_FALSE(report.contains("<Blob")) << report.constData();
}

TEST_F(FilesTest, LastUsedIDBelowTheLocalRangeIsRaised) {
    writeFile(path(QStringLiteral("l.base.xml")),
              "<ROOT><All rid=\"#3\"><LastUsedID>12</LastUsedID></All></ROOT>");
    auto r = loadRoot(F.defAll, path(QStringLiteral("l")));
    EXPECT_EQ(r->getValueWithID(gvalLastUsedID)->getAsInteger(), 2147418112);
    EXPECT_FALSE(r->isChanged());
    EXPECT_EQ(static_cast<TDataObjIDManager*>(r.get())->getNextID(), 2147418113);
}

TEST_F(FilesTest, RestoreCRLFRepairsBareLineFeeds) {
    writeFile(path(QStringLiteral("c.base.xml")),
              "<ROOT><All rid=\"#3\"><Lines>a\nb</Lines><Str>a\nb</Str></All></ROOT>");
    auto r = loadRoot(F.defAll, path(QStringLiteral("c")));
    EXPECT_EQ(r->getValueWithID(F.valCRLF)->getAsString(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(r->getValueWithID(F.valStr)->getAsString(), QStringLiteral("a\nb"));
}

TEST_F(FilesTest, ExportNamesGlobalReferencesAndLeavesIDManagersWithoutRid) {
    auto r = newRoot<TAllRoot>(F.defAll);
    TDataObj* a = r->getListWithID(S.ldefItems)->cAddObj(-1);
    a->setName(QStringLiteral("Alpha"));
    TDataObj* b = r->getListWithID(S.ldefItems)->cAddObj(-1);
    b->getValueWithID(S.valRef)->setAsReference(a);
    a->setRawID(55); // a global ID
    b->getValueWithID(S.valRef)->setAsInteger(55);
    TXMLWriter w;
    r->newSaveToXML(0, w, sxt_ForExport, false);
    const QByteArray text = w.asString();
    EXPECT_TRUE(text.startsWith("<All>\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("<Partner namedRef=\"1\">Alpha</Partner>")) << text.constData();
}

// A broken file throws its error; nothing crashes and nothing leaks.
TEST_F(FilesTest, BrokenFilesEndTheLoadWithTheirError) {
    struct Case {
        const char* what;
        QByteArray text;
    };
    const QByteArray deep = QByteArray("<ROOT><All rid=\"#1\">") + QByteArray("<Mystery>").repeated(100000) +
                            "x" + QByteArray("</Mystery>").repeated(100000) + "</All></ROOT>";
    const Case cases[] = {
        {"empty file", ""},
        {"not XML", "hello"},
        {"truncated", "<ROOT><All rid=\"#1\"><Int>5</Int>"},
        {"ROOT without object", "<ROOT></ROOT>"},
        {"bad integer", "<ROOT><All rid=\"#1\"><Int>five</Int></All></ROOT>"},
        {"bad rid", "<ROOT><All rid=\"#x\"></All></ROOT>"},
        {"bad date", "<ROOT><All rid=\"#1\"><Day>2020/01/01</Day></All></ROOT>"},
        {"impossible date", "<ROOT><All rid=\"#1\"><Day>2020-13-01</Day></All></ROOT>"},
        {"bad binary", "<ROOT><All rid=\"#1\"><Blob>INCL0000FFFF0000AB</Blob></All></ROOT>"},
        {"string too long", "<ROOT><All rid=\"#1\"><Str>" + QByteArray(1001, 'x') + "</Str></All></ROOT>"},
        {"unbalanced", "<ROOT><All rid=\"#1\"><Int>5</Str></All></ROOT>"},
        {"nested 100,000 deep", deep},
    };
    for (const Case& c : cases) {
        writeFile(path(QStringLiteral("bad.base.xml")), c.text);
        std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(F.defAll)->CreateRootDataObj(true, false);
        auto* r = static_cast<TDataObjODRoot*>(o.get());
        bool threw = false;
        try {
            r->loadFromFile(path(QStringLiteral("bad")));
        } catch (const TBaseDataError&) {
            threw = true;
        } catch (const TDmMessageError&) {
            threw = true;
        }
        EXPECT_TRUE(threw) << c.what;
    }
}

TEST_F(FilesTest, ATextAboveTheReaderLimitIsRefused) {
    QByteArray big = "<ROOT><All rid=\"#1\"><Str>";
    big += QByteArray(TXMLReader::kMaxValueBytes + 1, 'a');
    big += "</Str></All></ROOT>";
    writeFile(path(QStringLiteral("big.base.xml")), big);
    big.clear();
    auto o = newRoot<TAllRoot>(F.defAll, false);
    try {
        o->loadFromFile(path(QStringLiteral("big")));
        ADD_FAILURE() << "no error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_XMLReadError);
    }
}

TEST_F(FilesTest, AFileAboveTheSizeLimitIsRefusedUnread) {
    QFile f(path(QStringLiteral("huge.base.xml")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<ROOT><All>");
    ASSERT_TRUE(f.resize(TXMLReader::kMaxFileBytes + 1)); // sparse: takes no disk space
    f.close();
    auto o = newRoot<TAllRoot>(F.defAll, false);
    try {
        o->loadFromFile(path(QStringLiteral("huge")));
        ADD_FAILURE() << "no error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_XMLReadError);
    }
}

TEST_F(FilesTest, MissingFileNamesBothNames) {
    auto o = newRoot<TAllRoot>(F.defAll, false);
    try {
        o->loadFromFile(path(QStringLiteral("nothing.base.xml")));
        ADD_FAILURE() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.kind(), tdek_FileNotFound);
        EXPECT_EQ(
            e.message(),
            QStringLiteral("File \"%1\" not found (\"%1\")").arg(path(QStringLiteral("nothing.base.xml"))));
    }
}

// A write that fails half-way (the file-size limit stands in for a full disk, since the tests may run
// with rights that ignore read-only folders) leaves the old file as it was and reports the error.
TEST_F(FilesTest, FailedWriteKeepsTheOldFile) {
    auto r = buildFullTree(*this, newRoot<TAllRoot>(F.defAll), 1.5);
    r->saveToFile(path(QStringLiteral("keep")), true, sxt_ForFileStorage);
    const QByteArray before = readFile(path(QStringLiteral("keep.base.xml")));
    r->getValueWithID(F.valStr)->setAsString(QString(900, QLatin1Char('z')));
    ASSERT_TRUE(r->isChanged());

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        r->saveToFile(path(QStringLiteral("keep")), true, sxt_ForFileStorage);
    } catch (const TXMLFileError& e) {
        threw = true;
        EXPECT_TRUE(e.text().contains(QStringLiteral("keep.base.xml"))) << e.text().toStdString();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(readFile(path(QStringLiteral("keep.base.xml"))), before);
    EXPECT_TRUE(r->isChanged()); // nothing was stored, so the changes are still marked
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 1);
}

} // namespace
} // namespace fmxtest
