#include "modules.h"

#include "log.h"
#include "messages.h"

#include <mutex>
#include <vector>

namespace fmx {
namespace {

std::mutex gModulesLock;
std::vector<TModuleDescr> gModules;

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

enum class Side { Lib, Client };

void registerSide(Side side, const QString& name, const TModuleVerInfo& info) {
    const QString function =
        side == Side::Lib ? QStringLiteral("registerActualModule") : QStringLiteral("registerRequiredModule");
    QString error;
    {
        std::lock_guard<std::mutex> guard(gModulesLock);
        TModuleDescr* descr = nullptr;
        for (TModuleDescr& d : gModules)
            if (d.fModuleName == name) descr = &d;
        if (!descr) {
            if (gModules.size() >= static_cast<size_t>(kMaxRegisteredModules)) {
                error = function + QStringLiteral(" teveel modules -> registratie module mislukt");
            } else {
                gModules.push_back(TModuleDescr{name, std::nullopt, std::nullopt});
                descr = &gModules.back();
            }
        }
        if (descr) {
            std::optional<TModuleVerInfo>& slot = side == Side::Lib ? descr->fLibInfo : descr->fClientInfo;
            if (slot && *slot != info)
                error = function + QStringLiteral(" module ") + quoted(name) +
                        QStringLiteral(" 2e registratie met ander versienr");
            else
                slot = info;
        }
    }
    if (!error.isEmpty()) internalError(error);
}

} // namespace

TModuleVerInfo componentsModuleInfo() {
    return TModuleVerInfo{4000, QStringLiteral("162"), QStringLiteral("2011/10/27 17:35:20"),
                          QStringLiteral("fermalux/src/shell")};
}

TModuleVerInfo datamodelModuleInfo() {
    return TModuleVerInfo{6000, QStringLiteral("264"), QStringLiteral("2011/10/27 20:06:54"),
                          QStringLiteral("fermalux/src/datamodel")};
}

void registerActualModule(const QString& name, const TModuleVerInfo& info) {
    registerSide(Side::Lib, name, info);
}

void registerRequiredModule(const QString& name, qint32 version, TModuleVerInfo info) {
    info.fVersion = version;
    registerSide(Side::Client, name, info);
}

void verifyRegisteredModules() {
    QString error;
    {
        std::lock_guard<std::mutex> guard(gModulesLock);
        for (const TModuleDescr& d : gModules) {
            const QString wrongSource =
                QStringLiteral("Deze software is gecompileerd met een onjuiste source versie voor module ") +
                quoted(d.fModuleName);
            if (!d.fLibInfo) {
                error = QStringLiteral("Ontbrekende lib info voor module \"") + d.fModuleName;
            } else if (!d.fClientInfo) {
                error = QStringLiteral("Ontbrekende client info voor module \"") + d.fModuleName;
            } else if (d.fLibInfo->fVersion != d.fClientInfo->fVersion) {
                error = wrongSource + QStringLiteral(", vereist is source versie ") +
                        QString::number(d.fLibInfo->fVersion) + QStringLiteral(", gebruikt is versie ") +
                        QString::number(d.fClientInfo->fVersion);
            } else if (d.fLibInfo->fSVNInfo_Rev != d.fClientInfo->fSVNInfo_Rev) {
                error = wrongSource + QStringLiteral(", vereist is source svn revisie ") +
                        quoted(d.fLibInfo->fSVNInfo_Rev) + QStringLiteral(", gebruikt is revisie ") +
                        quoted(d.fClientInfo->fSVNInfo_Rev);
            }
            if (!error.isEmpty()) break;
        }
    }
    if (!error.isEmpty()) internalError(error);
}

int getRegisteredModuleCount() {
    std::lock_guard<std::mutex> guard(gModulesLock);
    return static_cast<int>(gModules.size());
}

QString getModuleInfoDescr(const TModuleVerInfo* info) {
    if (!info) return QStringLiteral("No version info");
    return QStringLiteral("Version ") + QString::number(info->fVersion) + QStringLiteral(" rev ") +
           info->fSVNInfo_Rev + QStringLiteral(" date ") + quoted(info->fSVNInfo_Date);
}

QString getRegisteredModuleInfo(int index) {
    TModuleDescr d;
    {
        std::lock_guard<std::mutex> guard(gModulesLock);
        if (index < 1 || index > static_cast<int>(gModules.size())) return QString();
        d = gModules[static_cast<size_t>(index - 1)];
    }
    const QString lib = getModuleInfoDescr(d.fLibInfo ? &*d.fLibInfo : nullptr);
    const QString client = getModuleInfoDescr(d.fClientInfo ? &*d.fClientInfo : nullptr);
    if (lib == client) return d.fModuleName + QStringLiteral(" LIB: ") + lib;
    return QStringLiteral("** SOURCE LIB MISMATCH: ") + d.fModuleName + QStringLiteral(" **\r\n SRCLIB: ") +
           lib + QStringLiteral("\r\n CLIENT: ") + client;
}

void clearRegisteredModules() {
    std::lock_guard<std::mutex> guard(gModulesLock);
    gModules.clear();
}

void internalError(const QString& text) {
    logInfo(lmk_logError, QStringLiteral("Interne fout: ") + text);
    TMessageRequest request;
    request.fText = text;
    request.fCaption = QStringLiteral("Interne fout");
    request.fFlags = MB_OK | MB_ICONERROR;
    request.fOwnerless = true;
    messageSink()->show(request);
    saveHalt(227, true, true, false);
}

} // namespace fmx
