#include "messages.h"

#include "errors.h"
#include "exception_log.h"
#include "log.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace fmx {
namespace {

TStderrMessageSink gStderrSink;
std::atomic<TMessageSink*> gSink{&gStderrSink};
std::atomic<TCaptionTranslator> gCaptionTranslator{nullptr};
std::atomic<int> gModalCount{0};
std::atomic<bool> gClosing{false};

void defaultHaltHandler(int exitCode, bool useHalt) {
    if (useHalt) std::exit(exitCode);
    std::_Exit(exitCode);
}
std::atomic<THaltHandler> gHaltHandler{&defaultHaltHandler};

QString tr(const QString& text) {
    if (auto translator = gCaptionTranslator.load()) return translator(text);
    return text;
}

// Counts the box as an open modal window for as long as it is shown, also when the sink throws.
struct ModalGuard {
    ModalGuard() { ++gModalCount; }
    ~ModalGuard() {
        int n = gModalCount.load();
        while (n > 0 && !gModalCount.compare_exchange_weak(n, n - 1)) {
        }
    }
};

int showRequest(const TMessageRequest& request) {
    ModalGuard guard;
    return gSink.load()->show(request);
}

QString exceptionMessage(const std::exception& e) {
    if (const auto* dataError = dynamic_cast<const TBaseDataError*>(&e)) return dataError->text();
    return QString::fromUtf8(e.what());
}

} // namespace

int closedAnswer(unsigned flags) {
    switch (flags & MB_BUTTONMASK) {
    case MB_OK:
        return idOK;
    case MB_YESNO:
        return idNo;
    default:
        return idCancel;
    }
}

int TStderrMessageSink::show(const TMessageRequest& request) {
    std::fprintf(stderr, "%s: %s\n", request.fCaption.toLocal8Bit().constData(),
                 request.fText.toLocal8Bit().constData());
    return closedAnswer(request.fFlags);
}

int TRecordingMessageSink::show(const TMessageRequest& request) {
    fShown.push_back(request);
    if (fAnswers.empty()) return closedAnswer(request.fFlags);
    const int answer = fAnswers.front();
    fAnswers.pop_front();
    return answer;
}

TMessageSink* setMessageSink(TMessageSink* sink) {
    return gSink.exchange(sink ? sink : &gStderrSink);
}
TMessageSink* messageSink() {
    return gSink.load();
}

void setCaptionTranslator(TCaptionTranslator translator) {
    gCaptionTranslator.store(translator);
}

QString translateShellText(const QString& text) {
    return tr(text);
}

int openModalCount() {
    return gModalCount.load();
}

bool ApplShutDown() {
    return gClosing.load();
}
void setApplShutDown(bool closing) {
    gClosing.store(closing);
}

QString composeCaption(const QString& caption) {
    const QString product = productName();
    return caption.isEmpty() ? product : product + QStringLiteral(" -- ") + caption;
}

int MyMessageBox(const QString& text, const QString& caption, unsigned flags) {
    TMessageRequest request;
    request.fText = text;
    request.fCaption = composeCaption(caption);
    request.fFlags = flags;
    request.fOwnerless = ApplShutDown();
    return showRequest(request);
}

int MyMessageBoxMod(const QString& text, const QString& caption, unsigned flags) {
    return MyMessageBox(text, caption, flags);
}

int MyErrorMessageBox(const QString& text, const QString& caption) {
    return MyMessageBox(text, caption, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

void MsgInfo(const QString& text) {
    MyMessageBox(text, tr(QStringLiteral("Info")), MB_ICONINFORMATION | MB_TASKMODAL | MB_SETFOREGROUND);
}

void MsgError(const QString& text) {
    logInfo(lmk_logError, QStringLiteral("MsgError: ") + text);
    MyErrorMessageBox(text, tr(QStringLiteral("Error")));
}

bool MsgWarning(const QString& text) {
    logInfo(lmk_logInfo, QStringLiteral("MsgWarning: ") + text);
    return MyMessageBox(text, tr(QStringLiteral("Warning")), MB_YESNO | MB_ICONWARNING) == idYes;
}

int ShowYesNoMessageBoxEx(const QString& text, const QString& caption, unsigned icon, bool withCancel) {
    QString shown = caption;
    if (shown.isEmpty()) {
        switch (icon & MB_ICONMASK) {
        case MB_ICONERROR:
            shown = tr(QStringLiteral("Error"));
            break;
        case MB_ICONWARNING:
            shown = tr(QStringLiteral("Warning"));
            break;
        case MB_ICONINFORMATION:
            shown = tr(QStringLiteral("Information"));
            break;
        default:
            break;
        }
    }
    return MyMessageBox(text, shown, (icon & MB_ICONMASK) | (withCancel ? MB_YESNOCANCEL : MB_YESNO));
}

bool ShowYesNoMessageBox(const QString& text, const QString& caption, unsigned icon) {
    return ShowYesNoMessageBoxEx(text, caption, icon, false) == idYes;
}

void MsgException(const QString& text, const std::exception* exception, bool fatal) {
    if (exception) logException(*exception);
    QString shown = text;
    if (exception) shown += QStringLiteral(" (") + exceptionMessage(*exception) + QStringLiteral(")\r\n");
    if (fatal)
        shown =
            QStringLiteral("\r\n") + shown + QStringLiteral("Na drukken op OK wordt het programma gestopt");
    logInfo(lmk_logError, QStringLiteral("MsgException: ") + shown);
    if (ApplShutDown()) {
        MyErrorMessageBox(shown, QStringLiteral("Fout"));
    } else {
        TMessageRequest request;
        request.fText = shown;
        request.fCaption = composeCaption(tr(QStringLiteral("Error")));
        request.fFlags = MB_OK | MB_ICONERROR;
        request.fStandardErrorDialog = true;
        showRequest(request);
    }
    if (fatal) saveHalt(227, true, true, false);
}

void saveHalt(int exitCode, bool useHalt, bool flush, bool /*skipDevelopmentCheck*/) {
    if (flush) checkWriteLogRecords(true);
    gHaltHandler.load()(exitCode, useHalt);
    std::_Exit(exitCode); // a handler that returns does not keep the process alive
}

THaltHandler setHaltHandler(THaltHandler handler) {
    return gHaltHandler.exchange(handler ? handler : &defaultHaltHandler);
}

void throwingHaltHandler(int exitCode, bool /*useHalt*/) {
    throw THaltRequest{exitCode};
}

void actualAssertErrorHandler(const char* file, int line, const QString& message) {
    // An assertion raised while this handler runs (for example by the sink) is only logged.
    thread_local bool active = false;
    const QString quoted = QLatin1Char('"') + message + QLatin1Char('"');
    logInfo(lmk_logError, QStringLiteral("Assert:"));
    logInfo(lmk_logError, QStringLiteral("  Bestand: ") + QString::fromLocal8Bit(file));
    logInfo(lmk_logError, QStringLiteral("  Regel  : ") + QString::number(line));
    logInfo(lmk_logError, QStringLiteral("  Melding: ") + quoted);
    if (active) return;
    active = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{active};

    const QString caption = composeCaption(QStringLiteral("-- INTERNE FOUT --"));
    const unsigned flags = MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND;
    TMessageRequest request;
    request.fCaption = caption;
    request.fOwnerless = ApplShutDown();
    request.fFlags = MB_OK | flags;
    request.fText =
        QStringLiteral("Sorry, maar er is een interne fout geconstateerd (") + quoted +
        QStringLiteral(") en het programma wordt afgesloten. ") +
        QStringLiteral("U wordt vriendelijke verzocht zo spoedig mogelijk contact op te nemen met de "
                       "support afdeling. ") +
        QStringLiteral("Geeft u aub daarbij het volgende door: ") + QStringLiteral("\r\n") +
        currentLogFileName() + QStringLiteral("\r\n") + QStringLiteral("Bedankt voor uw medewerking");
    showRequest(request);

    request.fFlags = MB_OKCANCEL | flags;
    request.fText =
        QStringLiteral("U wordt aanbevolen om deze software af te sluiten en GEEN gewijzigde gegevens "
                       "op te slaan. Wilt u dit doen?");
    if (showRequest(request) != idOK) return;

    logInfo(lmk_logInfo, QStringLiteral("--[ ASSERTION ]-----------------------------------------\r\n"
                                        "PAS OP: als hierboven een assert staat, ontbreekt in de\r\n"
                                        "call stack de procedureaanroep waarin de assert optreed!\r\n") +
                             currentCallStack(1));
    saveHalt(227, false, true, false);
}

namespace {
std::mutex gCursorLock;
TCursorSink* gCursorSink = nullptr;
std::vector<int> gCursorStack;
int gPlainCursor = 0; // the current shape when no sink is installed
} // namespace

void setCursorSink(TCursorSink* sink) {
    std::lock_guard<std::mutex> guard(gCursorLock);
    gCursorSink = sink;
}

void pushCursor(int cursor) {
    std::lock_guard<std::mutex> guard(gCursorLock);
    gCursorStack.push_back(gCursorSink ? gCursorSink->currentCursor() : gPlainCursor);
    if (gCursorSink) gCursorSink->setCursor(cursor);
    gPlainCursor = cursor;
}

void popCursor() {
    std::lock_guard<std::mutex> guard(gCursorLock);
    if (gCursorStack.empty()) return;
    const int previous = gCursorStack.back();
    gCursorStack.pop_back();
    if (gCursorSink) gCursorSink->setCursor(previous);
    gPlainCursor = previous;
}

int cursorStackDepth() {
    std::lock_guard<std::mutex> guard(gCursorLock);
    return static_cast<int>(gCursorStack.size());
}

} // namespace fmx
