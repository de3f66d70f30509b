// The generator of the installation data: builds the global data file, the project templates and
// the subsidy rule files from the readable sources in data/sources (CSV; the format is described in
// data/sources/README.md) and writes them as data-tree files. The same sources give the same bytes.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace fmx::cli {

// One parsed CSV file: header and rows, each row with its line number for messages.
struct TCsvTable {
    QString fFile;
    QStringList fHeader;
    std::vector<std::pair<int, QStringList>> fRows;
};
// Reads a UTF-8 CSV file (RFC 4180 quoting; lines starting with "#" are comments; blank lines are
// skipped). Throws TBaseDataError naming the file and line for a malformed file.
TCsvTable readCsv(const QString& file);
// The same over a text (tests).
TCsvTable parseCsv(const QString& text, const QString& fileName);

// Generates every file below outDir (global.base.xml, Templates/Projects, Templates/Subsidy).
// Needs the project schema declared and no object manager. Throws TBaseDataError naming the source
// file and line of the first value it cannot set.
void buildInstallationData(const QString& sourcesDir, const QString& outDir);

} // namespace fmx::cli
