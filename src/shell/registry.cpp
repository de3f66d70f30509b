#include "registry.h"

#include "fmx_assert.h"

#include <QSettings>

#include <mutex>

namespace fmx {
namespace {

std::mutex gRegLock;
QString gRegPakketNaam;
QString gRegCompanyName = QStringLiteral("Morvane Software");

// Null (after an assertion) when the product name is not known yet.
std::unique_ptr<QSettings> openStore(bool currentUser) {
    QString product;
    QString company;
    {
        std::lock_guard<std::mutex> guard(gRegLock);
        product = gRegPakketNaam;
        company = gRegCompanyName;
    }
    FMX_ASSERT(!product.isEmpty(), QStringLiteral("_Registry.gRegPakketNaam niet ingevuld"));
    if (product.isEmpty()) return nullptr;
    return std::make_unique<QSettings>(QSettings::NativeFormat,
                                       currentUser ? QSettings::UserScope : QSettings::SystemScope, company,
                                       product);
}

bool writeValue(QSettings& store, const QString& name, const QString& value) {
    if (!store.isWritable()) return false;
    store.setValue(name, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace

void setRegPakketNaam(const QString& productName) {
    std::lock_guard<std::mutex> guard(gRegLock);
    gRegPakketNaam = productName;
}

void setRegCompanyName(const QString& companyName) {
    std::lock_guard<std::mutex> guard(gRegLock);
    gRegCompanyName = companyName;
}

bool RegGetString(bool currentUser, const QString& name, const QString& defaultValue, QString& value,
                  bool canCreate) {
    value = defaultValue;
    const auto store = openStore(currentUser);
    if (!store) return false;
    const QVariant stored = store->value(name);
    if (!stored.isValid()) {
        if (canCreate) writeValue(*store, name, defaultValue);
        return false;
    }
    if (!stored.canConvert<QString>() || stored.typeId() == QMetaType::QStringList) {
        writeValue(*store, name, defaultValue); // unreadable: replaced by the default
        return false;
    }
    value = stored.toString();
    return true;
}

bool RegSetString(bool currentUser, const QString& name, const QString& value) {
    const auto store = openStore(currentUser);
    return store && writeValue(*store, name, value);
}

int RegGetInteger(bool currentUser, const QString& name, int defaultValue, bool canCreate) {
    QString text;
    if (!RegGetString(currentUser, name, QString::number(defaultValue), text, canCreate)) return defaultValue;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok) return value;
    RegSetInteger(currentUser, name, defaultValue);
    return defaultValue;
}

bool RegSetInteger(bool currentUser, const QString& name, int value) {
    return RegSetString(currentUser, name, QString::number(value));
}

} // namespace fmx
