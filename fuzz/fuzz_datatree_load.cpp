// Fuzz target for loading a data-tree file into a small schema: a root with one value of every
// storable type, a sub-object and a list of items that refer to each other. A file that loads is
// written back (file storage) and read again; the second text must equal the first. Load errors
// (TBaseDataError, the conversion errors, TXMLFileError) are expected; anything else (a crash, a
// failed assertion, a sanitizer report, a hang, a leak, a text that changes) is a finding.
#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmformat.h"
#include "dmhooks.h"
#include "errors.h"
#include "fmx_assert.h"
#include "log.h"
#include "xmlerrors.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QString>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

// No log writer runs here: every error would grow the pending log text without bound.
void fmx::logInfo(TLogMsgKind, const QString&) {}

namespace {

using namespace fmx;

int32_t valInt, valFlt, valStr, valEnum, valDay, valStamp, valBin, valName, valRef, valLevel;
int32_t defItem, defSub, defRoot, ldefItems;

class TItem : public TDataObj {
public:
    void init() override {
        cAddVal(valName);
        cAddVal(valFlt);
        cAddVal(valRef);
    }
};
class TSub : public TDataObj {
public:
    void init() override { cAddVal(valLevel); }
};
class TRoot : public TDataObjODRoot {
public:
    void init() override {
        TDataObjODRoot::init();
        for (int32_t id : {valInt, valFlt, valStr, valEnum, valDay, valStamp, valBin})
            cAddVal(id);
        cAddObj(defSub);
        cAddList(ldefItems);
    }
};

void declareSchema() {
    const QString none;
    TDataValueDef::Create(valInt, QStringLiteral("Int"), none, dvtInteger, none);
    TDataValueDef::Create(valFlt, QStringLiteral("Flt"), none, dvtFloat, none);
    TDataValueDef::Create(valStr, QStringLiteral("Str"), none, dvtString, none)->setRestoreCRLF(true);
    TDataValueDef::Create(valEnum, QStringLiteral("Choice"), none, dvtEnum, none);
    dmData->addEnum(1, QStringLiteral("One"));
    dmData->addEnum(2, QStringLiteral("Two"));
    TDataValueDef::Create(valDay, QStringLiteral("Day"), none, dvtDate, none);
    TDataValueDef::Create(valStamp, QStringLiteral("Stamp"), none, dvtDateTime, none);
    TDataValueDef::Create(valBin, QStringLiteral("Blob"), none, dvtBinaryIncl, none);
    TDataValueDef::Create(valName, QStringLiteral("Name"), none, dvtString, none);
    dmData->registerNameValueID(valName);
    TDataValueDef::Create(valLevel, QStringLiteral("Level"), none, dvtFloat, none)->setDontStoreDefXML(true);
    defItem = dmData->forwardDeclObjDef(0);
    int32_t refType = defItem;
    TDataObjDef::Create(defItem, QStringLiteral("Item"), none,
                        dataObjClassOf<TItem>(QStringLiteral("TItem")));
    TDataValueDef::CreateRef(valRef, QStringLiteral("Partner"), none, refType, QStringLiteral(".-Items"));
    TDataObjDef::Create(defSub, QStringLiteral("Sub"), none, dataObjClassOf<TSub>(QStringLiteral("TSub")));
    TDataObjListDef::Create(ldefItems, QStringLiteral("ITM"), QStringLiteral("Items"), none, 0, -1, false,
                            defItem);
    TDataObjDef::Create(defRoot, QStringLiteral("Root"), none,
                        dataObjClassOf<TRoot>(QStringLiteral("TRoot")));
}

QString gFile;

std::unique_ptr<TDataObjODRoot> loadBytes(const QByteArray& bytes) {
    QFile f(gFile + QStringLiteral(".base.xml"));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
    f.close();
    std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(defRoot)->CreateRootDataObj(true, false);
    std::unique_ptr<TDataObjODRoot> r(static_cast<TDataObjODRoot*>(o.release()));
    r->loadFromFile(gFile);
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<TdmData> registry;
    static const bool initialised = [] {
        setAssertHandler(&throwingAssertHandler);
        registerDataModelExceptions();
        registerXMLExceptions();
        initFormatSettings(QLocale::c());
        setDmClock([]() { return 45000.5; });
        setDmErrorSink([](const QString&) {});
        registry = TdmData::create();
        declareSchema();
        gFile = QDir::tempPath() + QStringLiteral("/fmx_fuzz_datatree_") + QString::number(getpid());
        return true;
    }();
    (void)initialised;

    std::unique_ptr<TDataObjODRoot> root;
    try {
        root = loadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const TBaseDataError&) {
        return 0;
    } catch (const TDmMessageError&) {
        return 0;
    } catch (const TXMLFileError&) {
        return 0;
    }
    // A tree that loaded writes a text that loads again into the same text.
    const QByteArray first = root->getSavedXML();
    root.reset();
    std::unique_ptr<TDataObjODRoot> again = loadBytes(first); // an error here escapes: a finding
    const QByteArray second = again->getSavedXML();
    if (first != second) std::abort();
    return 0;
}
