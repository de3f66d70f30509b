// Named command-line parameters NAME:value.
//
// The name is compared without regard to case; the value is everything after the first colon, at
// most 999 characters. An argument without a colon is no named parameter, and an empty value
// counts as not given.
#pragma once

#include <QString>
#include <QStringList>

namespace fmx {

// The arguments after the program name. Start-up sets them from the real command line.
void setCommandLineArguments(const QStringList& arguments);
QStringList commandLineArguments();

// The value of NAME:value, or empty.
QString findActParam(const QString& name);

// Each looks the parameter up on the command line, then (with useEnvironment) in the environment
// variable of the same name. Found: sets var and returns true. Not found: sets var to the default
// and returns false, or throws TBaseDataError (tdek_OngeldigeParameter) when not optional.
// checkDirParam with mustExist throws when the directory does not exist; checkIntParam throws
// when the value is not an integer. var is left as it was when an error is thrown.
bool checkStrParam(const QString& name, const QString& defaultValue, QString& var, bool useEnvironment,
                   bool optional);
bool checkDirParam(const QString& name, const QString& defaultValue, QString& var, bool useEnvironment,
                   bool mustExist, bool optional);
bool checkIntParam(const QString& name, int defaultValue, int& var, bool useEnvironment, bool optional);

// The message of an integer (or other) value that does not convert.
QString invalidParamValueText(const QString& name, const QString& value);

} // namespace fmx
