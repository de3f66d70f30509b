// The headless commands of the program:
//   templates                      the project templates and subsidy rule files
//   calc [project options]         calculates a project and prints every output value
//   report [project options] --out DIR | --pdf FILE
//   catalogue [--out FILE]         the base-language catalogue for translators
//   build-data --sources DIR --out DIR   generates the installation data
// Project options: --template NAME | --file PATH, --subsidy NAME, --set Object.Value=text
// (repeatable, applied in order), --lang ID, --format json|csv.
// Exit codes: 0 success, 1 bad input (message on standard error), 2 calculation failed.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fmx {
class TProject;
}

namespace fmx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitCalcFailed = 2;

int run(int argc, char** argv);

// Registers every fixed text of the program for the base-language catalogue (the definitions are
// registered by declaring them).
void registerAllTexts();

// The outputs of a calculated project as one JSON object ({"ok": true, "BiomassOut": {...}, ...}).
QString outputsAsJson(TProject& project);
// The same as lines "path,value" under the header "path,value".
QString outputsAsCsv(TProject& project);
// Shortest text that reads back as the same double ("null" for a value that is not finite).
QString numberText(double v);

} // namespace fmx::cli
