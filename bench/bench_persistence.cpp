// Speed of the data-tree files: saving and loading a file of 1,000 values (a root with a list of 100
// objects of 10 values: floats, integers and strings).
//
// A separate executable: the registry of definitions is one per process, and fermalux_bench declares
// its own schema.
#include "dataobj.h"
#include "dmdata.h"
#include "dmformat.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

using namespace fmx;

struct TFileSchema {
    std::unique_ptr<TdmData> reg;
    std::vector<int32_t> vals;
    int32_t defItem = 0, defRoot = 0, ldefItems = 0;
};
TFileSchema* gSchema = nullptr;

class TItem : public TDataObj {
public:
    void init() override {
        for (int32_t id : gSchema->vals)
            cAddVal(id);
    }
};
class TRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        cAddList(gSchema->ldefItems);
    }
};

TFileSchema& schema() {
    if (gSchema) return *gSchema;
    initFormatSettings(QLocale::c());
    gSchema = new TFileSchema();
    gSchema->reg = TdmData::create();
    const QString none;
    for (int i = 0; i < 10; ++i) {
        int32_t id = 0;
        const int32_t type = i % 3 == 0 ? dvtFloat : i % 3 == 1 ? dvtInteger : dvtString;
        TDataValueDef::Create(id, QStringLiteral("Value%1").arg(i), none, type, none);
        gSchema->vals.push_back(id);
    }
    TDataObjDef::Create(gSchema->defItem, QStringLiteral("Item"), none,
                        dataObjClassOf<TItem>(QStringLiteral("TItem")));
    TDataObjListDef::Create(gSchema->ldefItems, QStringLiteral("BITM"), QStringLiteral("Items"), none, 0, -1,
                            false, gSchema->defItem);
    TDataObjDef::Create(gSchema->defRoot, QStringLiteral("Root"), none,
                        dataObjClassOf<TRoot>(QStringLiteral("TRoot")));
    return *gSchema;
}

std::unique_ptr<TDataObjODRoot> newRoot() {
    const int32_t defRoot = schema().defRoot; // creates the registry first
    std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(defRoot)->CreateRootDataObj(true, false);
    return std::unique_ptr<TDataObjODRoot>(static_cast<TDataObjODRoot*>(o.release()));
}

// A tree of 1,000 values with varied contents.
std::unique_ptr<TDataObjODRoot> buildTree() {
    std::unique_ptr<TDataObjODRoot> r = newRoot();
    r->setBusy(false);
    TDataObjList* items = r->getListWithID(schema().ldefItems);
    for (int k = 0; k < 100; ++k) {
        TDataObj* o = items->cAddObj(-1);
        for (int i = 0; i < o->ValueCount(); ++i) {
            TAbstractDataValue* v = o->value(i);
            switch (v->Definition()->ValueType()) {
            case dvtFloat:
                v->setAsFloat(k * 1234.5678 + i / 7.0);
                break;
            case dvtInteger:
                v->setAsInteger(k * 1000 + i);
                break;
            default:
                v->setAsString(QStringLiteral("Substrate %1 & co <%2>").arg(k).arg(i));
            }
        }
    }
    return r;
}

void BM_SaveFile1000(benchmark::State& state) {
    QTemporaryDir dir;
    std::unique_ptr<TDataObjODRoot> r = buildTree();
    const QString base = dir.path() + QStringLiteral("/bench");
    for (auto _ : state)
        r->saveToFile(base, false, sxt_ForFileStorage);
}
BENCHMARK(BM_SaveFile1000)->Unit(benchmark::kMillisecond);

void BM_LoadFile1000(benchmark::State& state) {
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/bench");
    buildTree()->saveToFile(base, false, sxt_ForFileStorage);
    for (auto _ : state) {
        std::unique_ptr<TDataObjODRoot> r = newRoot();
        r->loadFromFile(base);
        benchmark::DoNotOptimize(r.get());
    }
}
BENCHMARK(BM_LoadFile1000)->Unit(benchmark::kMillisecond);

} // namespace
