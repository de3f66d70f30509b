#include "dmerrors.h"

namespace fmx {

int tdek_InvalidEnumValue = -1;
int tdek_CheckFailure = -1;
int tdek_Cancelled = -1;
int tdek_InvalidFormat = -1;
int tdek_FileNotFound = -1;

void registerDataModelExceptions() {
    registerShellExceptions();
    if (tdek_InvalidEnumValue != -1) return;
    regException(tdek_InvalidEnumValue, QStringLiteral("tdek_InvalidEnumValue"),
                 QStringLiteral("Invalid enum value"));
    regException(tdek_CheckFailure, QStringLiteral("tdek_CheckFailure"), QStringLiteral("Data check failed"));
    regException(tdek_Cancelled, QStringLiteral("tdek_Cancelled"), QStringLiteral("Process was aborted"));
    regException(tdek_InvalidFormat, QStringLiteral("tdek_InvalidFormat"),
                 QStringLiteral("Invalid data format"));
    regException(tdek_FileNotFound, QStringLiteral("tdek_FileNotFound"), QStringLiteral("File not found"));
}

TCancelError::TCancelError(const QString& message, TAbstractRootObj* obj)
    : TDataError((registerDataModelExceptions(), tdek_Cancelled), message, obj) {}

} // namespace fmx
