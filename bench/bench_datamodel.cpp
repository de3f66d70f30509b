// Speed of the data model's hot paths, and the memory of a tree of 2,000 values.
#include "dataobj.h"
#include "dmdata.h"
#include "uilink.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

// ---- a counting allocator: live heap bytes while counting is switched on ----

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long long> gLiveBytes{0};
} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    if (gCounting.load(std::memory_order_relaxed))
        gLiveBytes.fetch_add(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    if (gCounting.load(std::memory_order_relaxed))
        gLiveBytes.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
// The non-throwing forms must come from the same allocator as the plain delete that frees them
// (std::stable_sort's buffer, for one).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}

namespace {

using namespace fmx;

struct TBenchSchema {
    std::unique_ptr<TdmData> reg;
    std::vector<int32_t> vals; // 80 float/int/string value definitions
    int32_t defWide = 0, defItem = 0, defRoot = 0, defGroup = 0, ldefItems = 0, ldefGroups = 0, valLevel = 0;
};
TBenchSchema* gSchema = nullptr;

class TWide : public TDataObj {
public:
    void init() override {
        for (int32_t id : gSchema->vals)
            cAddVal(id);
    }
};
class TItem : public TDataObj { // 10 values
public:
    void init() override {
        for (int i = 0; i < 9; ++i)
            cAddVal(gSchema->vals[static_cast<size_t>(i)]);
        cAddVal(gSchema->valLevel);
    }
};
class TGroup : public TDataObj {
public:
    void init() override { cAddList(gSchema->ldefItems); }
};
class TRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        cAddList(gSchema->ldefGroups);
    }
};

TBenchSchema& schema() {
    if (gSchema) return *gSchema;
    gSchema = new TBenchSchema();
    gSchema->reg = TdmData::create();
    const QString none;
    for (int i = 0; i < 80; ++i) {
        int32_t id = 0;
        const int32_t type = i % 3 == 0 ? dvtFloat : i % 3 == 1 ? dvtInteger : dvtString;
        TDataValueDef::Create(id, QStringLiteral("Value%1").arg(i), none, type, none);
        gSchema->vals.push_back(id);
    }
    TDataValueDef::Create(gSchema->valLevel, QStringLiteral("Level"), none, dvtFloat2, none);
    TDataObjDef::Create(gSchema->defWide, QStringLiteral("Wide"), none,
                        dataObjClassOf<TWide>(QStringLiteral("TWide")));
    TDataObjDef::Create(gSchema->defItem, QStringLiteral("Item"), none,
                        dataObjClassOf<TItem>(QStringLiteral("TItem")));
    TDataObjListDef::Create(gSchema->ldefItems, QStringLiteral("BITM"), QStringLiteral("Items"), none, 0, -1,
                            false, gSchema->defItem);
    TDataObjDef::Create(gSchema->defGroup, QStringLiteral("Group"), none,
                        dataObjClassOf<TGroup>(QStringLiteral("TGroup")));
    TDataObjListDef::Create(gSchema->ldefGroups, QStringLiteral("BGRP"), QStringLiteral("Groups"), none, 0,
                            -1, false, gSchema->defGroup);
    TDataObjDef::Create(gSchema->defRoot, QStringLiteral("Root"), none,
                        dataObjClassOf<TRoot>(QStringLiteral("TRoot")));
    return *gSchema;
}

class TCountingLink : public TBaseUILink {
public:
    long long seen = 0;
    bool objIsChanged(TAbstractRootObj*, int32_t flags, TAbstractRootObj*) override {
        seen += flags;
        return true;
    }
    void afterLinkChange() override {}
};

void BM_ValueLookupByID(benchmark::State& state) {
    TBenchSchema& s = schema();
    std::unique_ptr<TDataObj> wide = s.reg->FindDataObjDefWithID(s.defWide)->CreateRootDataObj(false, false);
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(wide->getValueWithID(s.vals[k]));
        k = (k + 37) % s.vals.size();
    }
}
BENCHMARK(BM_ValueLookupByID);

void BM_ValueLookupByXML(benchmark::State& state) {
    TBenchSchema& s = schema();
    std::unique_ptr<TDataObj> wide = s.reg->FindDataObjDefWithID(s.defWide)->CreateRootDataObj(false, false);
    std::vector<QString> names;
    for (int i = 0; i < 80; ++i)
        names.push_back(QStringLiteral("value%1").arg(i));
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(wide->getValueWithXML(names[k]));
        k = (k + 37) % names.size();
    }
}
BENCHMARK(BM_ValueLookupByXML);

// value -> item -> list -> group -> list -> root, with a link on the value and on the root.
void BM_SetFloatWithTrigger(benchmark::State& state) {
    TBenchSchema& s = schema();
    std::unique_ptr<TDataObj> root = s.reg->FindDataObjDefWithID(s.defRoot)->CreateRootDataObj(false, false);
    TDataObj* group = root->getListWithID(s.ldefGroups)->cAddObj(-1);
    TDataObj* item = group->getListWithID(s.ldefItems)->cAddObj(-1);
    root->deepSetUnchanged();
    TAbstractDataValue* v = item->getValueWithID(s.valLevel);
    TCountingLink onValue, onRoot;
    onValue.setLinkedObj(v);
    onRoot.setLinkedObj(root.get());
    double x = 1.0;
    for (auto _ : state) {
        v->setAsFloat(x);
        x += 1.0;
    }
    benchmark::DoNotOptimize(onRoot.seen);
}
BENCHMARK(BM_SetFloatWithTrigger);

// 20 groups x 10 items x 10 values = 2,000 values (built new, then destroyed).
std::unique_ptr<TDataObj> buildTree2000(TBenchSchema& s) {
    std::unique_ptr<TDataObj> root = s.reg->FindDataObjDefWithID(s.defRoot)->CreateRootDataObj(true, true);
    TDataObjList* groups = root->getListWithID(s.ldefGroups);
    for (int g = 0; g < 20; ++g) {
        TDataObjList* items = groups->cAddObj(-1)->getListWithID(s.ldefItems);
        for (int i = 0; i < 10; ++i)
            items->cAddObj(-1);
    }
    root->setBusy(false);
    return root;
}

void BM_BuildTree2000(benchmark::State& state) {
    TBenchSchema& s = schema();
    for (auto _ : state) {
        std::unique_ptr<TDataObj> root = buildTree2000(s);
        benchmark::DoNotOptimize(root.get());
    }
    // Live heap bytes of one tree (values, objects, lists and their bookkeeping).
    gLiveBytes = 0;
    gCounting = true;
    std::unique_ptr<TDataObj> root = buildTree2000(s);
    gCounting = false;
    state.counters["tree_bytes"] = static_cast<double>(gLiveBytes.load());
    gCounting = true;
    root.reset();
    gCounting = false;
    state.counters["bytes_left_after_free"] = static_cast<double>(gLiveBytes.load());
}
BENCHMARK(BM_BuildTree2000)->Unit(benchmark::kMicrosecond);

} // namespace
