// Textual and ID paths between nodes.
#include "dataobj.h"

#include "dmdata.h"

#include "fmx_assert.h"

namespace fmx {

namespace {

constexpr int kMaxIDPath = 5;

// A path step that could not be taken.
struct TPathFailure {
    QString message;
};

} // namespace

QString TAbstractRootObj::escapePath(const QString& name) {
    QString s = name;
    s.replace(QStringLiteral("-"), QStringLiteral(":-"));
    return s;
}

QStringList TAbstractRootObj::splitPath(const QString& path) {
    // Every "-" preceded by ":" belongs to the name (so that escapePath of a name with several
    // hyphens reads back as that name).
    QStringList tokens;
    QString cur;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == QLatin1Char('-')) {
            if (!cur.isEmpty() && cur.back() == QLatin1Char(':')) {
                cur.back() = QLatin1Char('-');
                continue;
            }
            tokens << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    tokens << cur;
    return tokens;
}

TAbstractRootObj* TAbstractRootObj::followPath(const QString& path, bool nilOnError) {
    return followPathEx(path, nilOnError ? pmNilOnError : pmAssert);
}

TAbstractRootObj* TAbstractRootObj::followPathEx(const QString& path, TPathMode mode) {
    const QString failMsg = QStringLiteral("TAbstractRootObj.followPath path=\"") + path + QLatin1Char('"');
    // A malformed step asserts unless nilOnError; a missing node asserts only in pmAssert.
    const auto malformed = [&]() -> TAbstractRootObj* {
        FMX_ASSERT(mode == pmNilOnError, failMsg);
        return nullptr;
    };
    const auto fail = [&]() -> TAbstractRootObj* {
        FMX_ASSERT(mode != pmAssert, failMsg);
        return nullptr;
    };
    TDataObj* cur = pathStartObj();
    if (!cur) return fail();
    const QStringList tokens = splitPath(path);
    for (qsizetype t = 0; t < tokens.size(); ++t) {
        const bool last = t == tokens.size() - 1;
        QString tok = tokens[t];
        if (tok == QStringLiteral("*")) {
            cur = cur->actGlobalData();
        } else if (tok == QStringLiteral("\\")) {
            cur = cur->dbRoot();
        } else if (tok == QStringLiteral("$")) {
            // stays
        } else if (tok == QStringLiteral(".")) {
            cur = cur->parentObject();
        } else {
            bool hasID = false;
            int32_t id = 0;
            const qsizetype hashes = tok.lastIndexOf(QStringLiteral("##"));
            if (hashes >= 0) {
                bool ok = false;
                id = tok.mid(hashes + 2).toInt(&ok);
                if (!ok) return malformed();
                hasID = true;
                tok = tok.left(hashes);
            }
            if (TDataObj* sub = cur->getSubObjWithXML(tok); sub && !hasID) {
                cur = sub;
            } else if (TAbstractDataValue* v = hasID ? nullptr : cur->getValueWithXML(tok)) {
                if (last) return v;
                if (v->Definition()->ValueType() != dvtReference) return malformed();
                cur = v->getAsReference();
            } else if (TDataObjList* l = cur->getListWithXML(tok)) {
                if (!hasID) {
                    if (!last) return malformed();
                    return l;
                }
                cur = l->getDataObjectID(id);
            } else {
                return fail();
            }
        }
        if (!cur) return fail();
    }
    return cur;
}

TAbstractRootObj* TAbstractRootObj::followIDPath(const std::vector<int32_t>& idPath, bool nilOnError) {
    const auto fail = [&](const char* msg) -> TAbstractRootObj* {
        FMX_ASSERT(nilOnError, QString::fromLatin1(msg));
        return nullptr;
    };
    size_t n = 0;
    while (n < idPath.size() && idPath[n] != 0)
        ++n;
    if (n > kMaxIDPath) return fail("TAbstractRootObj.followIDPath too long");
    TDataObj* cur = pathStartObj();
    TDataObj* prev = cur;
    if (!cur) return fail("TAbstractRootObj.followIDPath path invalid");
    for (size_t i = 0; i < n; ++i) {
        const int32_t id = idPath[i];
        const bool last = i + 1 == n;
        TDataObj* next = nullptr;
        if (id > kValDefIDBase && id < kObjDefIDBase) {
            TAbstractDataValue* v = cur->getValueWithID(id);
            if (!v) return fail("TAbstractRootObj.followIDPath path invalid");
            if (last) return v;
            if (v->Definition()->ValueType() != dvtReference)
                return fail("TAbstractRootObj.followIDPath path beyond reference value");
            next = v->getAsReference();
        } else if (id >= kObjDefIDBase && id < kListDefIDBase) {
            next = cur->getSubObjWithDefID(id);
        } else if (id >= kListDefIDBase) {
            TDataObjList* l = cur->getListWithID(id);
            if (!l) return fail("TAbstractRootObj.followIDPath path invalid");
            if (last) return l;
            if (idPath[i + 1] != -8) return fail("TAbstractRootObj.followIDPath path beyond list");
            if (i + 2 >= n) return fail("TAbstractRootObj.followIDPath unexpected end of path");
            next = l->getDataObjectID(idPath[i + 2]);
            i += 2;
        } else if (id == -8) {
            return fail("TAbstractRootObj.followIDPath: useID but not a list");
        } else if (id == -4) {
            next = cur->actGlobalData();
        } else if (id == -5) {
            next = cur->dbRoot();
        } else if (id == -6) {
            next = cur;
        } else if (id == -7) {
            next = cur->parentObject();
            if (!next) return fail("TAbstractRootObj.followIDPath ParentList nil");
        } else if (id < 0) {
            next = prev;
        } else {
            return fail("TAbstractRootObj.followIDPath path invalid");
        }
        if (!next) return fail("TAbstractRootObj.followIDPath path invalid");
        prev = cur;
        cur = next;
    }
    return cur;
}

QString TAbstractRootObj::buildPath(TAbstractRootObj* stopAt, bool escape) {
    if (this == stopAt) return QString();
    const auto join = [](const QString& head, const QString& tail) {
        return head.isEmpty() ? tail : head + QLatin1Char('-') + tail;
    };
    const auto esc = [&](const QString& s) { return escape ? escapePath(s) : s; };
    switch (nodeKind()) {
    case nkValue: {
        auto* v = static_cast<TAbstractDataValue*>(this);
        const QString head = v->Parent() ? v->Parent()->buildPath(stopAt, escape) : QString();
        return join(head, esc(v->XMLName()));
    }
    case nkList: {
        auto* l = static_cast<TDataObjList*>(this);
        const QString head = l->ParentDataObj() ? l->ParentDataObj()->buildPath(stopAt, escape) : QString();
        return join(head, esc(l->Definition()->XMLName()));
    }
    case nkObject: {
        auto* o = static_cast<TDataObj*>(this);
        if (o->ParentList())
            return o->ParentList()->buildPath(stopAt, escape) + QStringLiteral("##") +
                   QString::number(o->ID());
        if (o->Parent()) return join(o->Parent()->buildPath(stopAt, escape), esc(o->Definition()->XMLName()));
        return QString();
    }
    }
    return QString();
}

QString TAbstractRootObj::getPath(TAbstractRootObj* stopAt) {
    return buildPath(stopAt, true);
}
QString TAbstractRootObj::getValuePath(TAbstractRootObj* stopAt) {
    return buildPath(stopAt, false);
}

} // namespace fmx
