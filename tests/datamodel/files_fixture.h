// Files of data trees: the small schema of dm_fixture.h plus a root that holds one value of every
// type, a temporary folder, and helpers to compare two trees value by value.
#pragma once

#include "dm_fixture.h"
#include "objmanager.h"
#include "xmlerrors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fmxtest {

struct TFileSchema {
    int32_t valInt = 0, valFlt = 0, valStr = 0, valEnum = 0, valDay = 0, valStamp = 0, valBin = 0,
            valBinX = 0, valLit = 0, valCRLF = 0, valQuiet = 0, defAll = 0, valThingName = 0, defThing = 0,
            ldefThings = 0, ldefQuiet = 0, defSmall = 0, defPage = 0, ldefPages = 0;
};
inline TFileSchema F;

// A root with every value type, the settings sub-object and the items list.
class TAllRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        for (int32_t id : {F.valInt, F.valFlt, F.valStr, F.valEnum, F.valDay, F.valStamp, F.valBin, F.valLit,
                           F.valCRLF, F.valQuiet})
            cAddVal(id);
        cAddObj(S.defSettings);
        cAddList(S.ldefItems);
        cAddList(F.ldefQuiet);
    }
};

class TThing : public TDataObj {
public:
    void init() override { cAddVal(F.valThingName); }
};

// A root of three plain values and a list of things.
class TSmallRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        cAddVal(F.valInt);
        cAddVal(F.valFlt);
        cAddVal(F.valStr);
        cAddList(F.ldefThings);
    }
};

// An on-demand page holding an external binary value; a root with a list of pages.
class TPage : public TDataObj {
public:
    static bool checkIsLoadOnDemandObj() { return true; }
    static bool checkIsInstLocalObj() { return false; } // stored under its own (global) ID
    void init() override {
        cAddVal(S.valName);
        cAddVal(F.valBinX);
    }
};
class TPagesRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        cAddVal(F.valBinX);
        cAddList(F.ldefPages);
    }
};

class FilesTest : public DataModelTest {
protected:
    void SetUp() override {
        DataModelTest::SetUp();
        registerDataModelExceptions();
        registerXMLExceptions();
        F = TFileSchema{};
        const QString none;
        TDataValueDef::Create(F.valInt, QStringLiteral("Int"), none, dvtInteger, none);
        TDataValueDef::Create(F.valFlt, QStringLiteral("Flt"), none, dvtFloat, none);
        TDataValueDef::Create(F.valStr, QStringLiteral("Str"), none, dvtString, none)->setDBFieldSize(1000);
        TDataValueDef::Create(F.valEnum, QStringLiteral("Choice"), none, dvtEnum, none);
        dmData->addEnum(1, QStringLiteral("One"));
        dmData->addEnum(2, QStringLiteral("Two"));
        dmData->addEnum(3, QStringLiteral("Three"));
        TDataValueDef::Create(F.valDay, QStringLiteral("Day"), none, dvtDate, none);
        TDataValueDef::Create(F.valStamp, QStringLiteral("Stamp"), none, dvtDateTime, none);
        TDataValueDef::Create(F.valBin, QStringLiteral("Blob"), none, dvtBinaryIncl, none);
        TDataValueDef::Create(F.valBinX, QStringLiteral("Picture"), none, dvtBinaryExcl, none)
            ->setBinExtension(QStringLiteral(".png"));
        TDataValueDef::Create(F.valLit, QStringLiteral("Literal"), none, dvtString, none)
            ->setLiteralString(true);
        TDataValueDef::Create(F.valCRLF, QStringLiteral("Lines"), none, dvtString, none)
            ->setRestoreCRLF(true);
        TDataValueDef* q = TDataValueDef::Create(F.valQuiet, QStringLiteral("Quiet"), none, dvtInteger, none);
        q->setMMDAsInteger(2, 7);
        q->setDontStoreDefXML(true);
        TDataObjListDef::Create(F.ldefQuiet, QStringLiteral("QUI"), QStringLiteral("QuietItems"), none, 0, -1,
                                false, S.defItem)
            ->setDontStoreDefXML(true);
        TDataObjDef::Create(F.defAll, QStringLiteral("All"), none,
                            dataObjClassOf<TAllRoot>(QStringLiteral("TAllRoot")));
        TDataValueDef::Create(F.valThingName, QStringLiteral("Nm"), none, dvtString, none);
        TDataObjDef::Create(F.defThing, QStringLiteral("Thing"), none,
                            dataObjClassOf<TThing>(QStringLiteral("TThing")));
        TDataObjListDef::Create(F.ldefThings, QStringLiteral("THI"), QStringLiteral("Things"), none, 0, -1,
                                false, F.defThing);
        TDataObjDef::Create(F.defSmall, QStringLiteral("Small"), none,
                            dataObjClassOf<TSmallRoot>(QStringLiteral("TSmallRoot")));
        TDataObjDef::Create(F.defPage, QStringLiteral("Page"), none,
                            dataObjClassOf<TPage>(QStringLiteral("TPage")));
        TDataObjListDef::Create(F.ldefPages, QStringLiteral("PAG"), QStringLiteral("Pages"), none, 0, -1,
                                false, F.defPage)
            ->setOnDemandLoad(true);
        ASSERT_TRUE(tmp.isValid());
    }

    template <class T> std::unique_ptr<T> newRoot(int32_t defID, bool isNew = true) {
        std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(defID)->CreateRootDataObj(true, isNew);
        o->setBusy(false);
        return std::unique_ptr<T>(static_cast<T*>(o.release()));
    }
    // A loaded root of defID read from file.
    std::unique_ptr<TDataObjODRoot> loadRoot(int32_t defID, const QString& file) {
        std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(defID)->CreateRootDataObj(true, false);
        std::unique_ptr<TDataObjODRoot> r(static_cast<TDataObjODRoot*>(o.release()));
        r->loadFromFile(file);
        return r;
    }
    QString path(const QString& name) const { return tmp.path() + QLatin1Char('/') + name; }
    static QByteArray readFile(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Two trees hold the same IDs, load orders and value texts, node by node.
    static void expectSameTree(TDataObj* a, TDataObj* b, const QString& where = QStringLiteral("root")) {
        ASSERT_EQ(a->defID(), b->defID()) << where.toStdString();
        EXPECT_EQ(a->rawID(), b->rawID()) << where.toStdString();
        EXPECT_EQ(a->loadOrder(), b->loadOrder()) << where.toStdString();
        ASSERT_EQ(a->ValueCount(), b->ValueCount()) << where.toStdString();
        for (int i = 0; i < a->ValueCount(); ++i)
            EXPECT_EQ(a->value(i)->getAsXML(), b->value(i)->getAsXML())
                << (where + QLatin1Char('.') + a->value(i)->XMLName()).toStdString();
        ASSERT_EQ(a->objCount(), b->objCount()) << where.toStdString();
        for (int i = 0; i < a->objCount(); ++i)
            expectSameTree(a->obj(i), b->obj(i), where + QStringLiteral(".sub") + QString::number(i));
        ASSERT_EQ(a->ListCount(), b->ListCount()) << where.toStdString();
        for (int l = 0; l < a->ListCount(); ++l) {
            ASSERT_EQ(a->list(l)->objCount(), b->list(l)->objCount()) << where.toStdString();
            for (int i = 0; i < a->list(l)->objCount(); ++i)
                expectSameTree(a->list(l)->obj(i), b->list(l)->obj(i),
                               where + QLatin1Char('.') + a->list(l)->Definition()->XMLName() +
                                   QString::number(i));
        }
    }

    QTemporaryDir tmp;
};

} // namespace fmxtest
