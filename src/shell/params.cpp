#include "params.h"

#include "errors.h"

#include <QDir>

#include <mutex>

namespace fmx {
namespace {

std::mutex gArgsLock;
QStringList gArguments;

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Command line first, then (when asked) the environment.
QString lookUp(const QString& name, bool useEnvironment) {
    QString value = findActParam(name);
    if (value.isEmpty() && useEnvironment) value = qEnvironmentVariable(name.toLocal8Bit().constData());
    return value;
}

[[noreturn]] void missing(const QString& name) {
    registerShellExceptions();
    throw TBaseDataError(tdek_OngeldigeParameter,
                         QStringLiteral("Geen omgevingsvariabele of parameter gevonden voor ") +
                             quoted(name));
}

} // namespace

void setCommandLineArguments(const QStringList& arguments) {
    std::lock_guard<std::mutex> guard(gArgsLock);
    gArguments = arguments;
}

QStringList commandLineArguments() {
    std::lock_guard<std::mutex> guard(gArgsLock);
    return gArguments;
}

QString findActParam(const QString& name) {
    const QStringList arguments = commandLineArguments();
    for (const QString& argument : arguments) {
        const qsizetype colon = argument.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        if (argument.left(colon).compare(name, Qt::CaseInsensitive) != 0) continue;
        return argument.mid(colon + 1, 999);
    }
    return QString();
}

QString invalidParamValueText(const QString& name, const QString& value) {
    return QStringLiteral("Omgevingsvariabele of parameter ") + quoted(name) +
           QStringLiteral(" heeft ongeldige waarde ") + quoted(value);
}

bool checkStrParam(const QString& name, const QString& defaultValue, QString& var, bool useEnvironment,
                   bool optional) {
    const QString value = lookUp(name, useEnvironment);
    if (value.isEmpty()) {
        if (!optional) missing(name);
        var = defaultValue;
        return false;
    }
    var = value;
    return true;
}

bool checkDirParam(const QString& name, const QString& defaultValue, QString& var, bool useEnvironment,
                   bool mustExist, bool optional) {
    const QString value = lookUp(name, useEnvironment);
    if (value.isEmpty()) {
        if (!optional) missing(name);
        var = defaultValue;
        return false;
    }
    if (mustExist && !QDir(value).exists()) {
        registerShellExceptions();
        throw TBaseDataError(tdek_OngeldigeParameter, QStringLiteral("Parameter ") + quoted(name) +
                                                          QStringLiteral(": directory ") + quoted(value) +
                                                          QStringLiteral(" bestaat niet."));
    }
    var = value;
    return true;
}

bool checkIntParam(const QString& name, int defaultValue, int& var, bool useEnvironment, bool optional) {
    const QString value = lookUp(name, useEnvironment);
    if (value.isEmpty()) {
        if (!optional) missing(name);
        var = defaultValue;
        return false;
    }
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    if (!ok) {
        registerShellExceptions();
        throw TBaseDataError(tdek_OngeldigeParameter, invalidParamValueText(name, value));
    }
    var = number;
    return true;
}

} // namespace fmx
