// Message boxes, the orderly stop, the interactive assertion handler and the cursor stack.
//
// Every box goes through one TMessageSink: the desktop program installs one that shows Qt message
// boxes, the command-line tool the standard-error sink, tests the recording sink. The answer
// (button number) always comes from the sink.
#pragma once

#include <QString>

#include <deque>
#include <exception>
#include <vector>

namespace fmx {

// Message box flags (the values of the Windows message box API, which the texts and logs use).
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_BUTTONMASK = 0xF;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_TASKMODAL = 0x2000;
inline constexpr unsigned MB_SETFOREGROUND = 0x10000;
inline constexpr unsigned MB_TOPMOST = 0x40000;

// Buttons.
inline constexpr int idOK = 1;
inline constexpr int idCancel = 2;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

struct TMessageRequest {
    QString fText;
    QString fCaption; // the whole window caption ("Fermalux -- Error")
    unsigned fFlags = MB_OK;
    bool fOwnerless = false;           // shown without an owner window (application closing)
    bool fStandardErrorDialog = false; // the standard error dialog of MsgException
};

// The button a box returns when it is closed without a choice: OK for an OK box, No for Yes/No,
// Cancel otherwise.
int closedAnswer(unsigned flags);

class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    // Shows the box and returns the button pressed.
    virtual int show(const TMessageRequest& request) = 0;
};

// Writes every box to standard error and answers as if the box were closed (closedAnswer).
class TStderrMessageSink : public TMessageSink {
public:
    int show(const TMessageRequest& request) override;
};

// Records every box; answers with the queued answers in order, then as if closed.
class TRecordingMessageSink : public TMessageSink {
public:
    int show(const TMessageRequest& request) override;
    void queueAnswer(int button) { fAnswers.push_back(button); }

    std::vector<TMessageRequest> fShown;
    std::deque<int> fAnswers;
};

// Installs a sink (not owned) and returns the previous one; nullptr restores the standard-error sink.
TMessageSink* setMessageSink(TMessageSink* sink);
TMessageSink* messageSink();

// Translates the default captions ("Error", "Warning", ...); installed by the translation layer.
using TCaptionTranslator = QString (*)(const QString& text);
void setCaptionTranslator(TCaptionTranslator translator);
// A user-facing text of the shell through the installed translator (unchanged without one).
QString translateShellText(const QString& text);

// The number of boxes open right now.
int openModalCount();

// True while the application is closing (set by the desktop program when its main window goes).
bool ApplShutDown();
void setApplShutDown(bool closing);

// The caption of a box: product name + " -- " + caption, or the product name alone.
QString composeCaption(const QString& caption);

int MyMessageBox(const QString& text, const QString& caption, unsigned flags);
int MyMessageBoxMod(const QString& text, const QString& caption, unsigned flags);
int MyErrorMessageBox(const QString& text, const QString& caption);
void MsgInfo(const QString& text);
void MsgError(const QString& text);
// True only when the user answers Yes.
bool MsgWarning(const QString& text);
// icon is MB_ICONERROR, MB_ICONWARNING or MB_ICONINFORMATION; an empty caption follows the icon.
int ShowYesNoMessageBoxEx(const QString& text, const QString& caption, unsigned icon, bool withCancel);
bool ShowYesNoMessageBox(const QString& text, const QString& caption, unsigned icon);
// Logs the exception (once, see logException) and shows text with the exception's message when one
// is given. When fatal, ends the process with
// saveHalt(227, true, true, false) after the box.
void MsgException(const QString& text, const std::exception* exception, bool fatal);

// Orderly stop. With flush, the pending log text is written first. Then the installed halt handler
// runs; the default ends the process with std::exit (useHalt, runs static destructors) or
// std::_Exit. There is no development-environment mode on this platform, so the last flag has no
// effect.
[[noreturn]] void saveHalt(int exitCode, bool useHalt, bool flush, bool skipDevelopmentCheck);

// A handler must not return (tests throw THaltRequest); if it does, the process ends anyway.
using THaltHandler = void (*)(int exitCode, bool useHalt);
THaltHandler setHaltHandler(THaltHandler handler);

struct THaltRequest {
    int fExitCode;
};
[[noreturn]] void throwingHaltHandler(int exitCode, bool useHalt);

// The interactive assertion handler: logs the failure, shows it, and on OK logs the call stack and
// ends the process with exit code 227; on Cancel the program goes on.
void actualAssertErrorHandler(const char* file, int line, const QString& message);

// The cursor stack. The UI installs a cursor interface; without one the stack only keeps shapes.
class TCursorSink {
public:
    virtual ~TCursorSink() = default;
    virtual int currentCursor() = 0;
    virtual void setCursor(int cursor) = 0;
};
void setCursorSink(TCursorSink* sink);
void pushCursor(int cursor);
// Restores the last saved cursor; nothing when the stack is empty.
void popCursor();
int cursorStackDepth();

} // namespace fmx
