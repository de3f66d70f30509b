// A fresh registry per test, with a small schema: a file root holding a title, a settings
// sub-object and a list of items; items have a name, amounts, a count, a kind, a date and a
// reference to another item of the same list.
#pragma once

#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmformat.h"
#include "dmhooks.h"
#include "fmx_assert.h"
#include "uilink.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <memory>
#include <vector>

namespace fmxtest {

using namespace fmx;

struct TSchema {
    int32_t valTitle = 0, valName = 0, valAmount = 0, valCount = 0, valKind = 0, valDate = 0, valRef = 0,
            valNote = 0, defItem = 0, defRoot = 0, defSettings = 0, ldefItems = 0, valLevel = 0;
};
inline TSchema S;

class TTestItem : public TDataObj {
public:
    void init() override {
        cAddVal(S.valName);
        cAddVal(S.valAmount);
        cAddVal(S.valCount);
        cAddVal(S.valKind);
        cAddVal(S.valDate);
        cAddVal(S.valRef);
    }
};

class TTestSettings : public TDataObj {
public:
    void init() override { cAddVal(S.valLevel); }
};

class TTestRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        cAddVal(S.valTitle);
        cAddObj(S.defSettings);
        cAddList(S.ldefItems);
    }
    TDataObjList* items() const { return getListWithID(S.ldefItems); }
    TDataObj* settings() const { return getSubObjWithDefID(S.defSettings); }
};

// Records every trigger that reaches it.
class TRecordingLink : public TBaseUILink {
public:
    struct Hit {
        TAbstractRootObj* node;
        int32_t flags;
        TAbstractRootObj* second;
    };
    std::vector<Hit> hits;
    int linkChanges = 0;
    bool unregisterOnNext = false;
    std::vector<QString>* order = nullptr;
    QString tag;
    bool objIsChanged(TAbstractRootObj* node, int32_t flags, TAbstractRootObj* second) override {
        hits.push_back({node, flags, second});
        if (order) order->push_back(tag);
        if (unregisterOnNext) {
            unregisterOnNext = false;
            setLinkedObj(nullptr);
            return false;
        }
        return true;
    }
    void afterLinkChange() override { ++linkChanges; }
    int count(int32_t bit) const {
        int n = 0;
        for (const Hit& h : hits)
            n += (h.flags & bit) ? 1 : 0;
        return n;
    }
};

inline std::vector<QString> gErrorBoxes;

class DataModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        initFormatSettings(QLocale::c());
        gErrorBoxes.clear();
        setDmErrorSink([](const QString& t) { gErrorBoxes.push_back(t); });
        setDmClock([]() { return 45000.5; });
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
        reg = TdmData::create();
        S = TSchema{};
        declareSchema();
    }
    void TearDown() override {
        root.reset();
        reg.reset();
        setDmErrorSink(nullptr);
        setDmClock(nullptr);
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
        initFormatSettings(QLocale::c());
    }

    void declareSchema() {
        const QString none;
        TDataValueDef::Create(S.valTitle, QStringLiteral("Title"), none, dvtString, none);
        TDataValueDef::Create(S.valName, QStringLiteral("Name"), none, dvtString, none);
        dmData->registerNameValueID(S.valName);
        TDataValueDef::Create(S.valAmount, QStringLiteral("Amount"), none, dvtFloat2, QStringLiteral("kWe"));
        TDataValueDef* c = TDataValueDef::Create(S.valCount, QStringLiteral("Count"), none, dvtInteger, none);
        c->setMMDAsInteger(0, 0);
        c->setMMDAsInteger(1, 10);
        TDataValueDef::Create(S.valKind, QStringLiteral("Kind"), none, dvtEnum, none);
        dmData->addEnum(1, QStringLiteral("Manure"));
        dmData->addEnum(2, QStringLiteral("Maize"));
        TDataValueDef::Create(S.valDate, QStringLiteral("Start"), none, dvtDate, none);
        TDataValueDef::Create(S.valLevel, QStringLiteral("Level"), none, dvtFloat, none);
        S.defItem = dmData->forwardDeclObjDef(0);
        int32_t refType = S.defItem;
        TDataObjDef::Create(S.defItem, QStringLiteral("Item"), none,
                            dataObjClassOf<TTestItem>(QStringLiteral("TTestItem")));
        TDataValueDef::CreateRef(S.valRef, QStringLiteral("Partner"), none, refType,
                                 QStringLiteral(".-Items"));
        TDataObjDef::Create(S.defSettings, QStringLiteral("Settings"), none,
                            dataObjClassOf<TTestSettings>(QStringLiteral("TTestSettings")));
        TDataObjListDef::Create(S.ldefItems, QStringLiteral("ITMS"), QStringLiteral("Items"), none, 0, -1,
                                false, S.defItem);
        TDataObjDef::Create(S.defRoot, QStringLiteral("Project"), none,
                            dataObjClassOf<TTestRoot>(QStringLiteral("TTestRoot")));
    }

    // A loaded (not new, unchanged) root with the given item names.
    TTestRoot* makeRoot(const std::vector<QString>& names = {}, bool isNew = false) {
        root.reset(static_cast<TTestRoot*>(
            dmData->FindDataObjDefWithID(S.defRoot)->CreateRootDataObj(true, isNew).release()));
        for (const QString& n : names) {
            TDataObj* o = root->items()->cAddObj(-1);
            o->setName(n);
        }
        root->setBusy(false);
        if (!isNew) root->deepSetUnchanged();
        return root.get();
    }

    TDataObj* item(int i) { return root->items()->obj(i); }

    std::unique_ptr<TdmData> reg;
    std::unique_ptr<TTestRoot> root;
};

// The message of an assertion raised by f, or "" when none.
template <class F> QString assertionMessage(F&& f) {
    try {
        f();
    } catch (const TAssertionFailure& e) {
        return e.message();
    }
    return QString();
}

} // namespace fmxtest
