// The keys under which translatable texts are found in a language catalogue.
//
// Definitions are keyed by their translation name (the XML name with "-" replaced by "_"):
//   "V_" name            caption of a value definition      "V_" name "_D"  its note
//   "VU_" name           unit of a value definition (only for units other than "" and "-")
//   "V_" name "_E_" n    text of enumeration entry n (a negative n is written "bz" + |n|)
//   "L_" name, "L_" name "_D"   caption and note of a list definition
//   "D_" name, "D_" name "_D"   caption and note of an object definition
// Other texts:
//   "VM_" + 8 hex digits of the message number     validation messages
//   "EXCEPT_" + the kind's variable name           error kinds
//   "U_" + 8 hex digits of textHash(text)          every other text, keyed by its English wording
#pragma once

#include <QString>

#include <cstdint>

namespace fmx {

class TAbstractDef;

// hash := hash * 65599 + c over the UTF-16 code units c, kept to 32 bits.
uint32_t textHash(const QString& text);
// "U_" + the hash as 8 upper-case hexadecimal digits.
QString textKey(const QString& text);

QString keyValueCaption(const TAbstractDef& def);
QString keyValueNote(const TAbstractDef& def);
QString keyValueUnit(const TAbstractDef& def);
QString keyEnumText(const TAbstractDef& def, int32_t entryID);
QString keyListCaption(const TAbstractDef& def);
QString keyListNote(const TAbstractDef& def);
QString keyObjCaption(const TAbstractDef& def);
QString keyObjNote(const TAbstractDef& def);
QString keyValMsg(int32_t messageID);
QString keyExceptionKind(const QString& varName);

} // namespace fmx
