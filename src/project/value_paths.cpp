#include "value_paths.h"

#include "dmerrors.h"
#include "dmhooks.h"
#include "errors.h"

#include <QRegularExpression>

namespace fmx {

namespace {

[[noreturn]] void badPath(const QString& path, const QString& why) {
    throw TBaseDataError((registerShellExceptions(), tdek_OngeldigeParameter),
                         QStringLiteral("\"%1\": %2").arg(path, why));
}

// One step: an object below obj, or a row of one of its lists.
TDataObj* step(TDataObj* obj, const QString& part, const QString& path) {
    static const QRegularExpression row(QStringLiteral("^([^\\[\\]]+)\\[([0-9]+)\\]$"));
    const QRegularExpressionMatch m = row.match(part);
    if (m.hasMatch()) {
        TDataObjList* list = obj->getListWithXML(m.captured(1));
        if (!list) badPath(path, dmTl(QStringLiteral("there is no list \"%1\"")).arg(m.captured(1)));
        bool ok = false;
        const int n = m.captured(2).toInt(&ok);
        if (!ok || n < 1 || n > list->objCount())
            badPath(path, dmTl(QStringLiteral("the list \"%1\" has %2 rows, not a row %3"))
                              .arg(m.captured(1))
                              .arg(list->objCount())
                              .arg(m.captured(2)));
        return list->obj(n - 1);
    }
    TDataObj* sub = obj->getSubObjWithXML(part);
    if (!sub) badPath(path, dmTl(QStringLiteral("there is no object \"%1\"")).arg(part));
    return sub;
}

// The object at objectPath; messages name the whole path.
TDataObj* objectAt(TDataObj* root, const QString& objectPath, const QString& path) {
    TDataObj* obj = root;
    if (objectPath.isEmpty()) return obj;
    for (const QString& part : objectPath.split(QLatin1Char('.'))) {
        if (part.isEmpty()) badPath(path, dmTl(QStringLiteral("a name is missing")));
        obj = step(obj, part, path);
    }
    return obj;
}

} // namespace

TDataObj* findObjectByPath(TDataObj* root, const QString& path) {
    return objectAt(root, path, path);
}

TAbstractDataValue* findValueByPath(TDataObj* root, const QString& path) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    TDataObj* obj = objectAt(root, dot < 0 ? QString() : path.left(dot), path);
    const QString name = path.mid(dot + 1);
    if (name.isEmpty()) badPath(path, dmTl(QStringLiteral("the value name is missing")));
    TAbstractDataValue* value = obj->getValueWithXML(name);
    if (!value) badPath(path, dmTl(QStringLiteral("there is no value \"%1\"")).arg(name));
    return value;
}

QStringList valuePathTexts() {
    return {QStringLiteral("there is no list \"%1\""), QStringLiteral("the list \"%1\" has %2 rows, not a row %3"),
            QStringLiteral("there is no object \"%1\""), QStringLiteral("a name is missing"),
            QStringLiteral("the value name is missing"), QStringLiteral("there is no value \"%1\""),
            QStringLiteral("\"%1\" is refused: %2")};
}

void setValueText(TAbstractDataValue* value, const QString& text, const QString& path) {
    try {
        value->setAsString(text);
    } catch (const TDmMessageError& e) {
        badPath(path, dmTl(QStringLiteral("\"%1\" is refused: %2")).arg(text, e.message()));
    } catch (const TBaseDataError& e) {
        badPath(path, dmTl(QStringLiteral("\"%1\" is refused: %2")).arg(text, e.text()));
    }
}

} // namespace fmx
