// The start of the program up to its first project, shared by the desktop program and the
// command-line tool: the start-up sequence with this program's hooks (data model, XML reader,
// translation), the user's formats and language, the data opened through the object manager with
// the global data file, and the project calculation installed. Every failure shows its message and
// stops the process (exit code 1).
#pragma once

#include "startup.h"

#include <QLocale>

namespace fmx {

struct TAppStartOptions {
    QStringList fArguments; // the command line without the program name (KEY:value parameters only)
    QString fProgramDir;    // the executable's folder
    std::optional<TDirBases> fDirBases;
    bool fDevelopmentTree = false;
    bool fStartLogWriter = true;
    QLocale fUserLocale = QLocale::system();
    // A language to use instead of the one start-up chooses (0: the chosen one).
    int fLanguageOverride = 0;
};

void startApplication(const TAppStartOptions& options);
// Closes the data and ends the logging (the last log write).
void stopApplication();

// Every fixed text of the project layer shown through tl, registered for the base catalogue.
void registerProjectTexts();

} // namespace fmx
