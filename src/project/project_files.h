// Project templates, project files and subsidy rule files: finding them, loading them with the
// checks that keep files of another structure out, and the start project of a language.
//
// Every function that refuses or fails shows its message (error box or exception box) and leaves
// whatever the caller holds untouched; the caller decides what becomes current.
#pragma once

#include "project.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace fmx {

inline const QString kBaseXmlExt = QStringLiteral(".base.xml");
inline const QString kDefaultSubsidyName = QStringLiteral("Default Subsidy");

// The names (file names without ".base.xml") of the "*.base.xml" files directly in dir, sorted by
// name so that every listing shows them in the same order.
QStringList baseXmlNames(const QString& dir);

// The template folders of this run (set at start-up).
QString projectTemplateDir();
QString subsidyDir();
QString htmlTemplateDir();

// A new project from dir/fileName.base.xml with the subsidy rules subsidyName: loaded, its rules
// loaded, checked (a non-zero average outside pressure) and calculated. nullptr after the message
// when it is refused ("Invalid file structure! ...", "Probably old project file structure. ...")
// or cannot be loaded ("Failed to load file" with the reason). On success the project has no file
// name, and Template holds fileName.
std::unique_ptr<TProject> createProject(const QString& dir, const QString& fileName, const QString& subsidyName);
// A project file as it is (its own Template and SubsidyFileName), with the same checks and messages.
std::unique_ptr<TProject> loadProject(const QString& dir, const QString& fileName);

// Rules loaded from dir/name.base.xml for the subsidy pages; nullptr after the message when the file
// is no rule file (its Dutch subsidy duration is 0) or cannot be loaded.
std::unique_ptr<TProjectSubsidy> loadProjectSub(const QString& dir, const QString& name);

// The start project of a language: the country's template or the default one, with its rules. No
// template at all, or no "Default Subsidy" when the template's rules are missing, stops the program
// (message, exit code 1). The project has no file name, counts as coming from outside, and its
// Template holds the template name. It is not calculated yet.
std::unique_ptr<TProject> loadStartProject(int languageID);

// The start project calculated once: on failure the message "Something went wrong! Evaluate input
// values" is shown and the project is kept as loaded.
std::unique_ptr<TProject> loadAndCalcStartProject(int languageID);

// Runs the project's calculation; an input the calculation cannot use (an error while its inputs
// are read) counts as a failed calculation. why (optional) receives the reason of a failure.
bool calcWithReason(TProject& project, QString* why = nullptr);

// Texts of this file shown through tl, for the translators' catalogue.
QStringList projectFileTexts();

} // namespace fmx
