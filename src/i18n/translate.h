// Translation of the texts the user sees. English is the base language: every text exists in the
// code in English and is shown translated when the active catalogue has a text for its key (see
// textkeys.h), else in English.
//
// State (one per process): the active catalogue (none: English), the English texts of the
// definitions taken before their first translation, and the free texts that went through tl.
// Everything here runs on the user-interface thread except tl, which any thread may call.
#pragma once

#include "catalogue.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace fmx {

// A free text in the current language: the active catalogue's text for textKey(text), else text.
// Every non-empty text is remembered for the base catalogue. tl("") is "".
QString tl(const QString& text);
// The same, for texts translated once where they are declared.
QString tlc(const QString& text);
// Remembers texts for the base catalogue without showing them (texts that are only built later).
void registerFreeTexts(const QStringList& texts);

// The eleven global texts, in their current language.
enum TGlobalText {
    gtStrGeen,      // "[none]"
    gtBvalJa,       // "Yes"
    gtBvalNee,      // "No"
    gtBvalOnbekend, // "Unknown"
    gtError,        // "Error"
    gtWarning,      // "Warning"
    gtInfo,         // "Information"
    gtInfoShort,    // "Info"
    gtUnitString,   // "Unit"
    gtPropString,   // "Property"
    gtValString,    // "Value"
    kGlobalTextCount
};
QString globalText(TGlobalText which);
// The fixed key of a global text ("gStrGeen", "gTxt_bvalJa", ...).
QString globalTextKey(TGlobalText which);
QString globalTextBase(TGlobalText which);
inline QString gStrGeen() {
    return globalText(gtStrGeen);
}
inline QString gTxt_bvalJa() {
    return globalText(gtBvalJa);
}
inline QString gTxt_bvalNee() {
    return globalText(gtBvalNee);
}
inline QString gTxt_bvalOnbekend() {
    return globalText(gtBvalOnbekend);
}
inline QString gTxt_Error() {
    return globalText(gtError);
}
inline QString gTxt_Warning() {
    return globalText(gtWarning);
}
inline QString gTxt_Info() {
    return globalText(gtInfo);
}
inline QString gTxt_InfoShort() {
    return globalText(gtInfoShort);
}
inline QString gUnitString() {
    return globalText(gtUnitString);
}
inline QString gPropString() {
    return globalText(gtPropString);
}
inline QString gValString() {
    return globalText(gtValString);
}

// Makes catalogue the active one (nullptr: English). Free texts and error kinds follow at once;
// definitions, validation messages and global texts follow at the next updateDefsLanguage.
void setActiveCatalogue(std::shared_ptr<const TCatalogue> catalogue);
std::shared_ptr<const TCatalogue> activeCatalogue();

// Re-translates, for the active catalogue: every value definition's caption, note, unit (not an
// empty or "-" unit) and enumeration texts, every list's and object's caption and note, the
// validation messages and the global texts. A key without a text gives the English text.
void updateDefsLanguage();

// Reads a language file, makes it the active catalogue, sets the current language to the one it
// declares and re-translates. A file that cannot be read or parsed throws TBaseDataError
// (tdek_LanguageFile) and changes nothing.
void loadLanguageFile(const QString& path);
// Switches to a language: its scanned language file (see langfiles.h), or English when it has
// none (returns false then). Throws as loadLanguageFile, changing nothing.
bool switchLanguage(int languageID);

// The base-language catalogue for translators: every key with its English text, from the
// registered definitions, validation messages, error kinds, global texts and every free text
// that went through tl or registerFreeTexts so far. Empty texts are left out; of two texts under
// one key the first is kept, and a key that a file cannot hold (an XML name with "=" or an end
// blank) is left out (both logged as warnings).
TCatalogue buildBaseCatalogue();
// buildBaseCatalogue written whole to path; throws as writeCatalogue.
void writeBaseCatalogue(const QString& path);

// Installs tl as the data model's and the shell's translator and the kind-text translator.
void installTranslationHooks();
// Back to the start: English, hooks removed, remembered texts forgotten (tests, a new run).
void resetTranslation();

} // namespace fmx
