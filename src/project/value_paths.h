// Values and objects of a tree named by a dotted path of XML names from its root:
// "EnergyIn.Heat_use", "AdminVars.AdmComponentsDatabase.<name>", and list rows by their number
// from 1: "BiomassIn.SubstrateCosubList[2].Msub_i". Used by the command-line tool's edits and by
// the generator of the installation data.
#pragma once

#include "dataobj.h"
#include "datavalue.h"

#include <QString>
#include <QStringList>

namespace fmx {

// The object at path (empty: root itself). Throws TBaseDataError (tdek_OngeldigeParameter) that
// names the first step that does not exist.
TDataObj* findObjectByPath(TDataObj* root, const QString& path);
// The value at path. Throws as findObjectByPath.
TAbstractDataValue* findValueByPath(TDataObj* root, const QString& path);

// Sets a value from a text as the user types it (the data model's text setter: the user's number
// format, enumeration texts, limits), so it marks and triggers as an edit does. A text the value
// refuses throws TBaseDataError (tdek_OngeldigeParameter) with the data model's reason.
void setValueText(TAbstractDataValue* value, const QString& text, const QString& path);

// The texts of the messages above, for the translators' catalogue.
QStringList valuePathTexts();

} // namespace fmx
