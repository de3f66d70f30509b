// The program's small settings store: string values under the company and product name
// (QSettings, organisation "Morvane Software", application "Fermalux"). currentUser false selects
// the machine-wide scope. Using the store before the product name is set is a programming error.
#pragma once

#include <QString>

namespace fmx {

void setRegPakketNaam(const QString& productName);
void setRegCompanyName(const QString& companyName);

// Reads a value. Missing: value becomes the default (stored too when canCreate) and false is
// returned. True when the value was read.
bool RegGetString(bool currentUser, const QString& name, const QString& defaultValue, QString& value,
                  bool canCreate);
// False when the value could not be written.
bool RegSetString(bool currentUser, const QString& name, const QString& value);
// As RegGetString; a stored text that is no integer is overwritten with the default.
int RegGetInteger(bool currentUser, const QString& name, int defaultValue, bool canCreate);
bool RegSetInteger(bool currentUser, const QString& name, int value);

} // namespace fmx
