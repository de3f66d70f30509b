// Small helpers of the shell: the program's "now", string truncation, control scaling and the
// write-rights test.
#pragma once

#include <QDateTime>
#include <QString>

namespace fmx {

// The current date and time; after setVirtualNow the virtual date instead, advanced by five
// thousandths of a day (432 s) on every call.
QDateTime GetNow();
void setVirtualNow(const QDateTime& start);
void clearVirtualNow();
// Parses a USEVIRTUALDATE value: "yyyy-MM-dd", "yyyy-MM-dd HH:mm[:ss]", "yyyy-MM-ddTHH:mm[:ss]" or
// "dd-MM-yyyy"; returns an invalid QDateTime otherwise.
QDateTime parseVirtualDate(const QString& text);

// Text longer than maxLength is cut to maxLength - 5 characters and "[...]" appended.
QString truncString(const QString& text, int maxLength);

// n unchanged at 96 pixels per inch, otherwise n * 90 * ppi / 9600 rounded to the nearest integer.
int scaleControlPart(int n);
void setScreenPixelsPerInch(int ppi); // set by the UI at start-up; 96 until then
int screenPixelsPerInch();

// Creates the empty file fileName, closes and deletes it. Returns false with the reason in
// errorText when any step fails.
bool testSchrijfRechtenInDir(const QString& fileName, QString& errorText);

} // namespace fmx
