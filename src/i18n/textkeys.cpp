#include "textkeys.h"

#include "definitions.h"

namespace fmx {
namespace {

QString hex8(uint32_t v) {
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

uint32_t textHash(const QString& text) {
    uint32_t hash = 0;
    for (const QChar c : text)
        hash = hash * 65599u + c.unicode();
    return hash;
}

QString textKey(const QString& text) {
    return QStringLiteral("U_") + hex8(textHash(text));
}

QString keyValueCaption(const TAbstractDef& def) {
    return QStringLiteral("V_") + def.getTranslateName();
}
QString keyValueNote(const TAbstractDef& def) {
    return QStringLiteral("V_") + def.getTranslateName() + QStringLiteral("_D");
}
QString keyValueUnit(const TAbstractDef& def) {
    return QStringLiteral("VU_") + def.getTranslateName();
}
QString keyEnumText(const TAbstractDef& def, int32_t entryID) {
    const QString n = entryID < 0 ? QStringLiteral("bz") + QString::number(-static_cast<int64_t>(entryID))
                                  : QString::number(entryID);
    return QStringLiteral("V_") + def.getTranslateName() + QStringLiteral("_E_") + n;
}
QString keyListCaption(const TAbstractDef& def) {
    return QStringLiteral("L_") + def.getTranslateName();
}
QString keyListNote(const TAbstractDef& def) {
    return QStringLiteral("L_") + def.getTranslateName() + QStringLiteral("_D");
}
QString keyObjCaption(const TAbstractDef& def) {
    return QStringLiteral("D_") + def.getTranslateName();
}
QString keyObjNote(const TAbstractDef& def) {
    return QStringLiteral("D_") + def.getTranslateName() + QStringLiteral("_D");
}
QString keyValMsg(int32_t messageID) {
    return QStringLiteral("VM_") + hex8(static_cast<uint32_t>(messageID));
}
QString keyExceptionKind(const QString& varName) {
    return QStringLiteral("EXCEPT_") + varName;
}

} // namespace fmx
