// The language files the program can switch to: the "*.lng" files of the Translate folder.
#pragma once

#include <QString>

#include <vector>

namespace fmx {

struct TLanguageFile {
    int fLanguageID = 0;
    QString fName; // the "@name" of the file, else the file name
    QString fFile;
};

// The folder of the language files: the first that exists of <programDir>/../Translate,
// <programDir>/Translate and programDir itself.
QString findTranslateDir(const QString& programDir);

// The "*.lng" files directly in dir (not below it), in file-name order. A file that cannot be
// read or parsed is left out with a warning in the log; of two files that declare the same
// language the first is kept (warning).
std::vector<TLanguageFile> scanLanguageFiles(const QString& dir);

// The scanned files of this run.
const std::vector<TLanguageFile>& languageFiles();
void setLanguageFiles(std::vector<TLanguageFile> files);
// The file of a language; nullptr when it has none.
const TLanguageFile* findLanguageFile(int languageID);

// The start-up step: registers the error kind, installs the translation hooks and scans the
// language files of findTranslateDir(programDir) (logging what it found).
void setUpTranslation(const QString& programDir);

} // namespace fmx
