// Data-tree XML files: how values, objects and lists are written and read, and the file
// operations of roots and objects.
//
// A file is "ROOT" holding the root object's element. Objects carry "rid" and (in lists)
// "loadorder", both "#" and a decimal number; their content is values, lists, sub-objects in that
// order. Unknown elements are skipped with all their content. Files are written whole (TXMLWriter
// saves through a temporary file); change marks are cleared only once the file is written.
#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"
#include "xmlreader.h"
#include "xmlwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace fmx {

namespace {

constexpr int32_t kFirstLocalID = 0x7FFF0000;
const QString kBaseXMLExt = QStringLiteral(".base.xml");

// While positive, file-storage writes leave external binary files and on-demand files alone
// (texts produced for display or for a caller, not for storage).
int gSuppressSideFiles = 0;

struct TSuppressSideFiles {
    TSuppressSideFiles() { ++gSuppressSideFiles; }
    ~TSuppressSideFiles() { --gSuppressSideFiles; }
    TSuppressSideFiles(const TSuppressSideFiles&) = delete;
    TSuppressSideFiles& operator=(const TSuppressSideFiles&) = delete;
};

bool isStorageType(TStorageXMLType t) {
    return t == sxt_ForFileStorage || t == sxt_ForSingleFileStorage || t == sxt_ForDisplay;
}
bool isReportType(TStorageXMLType t) {
    return t == sxt_ForReport || t == sxt_ForInspection;
}

QByteArray xmlName(const TAbstractDef* def) {
    return def->XMLName().toUtf8();
}

// Skips the current element and everything inside it (iteratively; the reader bounds the depth).
void skipElement(TXMLReader& r) {
    if (!r.hasChildren()) return;
    int depth = 1;
    while (depth > 0) {
        if (r.nextChild()) {
            if (r.hasChildren()) ++depth;
        } else {
            --depth;
        }
    }
}

// "#123" -> 123; the first character is dropped whatever it is.
int32_t numberAttr(const QString& text) {
    return parseInteger(text.mid(1));
}

bool isFileRoot(const TDataObj* o) {
    return dynamic_cast<const TDataObjODRoot*>(o) != nullptr;
}

TDataObj* dnStubName(TDataObj* o, QString& name) {
    name = o->onDemandListObj() ? o->getValueWithID(gvalNameIDForOnDemandListObj)->getAsString() : o->name();
    return o;
}

// Reads "ROOT" and hands its single element to read.
template <class F> void readRootElement(TXMLReader& r, const QString& fileName, const F& read) {
    r.nextNode();
    if (!r.hasChildren() || !r.nextChild())
        raiseXMLReadError(QStringLiteral("File \"%1\" holds no data object").arg(fileName));
    read(r);
}

} // namespace

// ---- values ----

bool TAbstractDataValue::holdsDefaultForXML() {
    const TDataValueDef* d = fDefinition;
    const bool hasDef = d->mmdValuePresent(2);
    switch (d->ValueType()) {
    case dvtInteger:
    case dvtReference:
        return getAsInteger() == (hasDef ? d->mmdValueAsInt(2) : 0);
    case dvtFloat:
    case dvtFloat0:
    case dvtFloat1:
    case dvtFloat2:
        return getAsFloat() == (hasDef ? d->mmdValueAsFloat(2) : 0.0);
    case dvtString:
        return getAsString() == (hasDef ? d->mmdValueAsString(2) : QString());
    case dvtEnum:
        return hasDef && getAsInteger() == d->mmdValueAsInt(2);
    case dvtDate:
    case dvtDateTime:
        return hasDef && getAsDateTime() == d->mmdValueAsFloat(2);
    default:
        return false;
    }
}

void TAbstractDataValue::newSaveToXML(int, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges) {
    if (fDontStore) return;
    const TDataValueType type = fDefinition->ValueType();
    const bool binary = type == dvtBinaryExcl || type == dvtBinaryIncl;
    const QByteArray name = xmlName(fDefinition);
    if (isReportType(saveType)) {
        if (binary) return;
        if (type == dvtEnum) {
            into.addNode(name);
            into.addNodeAttr("nr", QString::number(getAsInteger()));
            into.closeValueNode(getAsString());
        } else if (type == dvtReference) {
            TDataObj* o = getAsReference();
            into.addNode(name);
            into.addNodeAttr("rid", QLatin1Char('#') + QString::number(getAsInteger()));
            into.closeValueNode(o ? o->refName() : QString());
        } else {
            into.addValueNode(name, getAsString());
        }
    } else {
        if (saveType == sxt_ForExport && binary) return;
        if (isStorageType(saveType) && fDefinition->dontStoreDefXML() && !binary && holdsDefaultForXML())
            return;
        if (saveType == sxt_ForExport && type == dvtReference) {
            const int32_t id = getAsInteger();
            if (id > 0 && id < kFirstLocalID) {
                TDataObj* o = getAsReference();
                into.addNode(name);
                into.addNodeAttr("namedRef", QStringLiteral("1"));
                into.closeValueNode(o ? o->name() : QString());
                if (clearChanges) deepSetUnchanged();
                return;
            }
        }
        QString text;
        if (binary) {
            auto* b = static_cast<TBinDataValue*>(this);
            if (saveType == sxt_ForSingleFileStorage || type == dvtBinaryIncl) {
                text = b->inlineXMLText();
            } else {
                if (saveType == sxt_ForFileStorage && gSuppressSideFiles == 0 && anyChangesPresent()) {
                    auto saver = dmObjectManagerHooks().saveBinData;
                    FMX_ASSERT(saver != nullptr,
                               QStringLiteral("TBinDataValue.newSaveToXML: geen object manager"));
                    if (saver) saver(b);
                }
                text = b->getAsXML();
            }
        } else {
            text = getAsXML();
        }
        if (fDefinition->LiteralString())
            into.addCDataValueNode(name, text);
        else
            into.addValueNode(name, text);
    }
    if (clearChanges) deepSetUnchanged();
}

void TAbstractDataValue::newLoadFromXML(TXMLReader& from, TStorageXMLType loadType) {
    if (!fBusy) {
        dmMsgError(QStringLiteral("TAbstractDataValue.LoadFromXML: not isBusy"));
        FMX_ASSERT(false, QStringLiteral("TAbstractDataValue.LoadFromXML: not isBusy"));
        skipElement(from);
        return;
    }
    if (fDefinition->CalculateTrigger() != 0) fDoneCalc = true;
    const QString text = from.nodeValue();
    const bool namedRef = from.attrValueIndex("namedRef") >= 0;
    skipElement(from); // a value has no children; a file that gives it some loses them
    if (loadType == sxt_ForExport && fDefinition->ValueType() == dvtReference && namedRef) {
        setAsString(text);
        return;
    }
    if (fDefinition->ValueType() == dvtString && fDefinition->RestoreCRLF() &&
        !text.contains(QLatin1String("\r\n"))) {
        QString t = text;
        t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        setAsXML(t);
        return;
    }
    setAsXML(text);
}

// ---- objects ----

void TDataObj::newSaveToXMLAddForReport(int, TXMLWriter&) {}

void TDataObj::newSaveToXML(int indent, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges) {
    if (fDontStore) return;
    into.addNode(xmlName(fDefinition));
    const bool idManager = dynamic_cast<TDataObjIDManager*>(this) != nullptr;
    if (!(saveType == sxt_ForExport && idManager))
        into.addNodeAttr("rid", QLatin1Char('#') + QString::number(ID()));
    if (fParentList && !isFileRoot(this))
        into.addNodeAttr("loadorder", QLatin1Char('#') + QString::number(fLoadOrder));
    for (auto& v : fValues)
        v->newSaveToXML(indent + 1, into, saveType, clearChanges);
    if (saveType != sxt_ForInspection) {
        for (auto& l : fLists)
            l->newSaveToXML(indent + 1, into, saveType, clearChanges);
        for (auto& o : fSubObj)
            o->newSaveToXML(indent + 1, into, saveType, clearChanges);
        if (saveType == sxt_ForReport) newSaveToXMLAddForReport(indent + 1, into);
    }
    into.closeNode();
    if (clearChanges && !isFileRoot(this)) {
        fChanged = false;
        fIsNew = false;
        fLoadOrderChanged = false;
        fOnDemandXMLNeedsSave = false;
    }
}

void TDataObj::newLoadFromXML(TXMLReader& from, TStorageXMLType loadType) {
    const QString rid = from.attrValueName("rid");
    if (!rid.isEmpty()) fID = numberAttr(rid);
    if (fValues.empty()) fID = -2;
    if (!isFileRoot(this)) {
        const QString lo = from.attrValueName("loadorder");
        if (!lo.isEmpty()) setLoadOrderNoStateChange(numberAttr(lo));
    }
    if (from.hasChildren()) {
        while (from.nextChild()) {
            const uint32_t hash = HashCRC32ci(QString::fromUtf8(from.nodeName()));
            if (TAbstractDataValue* v = getValueWithXMLHash(hash)) {
                v->newLoadFromXML(from, loadType);
                continue;
            }
            // The first list, else the first sub-object, whose definition has the element's name.
            auto withHash = [hash](const auto& children) -> decltype(children.front().get()) {
                for (const auto& c : children)
                    if (c->Definition()->XMLNameHash() == hash) return c.get();
                return nullptr;
            };
            if (TDataObjList* list = withHash(fLists)) {
                list->newLoadFromXML(from, loadType);
                continue;
            }
            if (TDataObj* sub = withHash(fSubObj)) {
                sub->newLoadFromXML(from, loadType);
                continue;
            }
            skipElement(from);
        }
    }
    if (auto* m = dynamic_cast<TDataObjIDManager*>(this); m && !fOnDemandListObj) {
        if (TAbstractDataValue* lu = getValueWithID(gvalLastUsedID)) {
            int32_t last = lu->getAsInteger();
            if (last < kFirstLocalID) {
                last = kFirstLocalID;
                if (TDataObj* g = dmActGlobalData(); g && isChildOf(g))
                    if (auto* gp = dynamic_cast<TDataObjGlobalPart*>(g)) gp->setErrorsFixed(true);
            }
            m->setLastUsedID(last);
        }
    }
    afterCreateOrLoad(false);
}

QByteArray TDataObj::getSavedXML() {
    TSuppressSideFiles noSideFiles;
    recalcAllValuesAndClaimID(nullptr);
    TXMLWriter w;
    w.addNode("ROOT");
    newSaveToXML(1, w, sxt_ForFileStorage, false);
    w.closeNodeFinal();
    return w.asString();
}

void TDataObj::baseSaveToFile(const QString& fileName, bool clearChanges, TStorageXMLType saveType) {
    recalcAllValuesAndClaimID(nullptr);
    TXMLWriter w;
    w.addNode("ROOT");
    newSaveToXML(1, w, saveType, false);
    w.closeNodeFinal();
    w.save(fileName);
    if (clearChanges) clearWrittenMarks();
}

void TDataObj::baseLoadFromFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        throw TDataError(tdek_FileNotFound, QStringLiteral("File \"%1\" not found").arg(fileName), this);
    const bool wasBusy = fBusy;
    setBusy(true);
    try {
        TXMLReader r = TXMLReader::load(fileName);
        readRootElement(r, fileName, [&](TXMLReader& rd) { newLoadFromXML(rd, sxt_ForFileStorage); });
    } catch (...) {
        setBusy(wasBusy);
        throw;
    }
    setBusy(wasBusy);
}

void TDataObj::assureAllBinDataIsLoaded() {
    for (auto& v : fValues)
        if (auto* b = dynamic_cast<TBinDataValue*>(v.get())) b->ensureDataLoaded();
    for (auto& o : fSubObj)
        o->assureAllBinDataIsLoaded();
    for (auto& l : fLists)
        l->assureAllBinDataIsLoaded();
}

void TDataObj::markAllBinDataAsNew() {
    for (auto& v : fValues)
        if (auto* b = dynamic_cast<TBinDataValue*>(v.get()); b && !b->isNew()) {
            b->ensureDataLoaded();
            b->deepSetChangedAndNew(true, b->isNew());
        }
    for (auto& o : fSubObj)
        o->markAllBinDataAsNew();
    for (auto& l : fLists)
        l->markAllBinDataAsNew();
}

void TDataObj::clearWrittenMarks() {
    if (fDontStore) return;
    for (auto& v : fValues)
        if (!v->dontStore()) v->deepSetUnchanged();
    for (auto& o : fSubObj)
        o->clearWrittenMarks();
    for (auto& l : fLists)
        l->clearWrittenMarks();
    fChanged = false;
    fIsNew = false;
    fLoadOrderChanged = false;
    fOnDemandXMLNeedsSave = false;
}

// ---- lists ----

void TDataObjList::newSaveToXML(int indent, TXMLWriter& into, TStorageXMLType saveType, bool clearChanges) {
    if (fDontStore) return;
    if (fDefinition->dontStoreDefXML() && fDataObjects.empty() &&
        (saveType == sxt_ForFileStorage || saveType == sxt_ForSingleFileStorage ||
         saveType == sxt_ForDisplay))
        return;
    into.addNode(xmlName(fDefinition));
    const bool stubs = fOnDemandLoad && saveType != sxt_ForSingleFileStorage;
    for (size_t i = 0; i < fDataObjects.size(); ++i) {
        TDataObj* o = fDataObjects[i].get();
        if (!stubs) {
            if (o->fOnDemandListObj) o = loadOnDemandObj(static_cast<int>(i));
            o->newSaveToXML(indent + 1, into, saveType, clearChanges);
            continue;
        }
        if (o->dontStore()) continue;
        QString name;
        dnStubName(o, name);
        into.addNode(xmlName(o->Definition()));
        into.addNodeAttr("rid", QLatin1Char('#') + QString::number(o->ID()));
        into.addNodeAttr("loadorder", QLatin1Char('#') + QString::number(o->loadOrder()));
        into.addValueNode(dmData->FindValueDefWithID(gvalNameIDForOnDemandListObj)->DisplayName().toUtf8(),
                          name);
        into.closeNode();
        if (!o->fOnDemandListObj && saveType == sxt_ForFileStorage && gSuppressSideFiles == 0 &&
            (o->isNew() || o->isChanged() || o->fOnDemandXMLNeedsSave)) {
            auto saver = dmObjectManagerHooks().saveOnDemandListObj;
            FMX_ASSERT(saver != nullptr, QStringLiteral("TDataObjList.newSaveToXML: geen object manager"));
            if (saver) saver(o);
        }
        if (clearChanges) o->clearWrittenMarks();
    }
    into.closeNode();
    if (clearChanges) {
        fChanged = false;
        fIsNew = false;
    }
}

void TDataObjList::newLoadFromXML(TXMLReader& from, TStorageXMLType loadType) {
    if (!from.hasChildren()) return;
    const std::vector<TDataObjDef*>& allowed = fDefinition->AllowedDataObj();
    bool stubs = false;
    if (fOnDemandLoad) {
        from.saveState();
        try {
            if (from.nextChild() && from.hasChildren() && from.nextChild()) stubs = from.nodeName() == "DN";
        } catch (...) {
            from.restoreState();
            throw;
        }
        from.restoreState();
    }
    while (from.nextChild()) {
        const uint32_t hash = HashCRC32ci(QString::fromUtf8(from.nodeName()));
        TDataObjDef* def = nullptr;
        for (TDataObjDef* d : allowed)
            if (d->XMLNameHash() == hash) {
                def = d;
                break;
            }
        if (!def) {
            skipElement(from);
            continue;
        }
        if (stubs) {
            const QString rid = from.attrValueName("rid");
            const QString lo = from.attrValueName("loadorder");
            const int32_t id = rid.isEmpty() ? 0 : numberAttr(rid);
            const int32_t order = lo.isEmpty() ? 0 : numberAttr(lo);
            QString name;
            if (from.hasChildren()) {
                while (from.nextChild()) {
                    if (from.nodeName() == "DN") name = from.nodeValue();
                    skipElement(from);
                }
            }
            TDataObj* o = def->CreateDataObjForOnDemandList(*this, id, name);
            o->setLoadOrderNoStateChange(order);
            continue;
        }
        TDataObj* o = def->CreateDataObj(*this, true, false);
        o->newLoadFromXML(from, loadType);
    }
}

void TDataObjList::baseSaveToFile(const QString& fileName, bool clearChanges, TStorageXMLType saveType) {
    TXMLWriter w;
    w.addNode("ROOT");
    newSaveToXML(1, w, saveType, false);
    w.closeNodeFinal();
    w.save(fileName);
    if (clearChanges) clearWrittenMarks();
}

void TDataObjList::assureAllBinDataIsLoaded() {
    for (int i = 0; i < objCount(); ++i)
        obj(i)->assureAllBinDataIsLoaded();
}

void TDataObjList::markAllBinDataAsNew() {
    for (int i = 0; i < objCount(); ++i)
        obj(i)->markAllBinDataAsNew();
}

void TDataObjList::clearWrittenMarks() {
    if (fDontStore) return;
    for (auto& o : fDataObjects)
        o->clearWrittenMarks();
    fChanged = false;
    fIsNew = false;
}

// ---- roots ----

void TDataObjODRoot::saveToFile(const QString& baseName, bool clearChanges, TStorageXMLType saveType) {
    if (TDataObj* g = dmActGlobalData(); g == this) {
        if (TAbstractDataValue* v = getValueWithID(gvalObjVersion)) {
            const bool wasBusy = v->isBusy();
            v->setBusy(true);
            v->setAsInteger(dmDataModelVersion());
            v->setBusy(wasBusy);
        }
    }
    // IDs are handed out before anything is written, so "LastUsedID" is written with its final number.
    recalcAllValuesAndClaimID(nullptr);
    TXMLWriter w;
    w.addNode("ROOT");
    newSaveToXML(1, w, saveType, false);
    w.closeNodeFinal();
    w.save(baseName + kBaseXMLExt);
    if (clearChanges) {
        clearWrittenMarks();
        fDeleteFiles.clear();
        if (!fBusy) handleTrigger(this, trgChangeState, nullptr);
    }
}

void TDataObjODRoot::loadFromFile(const QString& name) {
    QString base = name;
    if (base.endsWith(kBaseXMLExt, Qt::CaseInsensitive)) base.chop(kBaseXMLExt.size());
    const QString file = base + kBaseXMLExt;
    if (!QFileInfo(file).isFile())
        throw TDataError(tdek_FileNotFound, QStringLiteral("File \"%1\" not found (\"%2\")").arg(file, name),
                         this);
    setBusy(true);
    try {
        TXMLReader r = TXMLReader::load(file);
        readRootElement(r, file, [&](TXMLReader& rd) { newLoadFromXML(rd, sxt_ForFileStorage); });
    } catch (...) {
        setBusy(false);
        throw;
    }
    setBusy(false);
    FMX_ASSERT(!isChanged(), QStringLiteral("TDataObjODRoot.loadFromFile: root is changed after loading"));
}

QString TDataObjODRoot::getAsSaveXML() {
    assureAllBinDataIsLoaded();
    recalcAllValuesAndClaimID(nullptr);
    TXMLWriter w;
    w.addNode("ROOT");
    newSaveToXML(1, w, sxt_ForSingleFileStorage, false);
    w.closeNodeFinal();
    return QString::fromUtf8(w.asString());
}

void TDataObjODRoot::deleteXMLFiles(const QString& name) {
    QString base = name;
    if (base.endsWith(kBaseXMLExt, Qt::CaseInsensitive)) base.chop(kBaseXMLExt.size());
    const QFileInfo fi(base);
    QDir dir = fi.absoluteDir();
    const QStringList hits =
        dir.entryList({fi.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString& f : hits)
        QFile::remove(dir.filePath(f));
}

} // namespace fmx
