// The start-up sequence shared by the desktop program and the command-line tool: globals, module
// versions, logging, parameters, directories, assertion handler, formats, language and the
// template-directory checks. Every failure shows its message and stops the process through
// saveHalt (exit code 1; 0 for the single-instance exit; 227 for an internal error).
#pragma once

#include "globals.h"
#include "modules.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace fmx {

struct TStartUpOptions {
    QStringList fArguments; // the command line without the program name
    QString fProgramDir;    // the executable's folder
    // The folders the directories derive from; the system's when not given.
    std::optional<TDirBases> fDirBases;
    // Library-side version declarations of the shared code bases above the shell ("Datamodel").
    std::vector<std::pair<QString, TModuleVerInfo>> fLibraryModules;
    // Running from the build tree: the templates may sit one level above the program directory.
    bool fDevelopmentTree = false;
    bool fStartLogWriter = true;
    // Screen resolution for scaleControlPart (0: leave at 96).
    int fPixelsPerInch = 0;

    // Hooks of the higher layers, each optional.
    std::function<void()> fSetUpDataModel; // before the versions are registered
    std::function<bool(const QString& title)>
        fRaiseInstance;                      // APPLTITLE: true when another instance took over
    std::function<void()> fInitXmlParser;    // end of the core initialisation
    std::function<void()> fSetUpTranslation; // after the template checks
};

// Runs the start-up sequence once. Returns normally only when the program can go on.
void initAppl(const TStartUpOptions& options);

// The values read from the command line during start-up.
struct TStartUpParams {
    QString fUseDir;
    QString fUseSharedDir;
    QString fLogDir;
    QString fApplTitle;
    bool fMaxLogSizeGiven = false;
    QString fVirtualDate;
};
const TStartUpParams& startUpParams();

// Ends what start-up began: the final log write (at most 5 s) and the previous assertion handler.
void finalizeCoreFunctions();

// Undoes a start-up completely (a new run in the same process, as tests do).
void resetStartUp();

} // namespace fmx
