#include "translate.h"

#include "definitions.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "errors.h"
#include "langfiles.h"
#include "language.h"
#include "log.h"
#include "messages.h"
#include "textkeys.h"

#include <QHash>
#include <QSet>

#include <array>
#include <mutex>

namespace fmx {
namespace {

struct TGlobalTextRec {
    const char16_t* key;
    const char16_t* base;
};
constexpr std::array<TGlobalTextRec, kGlobalTextCount> kGlobalTexts{{
    {u"gStrGeen", u"[none]"},
    {u"gTxt_bvalJa", u"Yes"},
    {u"gTxt_bvalNee", u"No"},
    {u"gTxt_bvalOnbekend", u"Unknown"},
    {u"gTxt_Error", u"Error"},
    {u"gTxt_Warning", u"Warning"},
    {u"gTxt_Info", u"Information"},
    {u"gTxt_InfoShort", u"Info"},
    {u"gUnitString", u"Unit"},
    {u"gPropString", u"Property"},
    {u"gValString", u"Value"},
}};

// The English texts of a definition, taken the first time the definition is translated (so
// switching back to English restores them). The XML name tells a reused address apart.
struct TDefBase {
    QString fXMLName;
    QString fCaption;
    QString fNote;
    QString fUnit;
    QHash<int32_t, QString> fEnumTexts;
};

// Shared with tl on any thread; guarded by fLock.
struct TSharedState {
    std::mutex fLock;
    std::shared_ptr<const TCatalogue> fActive;
    QStringList fFreeTexts; // in the order first seen
    QSet<QString> fFreeTextSet;
    std::array<QString, kGlobalTextCount> fGlobal;
};

TSharedState& shared() {
    static TSharedState state;
    return state;
}

// User-interface thread only.
struct TDefState {
    const TdmData* fRegistry = nullptr;
    QHash<const TAbstractDef*, TDefBase> fDefs;
    QHash<int32_t, QString> fValMsgs;
};

TDefState& defState() {
    static TDefState state;
    return state;
}

QString globalBase(int i) {
    return QString::fromUtf16(kGlobalTexts[static_cast<size_t>(i)].base);
}

void rememberFreeText(TSharedState& s, const QString& text) {
    if (s.fFreeTextSet.contains(text)) return;
    s.fFreeTextSet.insert(text);
    s.fFreeTexts.push_back(text);
}

// The English texts of def, taken now when not yet known.
TDefBase& baseOf(const TAbstractDef& def) {
    TDefState& st = defState();
    auto it = st.fDefs.find(&def);
    if (it != st.fDefs.end() && it->fXMLName == def.XMLName()) return *it;
    TDefBase b;
    b.fXMLName = def.XMLName();
    b.fCaption = def.DisplayName();
    b.fNote = def.Description();
    if (const auto* v = dynamic_cast<const TDataValueDef*>(&def)) b.fUnit = v->unitDescr();
    return *st.fDefs.insert(&def, b);
}

const TDefBase* knownBase(const TAbstractDef& def) {
    const TDefState& st = defState();
    const auto it = st.fDefs.constFind(&def);
    return it != st.fDefs.constEnd() && it->fXMLName == def.XMLName() ? &*it : nullptr;
}

QString enumBase(TDefBase& base, const TDataValueDef& def, int index) {
    const int32_t id = def.getEnumIDForIndex(index);
    auto it = base.fEnumTexts.find(id);
    if (it == base.fEnumTexts.end()) it = base.fEnumTexts.insert(id, def.getEnumTextForIndex(index));
    return *it;
}

bool hasTranslatableUnit(const QString& unit) {
    return !unit.isEmpty() && unit != QStringLiteral("-");
}

// The texts of the definitions in registry order (reserved slots skipped).
template <class F> void forEachDef(F&& f) {
    if (!dmData) return;
    for (int i = 1; i < dmData->numValDefs(); ++i)
        if (TDataValueDef* d = dmData->FindValueDefWithID(dmData->valDefID(i))) f(*d, TdmData::dkValue);
    for (int i = 1; i < dmData->numListDefs(); ++i)
        if (TDataObjListDef* d = dmData->FindListDefWithID(dmData->listDefID(i))) f(*d, TdmData::dkList);
    for (int i = 0; i < dmData->numObjDefs(); ++i)
        if (TDataObjDef* d = dmData->FindDataObjDefWithID(dmData->objDefID(i))) f(*d, TdmData::dkObject);
}

void syncRegistry() {
    TDefState& st = defState();
    if (st.fRegistry == dmData) return;
    st.fDefs.clear();
    st.fRegistry = dmData;
}

QString translateKindText(const TExceptionRec& rec) {
    if (const auto cat = activeCatalogue()) {
        const QString t = cat->text(keyExceptionKind(rec.fVarName));
        if (!t.isEmpty()) return t;
    }
    return rec.fDefText;
}

// Box captions of the shell are global texts; any other shell text is a free text.
QString translateShellCaption(const QString& text) {
    for (const TGlobalText g : {gtError, gtWarning, gtInfo})
        if (text == globalBase(g)) return globalText(g);
    return tl(text);
}

} // namespace

QString tl(const QString& text) {
    if (text.isEmpty()) return QString();
    const QString key = textKey(text);
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    rememberFreeText(s, text);
    if (s.fActive) {
        QString t = s.fActive->text(key);
        if (!t.isEmpty()) return t;
    }
    return text;
}

QString tlc(const QString& text) {
    return tl(text);
}

void registerFreeTexts(const QStringList& texts) {
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    for (const QString& t : texts)
        if (!t.isEmpty()) rememberFreeText(s, t);
}

QString globalText(TGlobalText which) {
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    const QString& t = s.fGlobal[static_cast<size_t>(which)];
    return t.isEmpty() ? globalBase(which) : t;
}

QString globalTextKey(TGlobalText which) {
    return QString::fromUtf16(kGlobalTexts[static_cast<size_t>(which)].key);
}

QString globalTextBase(TGlobalText which) {
    return globalBase(which);
}

void setActiveCatalogue(std::shared_ptr<const TCatalogue> catalogue) {
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    s.fActive = std::move(catalogue);
}

std::shared_ptr<const TCatalogue> activeCatalogue() {
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    return s.fActive;
}

void updateDefsLanguage() {
    const std::shared_ptr<const TCatalogue> cat = activeCatalogue();
    const auto pick = [&cat](const QString& key, const QString& base) {
        if (cat) {
            QString t = cat->text(key);
            if (!t.isEmpty()) return t;
        }
        return base;
    };

    syncRegistry();
    forEachDef([&](TAbstractDef& def, TdmData::TDefKind kind) {
        TDefBase& base = baseOf(def);
        switch (kind) {
        case TdmData::dkValue: {
            auto& v = static_cast<TDataValueDef&>(def);
            v.setDisplayName(pick(keyValueCaption(v), base.fCaption));
            v.setDescription(pick(keyValueNote(v), base.fNote));
            if (hasTranslatableUnit(base.fUnit)) v.setUnitDescr(pick(keyValueUnit(v), base.fUnit));
            for (int i = 0; i < v.enumCount(); ++i)
                v.setEnumTextForIndex(i, pick(keyEnumText(v, v.getEnumIDForIndex(i)), enumBase(base, v, i)));
            break;
        }
        case TdmData::dkList:
            def.setDisplayName(pick(keyListCaption(def), base.fCaption));
            def.setDescription(pick(keyListNote(def), base.fNote));
            break;
        case TdmData::dkObject:
            def.setDisplayName(pick(keyObjCaption(def), base.fCaption));
            def.setDescription(pick(keyObjNote(def), base.fNote));
            break;
        }
    });

    TDefState& st = defState();
    const std::vector<TValMsgRec> messages = validationMessages();
    for (const TValMsgRec& m : messages) {
        auto it = st.fValMsgs.find(m.id);
        if (it == st.fValMsgs.end()) it = st.fValMsgs.insert(m.id, m.msg);
        regValMsg(m.id, pick(keyValMsg(m.id), *it));
    }

    // The error kinds follow the active catalogue through translateKindText.
    std::array<QString, kGlobalTextCount> globals;
    for (int i = 0; i < kGlobalTextCount; ++i)
        globals[static_cast<size_t>(i)] = pick(globalTextKey(TGlobalText(i)), globalBase(i));
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    s.fGlobal = globals;
}

void loadLanguageFile(const QString& path) {
    auto catalogue = std::make_shared<const TCatalogue>(readCatalogue(path));
    const int language = catalogue->languageID();
    setActiveCatalogue(std::move(catalogue));
    setCurrentLanguage(language);
    updateDefsLanguage();
}

bool switchLanguage(int languageID) {
    const TLanguageFile* file = findLanguageFile(languageID);
    if (!file) {
        setActiveCatalogue(nullptr);
        setCurrentLanguage(languageID);
        updateDefsLanguage();
        return false;
    }
    auto catalogue = std::make_shared<const TCatalogue>(readCatalogue(file->fFile));
    if (catalogue->languageID() != languageID) {
        registerTranslationExceptions();
        throw TBaseDataError(tdek_LanguageFile, QStringLiteral("%1 now declares language %2 instead of %3")
                                                    .arg(file->fFile)
                                                    .arg(catalogue->languageID())
                                                    .arg(languageID));
    }
    setActiveCatalogue(std::move(catalogue));
    setCurrentLanguage(languageID);
    updateDefsLanguage();
    return true;
}

TCatalogue buildBaseCatalogue() {
    TCatalogue cat;
    cat.setLanguageID(kDefaultLanguage);
    cat.setLanguageName(QStringLiteral("English"));
    const auto add = [&cat](const QString& key, const QString& text) {
        if (text.isEmpty()) return;
        if (!TCatalogue::isValidKey(key)) {
            logInfo(lmk_logWarning,
                    QStringLiteral(
                        "Translation key \"%1\" cannot be written to a language file; \"%2\" is left out")
                        .arg(key, text));
            return;
        }
        if (cat.contains(key)) {
            const QString first = cat.text(key);
            if (first != text)
                logInfo(lmk_logWarning, QStringLiteral("Translation key %1 holds \"%2\"; \"%3\" is left out")
                                            .arg(key, first, text));
            return;
        }
        cat.set(key, text);
    };

    syncRegistry();
    forEachDef([&](TAbstractDef& def, TdmData::TDefKind kind) {
        const TDefBase* base = knownBase(def);
        const QString caption = base ? base->fCaption : def.DisplayName();
        const QString note = base ? base->fNote : def.Description();
        switch (kind) {
        case TdmData::dkValue: {
            auto& v = static_cast<TDataValueDef&>(def);
            add(keyValueCaption(v), caption);
            add(keyValueNote(v), note);
            const QString unit = base ? base->fUnit : v.unitDescr();
            if (hasTranslatableUnit(unit)) add(keyValueUnit(v), unit);
            for (int i = 0; i < v.enumCount(); ++i) {
                const int32_t id = v.getEnumIDForIndex(i);
                const bool known = base && base->fEnumTexts.contains(id);
                add(keyEnumText(v, id), known ? base->fEnumTexts.value(id) : v.getEnumTextForIndex(i));
            }
            break;
        }
        case TdmData::dkList:
            add(keyListCaption(def), caption);
            add(keyListNote(def), note);
            break;
        case TdmData::dkObject:
            add(keyObjCaption(def), caption);
            add(keyObjNote(def), note);
            break;
        }
    });

    const TDefState& st = defState();
    for (const TValMsgRec& m : validationMessages())
        add(keyValMsg(m.id), st.fValMsgs.value(m.id, m.msg));
    for (int k = 0; k < getNumRegExceptions(); ++k) {
        const TExceptionRec& rec = getExceptionRec(k);
        add(keyExceptionKind(rec.fVarName), rec.fDefText);
    }
    for (int i = 0; i < kGlobalTextCount; ++i)
        add(globalTextKey(TGlobalText(i)), globalBase(i));

    QStringList freeTexts;
    {
        TSharedState& s = shared();
        std::lock_guard<std::mutex> guard(s.fLock);
        freeTexts = s.fFreeTexts;
    }
    for (const QString& t : freeTexts)
        add(textKey(t), t);
    return cat;
}

void writeBaseCatalogue(const QString& path) {
    writeCatalogue(buildBaseCatalogue(), path);
}

void installTranslationHooks() {
    setDmTranslator(&tl);
    setExceptionTextTranslator(&translateKindText);
    setCaptionTranslator(&translateShellCaption);
}

void resetTranslation() {
    setActiveCatalogue(nullptr);
    updateDefsLanguage(); // gives the definitions and messages their English texts back
    setDmTranslator(nullptr);
    setExceptionTextTranslator(nullptr);
    setCaptionTranslator(nullptr);
    setLanguageFiles({});
    TDefState& st = defState();
    st.fDefs.clear();
    st.fValMsgs.clear();
    st.fRegistry = nullptr;
    TSharedState& s = shared();
    std::lock_guard<std::mutex> guard(s.fLock);
    s.fFreeTexts.clear();
    s.fFreeTextSet.clear();
    s.fGlobal = {};
}

} // namespace fmx
