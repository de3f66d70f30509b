// Module version registration. Each shared code base declares the version it was built from
// (registerActualModule), the application the version it requires (registerRequiredModule);
// verifyRegisteredModules compares both sides of every module at start-up and ends the program on
// a mismatch, so that a build from inconsistent sources never runs.
#pragma once

#include <QString>

#include <optional>

namespace fmx {

struct TModuleVerInfo {
    qint32 fVersion = 0;
    QString fSVNInfo_Rev;
    QString fSVNInfo_Date; // yyyy/mm/dd hh:nn:ss
    QString fSVNInfo_URL;

    bool operator==(const TModuleVerInfo&) const = default;
};

struct TModuleDescr {
    QString fModuleName;
    std::optional<TModuleVerInfo> fLibInfo;
    std::optional<TModuleVerInfo> fClientInfo;
};

inline constexpr int kMaxRegisteredModules = 12;

// The versions of this program's two shared code bases (both sides carry the same values).
TModuleVerInfo componentsModuleInfo();
TModuleVerInfo datamodelModuleInfo();

// Registering one side of a module twice with different information, or a thirteenth module, is an
// internal error (see internalError).
void registerActualModule(const QString& name, const TModuleVerInfo& info);
void registerRequiredModule(const QString& name, qint32 version, TModuleVerInfo info);
// Compares both sides of every module in registration order; the first mismatch is an internal error.
void verifyRegisteredModules();

int getRegisteredModuleCount();
// The log line of module index (1-based).
QString getRegisteredModuleInfo(int index);
// "Version <v> rev <r> date "<d>"", or "No version info".
QString getModuleInfoDescr(const TModuleVerInfo* info);

// Forgets every registration (a new run in the same process, as tests do).
void clearRegisteredModules();

// Shows text in an ownerless error box captioned "Interne fout" through the message sink and
// ends the process at once (exit code 227, log flushed).
[[noreturn]] void internalError(const QString& text);

} // namespace fmx
