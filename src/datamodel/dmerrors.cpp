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

namespace {
std::vector<TValMsgRec>& valMsgs() {
    static std::vector<TValMsgRec> list;
    return list;
}
} // namespace

void regValMsg(int32_t id, const QString& msg) {
    for (TValMsgRec& r : valMsgs()) {
        if (r.id == id) {
            r.msg = msg;
            return;
        }
    }
    valMsgs().push_back(TValMsgRec{id, msg});
}

void registerValidationMessages() {
    if (valMsgText(34).isEmpty()) regValMsg(34, QStringLiteral("Ongeldige verwijzingen"));
}

const std::vector<TValMsgRec>& validationMessages() {
    return valMsgs();
}

QString valMsgText(int32_t id) {
    for (const TValMsgRec& r : valMsgs())
        if (r.id == id) return r.msg;
    return QString();
}

TCancelError::TCancelError(const QString& message, TAbstractRootObj* obj)
    : TDataError((registerDataModelExceptions(), tdek_Cancelled), message, obj) {}

} // namespace fmx
