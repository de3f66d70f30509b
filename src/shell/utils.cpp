#include "utils.h"

#include <QFile>

#include <atomic>
#include <cmath>
#include <mutex>

namespace fmx {
namespace {

std::mutex gNowLock;
QDateTime gVirtualNow; // invalid: no virtual date
std::atomic<int> gPixelsPerInch{96};

} // namespace

QDateTime GetNow() {
    std::lock_guard<std::mutex> guard(gNowLock);
    if (!gVirtualNow.isValid()) return QDateTime::currentDateTime();
    const QDateTime now = gVirtualNow;
    gVirtualNow = gVirtualNow.addMSecs(432000); // 0.005 day
    return now;
}

void setVirtualNow(const QDateTime& start) {
    std::lock_guard<std::mutex> guard(gNowLock);
    gVirtualNow = start;
}

void clearVirtualNow() {
    setVirtualNow(QDateTime());
}

QDateTime parseVirtualDate(const QString& text) {
    const QString t = text.trimmed();
    static const QString dateTimeFormats[] = {
        QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm"),
        QStringLiteral("yyyy-MM-ddTHH:mm:ss"), QStringLiteral("yyyy-MM-ddTHH:mm")};
    for (const QString& format : dateTimeFormats) {
        const QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid()) return dt;
    }
    for (const QString& format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd-MM-yyyy")}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid()) return d.startOfDay();
    }
    return QDateTime();
}

QString truncString(const QString& text, int maxLength) {
    if (text.size() <= maxLength) return text;
    return text.left(maxLength > 5 ? maxLength - 5 : 0) + QStringLiteral("[...]");
}

int scaleControlPart(int n) {
    const int ppi = gPixelsPerInch.load();
    if (ppi == 96) return n;
    return static_cast<int>(std::llround(static_cast<double>(n) * 90.0 * ppi / 9600.0));
}

void setScreenPixelsPerInch(int ppi) {
    gPixelsPerInch.store(ppi > 0 ? ppi : 96);
}
int screenPixelsPerInch() {
    return gPixelsPerInch.load();
}

bool testSchrijfRechtenInDir(const QString& fileName, QString& errorText) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::NewOnly)) {
        errorText = file.errorString();
        return false;
    }
    file.close();
    if (!file.remove()) {
        errorText = file.errorString();
        return false;
    }
    return true;
}

} // namespace fmx
