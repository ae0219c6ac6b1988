#pragma once
// In-process Win32 UI test harness: answers dialogs and message boxes, pumps messages with a time
// cap, and keeps a watchdog so that no test can hang.
//
// Usage:
//
//   #include "tests/support/ui_harness.h"
//   using namespace tolvarinth::uitest;
//
//   class MyTest : public UiTest {};          // SetUp installs the hook and the watchdog
//
//   TEST_F(MyTest, AsksAndGetsYes) {
//       DialogSnapshot shown;
//       Dialogs().Answer(Record(&shown, PressButton(IDYES)));   // first dialog: record, press Yes
//       Dialogs().Answer(SetTextAndOk(1002, L"secret"), DialogMatch{"", "请输入"});
//       EXPECT_EQ(CodeUnderTest(), Answer::Yes);                // shows the dialogs modally
//       EXPECT_EQ(shown.caption, "询问");                        // CP936 texts
//   }                                                            // TearDown: every answer used?
//
//   // Input to ordinary windows: post it, then pump until a sentinel comes back.
//   PostKey(edit, 'A');  FlushPosted();
//   PressKeyChord(mainWindow, 'S', kCtrl);                       // holds Ctrl while it is handled
//   EXPECT_TRUE(PumpUntil([&] { return saved; }, 2000));
//
// How dialogs are answered: a thread-local WH_CBT hook sees every window activated on the test
// thread. When a dialog (class "#32770", or the class of the next answer's match) is activated for
// the first time, the next queued answer is checked against it; the answer then runs from a
// 10 ms timer on that dialog, i.e. from inside the dialog's own modal loop once its
// initialisation messages are handled and the dialog is visible (or 500 ms have passed). A handled dialog is marked with a window property, since
// one dialog can be activated more than once. A dialog that does not match the next answer (or
// comes when none is queued) is a test failure and is cancelled, unless it matches an Ignore()
// entry. Answers should end the dialog by posting (PressButton etc. do), not by EndDialog.
//
// Texts are code page 936 std::string throughout (test sources are compiled with
// -fexec-charset=CP936 like the program); wide literals L"..." may be used where a function takes
// std::wstring. Callbacks handed to Windows are named CALLBACK functions inside the harness; the
// answers themselves are std::function, so lambdas are fine.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tolvarinth::uitest {

// ---- Reading windows ---------------------------------------------------------------------------

// A window's text (GetWindowTextW) as code page 936 bytes.
std::string WindowTextA(HWND window);
// A window's class name as code page 936 bytes ("#32770", "Edit", "Button"...).
std::string ClassNameA(HWND window);

// What a dialog showed at the moment it was answered.
struct ControlSnapshot {
    int id = 0;
    std::string className;  // as GetClassNameW reports it, e.g. "Edit", "Button", "Static"
    std::string text;       // code page 936
    LONG style = 0;
    LONG exStyle = 0;
    RECT rect{};            // in the dialog's client coordinates, pixels
    bool visible = false;
    bool enabled = false;
    HANDLE image = nullptr;  // STM_GETICON for SS_ICON statics (message box icon), else null
};

struct DialogSnapshot {
    bool taken = false;
    HWND window = nullptr;      // no longer valid once the dialog has ended
    std::string className;
    std::string caption;        // code page 936
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = nullptr;       // GetWindow(GW_OWNER)
    RECT clientRect{};
    std::vector<ControlSnapshot> controls;  // direct children, in Z (tab) order

    const ControlSnapshot* Find(int id) const;   // null when there is no such control
    std::string TextOf(int id) const;            // empty when there is no such control
    // The message text of a MessageBox (its static control with id 0xFFFF).
    std::string MessageText() const { return TextOf(0xFFFF); }
    // Ids of visible push buttons (IDOK, IDYES...) in tab order.
    std::vector<int> VisibleButtonIds() const;
    // The icon a MessageBox shows, or null.
    HANDLE Icon() const;
};

DialogSnapshot TakeSnapshot(HWND dialog);

// ---- Answering dialogs ---------------------------------------------------------------------------

using DialogAction = std::function<void(HWND dialog)>;

// Which activated window an answer is for. Empty fields match anything.
struct DialogMatch {
    std::string captionContains;  // code page 936; substring of the caption
    std::string className = "#32770";
};

// Common answers (each returns an action to queue).
DialogAction PressButton(int id);                      // posts WM_COMMAND id (BN_CLICKED)
DialogAction AnswerMessageBox(int id);                 // IDOK, IDYES, IDNO, IDCANCEL...
DialogAction CloseBox();                               // posts WM_SYSCOMMAND SC_CLOSE
DialogAction PressEscape();                            // posts VK_ESCAPE to the focused control
DialogAction PressEnter();                             // posts VK_RETURN to the focused control
DialogAction SetTextAndOk(int editId, const std::wstring& text);       // then posts IDOK
DialogAction SetTextThen(int editId, const std::wstring& text, DialogAction then);
// File dialogs: puts the path in the file-name field (cmb13, else edt1) and presses OK.
DialogAction ChooseFileName(const std::wstring& path);
// Records the dialog into *out (which must outlive the dialog's answer), then runs then.
DialogAction Record(DialogSnapshot* out, DialogAction then);
// Runs several actions in order.
DialogAction Sequence(std::vector<DialogAction> actions);

// The thread-local dialog hook and its queue of answers. Only one may exist per thread; UiTest
// owns one.
class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Queues an answer for the next matching dialog.
    void Answer(DialogAction action, DialogMatch match = {});
    // Dialogs matching this are left alone (e.g. a modeless progress dialog).
    void Ignore(DialogMatch match);

    std::size_t PendingAnswers() const;
    std::size_t AnsweredCount() const;
    // Adds a gtest failure for every queued answer that was never used, then clears the queue.
    void ExpectAllAnswersUsed();
    // Captions of dialogs that came unexpectedly (each already reported as a failure).
    const std::vector<std::string>& UnexpectedDialogs() const;
};

// ---- Pumping messages ------------------------------------------------------------------------

// Optional pre-translation of every message PumpUntil retrieves (e.g. TranslateAcceleratorW or
// IsDialogMessageW); return true when the message was consumed. Pass nullptr to remove it.
void SetPumpTranslator(std::function<bool(MSG&)> translator);

// Dispatches messages until predicate() is true (checked before each wait) or timeoutMs passed.
// Returns the last value of predicate(). WM_QUIT is swallowed and counted (QuitMessagesSeen).
bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs = 5000);
// Dispatches everything posted to this thread so far (and what that posts in turn, one level),
// by posting a sentinel and pumping until it came back. Returns false on timeout.
bool FlushPosted(DWORD timeoutMs = 5000);
// Number of WM_QUIT messages PumpUntil or DrainQuitMessages removed on this thread.
int QuitMessagesSeen();
// Removes every WM_QUIT waiting in this thread's queue (e.g. after destroying a main window
// whose WM_DESTROY called PostQuitMessage); returns how many there were.
int DrainQuitMessages();
// Destroys the window (if still a window) and drains WM_QUIT.
void DestroyAndDrain(HWND window);

// ---- Input -----------------------------------------------------------------------------------

enum Modifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };

// Posts a key press (WM_KEYDOWN + WM_KEYUP, or WM_SYSKEY* for F10) to target; no pumping. Fit for
// answers inside dialogs (Enter, Escape, Tab) where the dialog's loop translates the keys.
void PostKey(HWND target, UINT vk);
// Posts WM_SYSCHAR as Alt+letter produces it (dialog mnemonics such as "&O").
void PostAltChar(HWND target, wchar_t ch);
// Posts text as WM_CHAR messages.
void PostChars(HWND target, const std::wstring& text);
// Presses vk with modifiers held in the thread's keyboard state (so TranslateAcceleratorW and
// GetKeyState see them), pumps through FlushPosted (with the pump translator), then restores the
// keyboard state. Use from the test's own level, not inside a dialog answer.
bool PressKeyChord(HWND target, UINT vk, unsigned modifiers);

// ---- Watchdog --------------------------------------------------------------------------------

// Ends a test that runs too long: after the time limit it repeatedly posts IDCANCEL to the test
// thread's dialogs, later WM_CLOSE to all its windows and finally WM_QUIT, so modal loops return.
// Expired() is checked (and reported as a failure) by UiTest::TearDown.
class Watchdog {
public:
    explicit Watchdog(DWORD limitMs);
    ~Watchdog();  // stops the watchdog thread
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    bool Expired() const;

    struct State;  // shared with the watchdog thread

private:
    State* state_;
};

}  // namespace tolvarinth::uitest

// ---- Fixture ---------------------------------------------------------------------------------

#include <gtest/gtest.h>

#include <memory>

namespace tolvarinth::uitest {

// Base fixture: a DialogScript and a Watchdog per test. TearDown fails the test if an answer was
// not used or the watchdog fired, removes the pump translator and drains WM_QUIT.
class UiTest : public ::testing::Test {
protected:
    static constexpr DWORD kDefaultTimeLimitMs = 20000;

    void SetUp() override;
    void TearDown() override;

    DialogScript& Dialogs() { return *dialogs_; }
    // Overrides the time limit of the current test (restarts the watchdog).
    void SetTimeLimit(DWORD limitMs);

private:
    std::unique_ptr<DialogScript> dialogs_;
    std::unique_ptr<Watchdog> watchdog_;
};

}  // namespace tolvarinth::uitest
