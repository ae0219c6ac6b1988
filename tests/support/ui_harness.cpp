#include "tests/support/ui_harness.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "file/codepage_win32.h"

namespace tolvarinth::uitest {

namespace {

constexpr wchar_t kHandledProperty[] = L"TolvarinthUiTestHandled";
constexpr UINT_PTR kAnswerTimerId = 0x7A11;
constexpr UINT kAnswerDelayMs = 10;
constexpr int kMaxTicksUntilVisible = 50;  // a dialog still hidden after this is answered anyway

struct QueuedAnswer {
    DialogAction action;
    DialogMatch match;
};

struct ScheduledAnswer {
    DialogAction action;
    int ticks = 0;
};

struct ScriptState {
    HHOOK hook = nullptr;
    std::deque<QueuedAnswer> queue;
    std::vector<DialogMatch> ignored;
    std::map<HWND, ScheduledAnswer> scheduled;  // answers waiting for their timer
    std::size_t answered = 0;
    std::vector<std::string> unexpected;
};

thread_local ScriptState* tScript = nullptr;
thread_local std::function<bool(MSG&)> tTranslator;
thread_local int tQuitSeen = 0;

bool Matches(const DialogMatch& match, HWND window) {
    if (!match.className.empty() && ClassNameA(window) != match.className) return false;
    if (!match.captionContains.empty() && WindowTextA(window).find(match.captionContains) == std::string::npos)
        return false;
    return true;
}

void CALLBACK AnswerTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    if (!tScript) {
        KillTimer(window, id);
        return;
    }
    auto it = tScript->scheduled.find(window);
    if (it == tScript->scheduled.end()) {
        KillTimer(window, id);
        return;
    }
    // A modal dialog can be activated before its loop shows it; answer once it is on screen.
    if (!IsWindowVisible(window) && ++it->second.ticks < kMaxTicksUntilVisible) return;
    KillTimer(window, id);
    DialogAction action = std::move(it->second.action);
    tScript->scheduled.erase(it);
    if (action) action(window);
}

void CancelDialog(HWND window) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void OnActivate(HWND window) {
    ScriptState& s = *tScript;
    if (GetPropW(window, kHandledProperty)) return;
    const bool isDialog = ClassNameA(window) == "#32770";
    const bool frontMatches = !s.queue.empty() && Matches(s.queue.front().match, window);
    if (!frontMatches) {
        if (!isDialog) return;
        for (const DialogMatch& m : s.ignored)
            if (Matches(m, window)) return;
    }
    SetPropW(window, kHandledProperty, reinterpret_cast<HANDLE>(1));
    DialogAction action;
    if (frontMatches) {
        action = std::move(s.queue.front().action);
        s.queue.pop_front();
        ++s.answered;
    } else {
        const std::string caption = WindowTextA(window);
        s.unexpected.push_back(caption);
        ADD_FAILURE() << "Unexpected dialog (caption bytes " << ::testing::PrintToString(caption)
                      << "); it is cancelled";
        action = CancelDialog;
    }
    s.scheduled[window] = ScheduledAnswer{std::move(action), 0};
    SetTimer(window, kAnswerTimerId, kAnswerDelayMs, AnswerTimerProc);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && tScript) OnActivate(reinterpret_cast<HWND>(wParam));
    if (code == HCBT_DESTROYWND && tScript) {
        HWND window = reinterpret_cast<HWND>(wParam);
        RemovePropW(window, kHandledProperty);
        tScript->scheduled.erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* snapshot = reinterpret_cast<DialogSnapshot*>(param);
    if (GetParent(child) != snapshot->window) return TRUE;  // direct children only
    ControlSnapshot c;
    c.id = GetDlgCtrlID(child);
    c.className = ClassNameA(child);
    c.text = WindowTextA(child);
    c.style = GetWindowLongW(child, GWL_STYLE);
    c.exStyle = GetWindowLongW(child, GWL_EXSTYLE);
    GetWindowRect(child, &c.rect);
    MapWindowPoints(nullptr, snapshot->window, reinterpret_cast<POINT*>(&c.rect), 2);
    c.visible = IsWindowVisible(child) != FALSE;
    c.enabled = IsWindowEnabled(child) != FALSE;
    if (_wcsicmp(WidenText(c.className).c_str(), L"Static") == 0 && (c.style & SS_TYPEMASK) == SS_ICON)
        c.image = reinterpret_cast<HANDLE>(SendMessageW(child, STM_GETICON, 0, 0));
    snapshot->controls.push_back(std::move(c));
    return TRUE;
}

// Input helpers.
LPARAM KeyLParam(UINT vk, bool up, bool alt) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM l = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (alt) l |= (1 << 29);
    if (up) l |= (1u << 30) | (1u << 31);
    return l;
}

// The sentinel window: a message-only window whose procedure notes which sentinel came back.
constexpr UINT kSentinelMessage = WM_APP + 0x3A1;
thread_local HWND tSentinel = nullptr;
thread_local unsigned tSentinelSeen = 0;

LRESULT CALLBACK SentinelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSentinelMessage) {
        if (lParam == 0)
            PostMessageW(window, kSentinelMessage, wParam, 1);  // once more, after what was posted meanwhile
        else
            tSentinelSeen = static_cast<unsigned>(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND SentinelWindow() {
    if (tSentinel && IsWindow(tSentinel)) return tSentinel;
    static const wchar_t kClass[] = L"TolvarinthUiTestSentinel";
    WNDCLASSW wc{};
    wc.lpfnWndProc = SentinelProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    tSentinel = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    return tSentinel;
}

}  // namespace

// ---- Reading windows ---------------------------------------------------------------------------

std::string WindowTextA(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return NarrowText(text);
}

std::string ClassNameA(HWND window) {
    wchar_t name[256] = {};
    const int got = GetClassNameW(window, name, 256);
    return NarrowText(std::wstring_view(name, static_cast<size_t>(got > 0 ? got : 0)));
}

const ControlSnapshot* DialogSnapshot::Find(int id) const {
    for (const ControlSnapshot& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

std::string DialogSnapshot::TextOf(int id) const {
    const ControlSnapshot* c = Find(id);
    return c ? c->text : std::string();
}

std::vector<int> DialogSnapshot::VisibleButtonIds() const {
    std::vector<int> ids;
    for (const ControlSnapshot& c : controls) {
        const LONG type = c.style & BS_TYPEMASK;
        if (c.visible && _wcsicmp(WidenText(c.className).c_str(), L"Button") == 0 &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
            ids.push_back(c.id);
    }
    return ids;
}

HANDLE DialogSnapshot::Icon() const {
    for (const ControlSnapshot& c : controls)
        if (c.image && c.visible) return c.image;
    return nullptr;
}

DialogSnapshot TakeSnapshot(HWND dialog) {
    DialogSnapshot s;
    s.taken = true;
    s.window = dialog;
    s.className = ClassNameA(dialog);
    s.caption = WindowTextA(dialog);
    s.style = GetWindowLongW(dialog, GWL_STYLE);
    s.exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    s.owner = GetWindow(dialog, GW_OWNER);
    GetClientRect(dialog, &s.clientRect);
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&s));
    return s;
}

// ---- Answers -----------------------------------------------------------------------------------

DialogAction PressButton(int id) {
    return [id](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

DialogAction AnswerMessageBox(int id) { return PressButton(id); }

DialogAction CloseBox() {
    return [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

namespace {
HWND FocusOrDialog(HWND dialog) {
    HWND focus = GetFocus();
    return (focus && (focus == dialog || IsChild(dialog, focus))) ? focus : dialog;
}
}  // namespace

DialogAction PressEscape() {
    return [](HWND dialog) { PostKey(FocusOrDialog(dialog), VK_ESCAPE); };
}

DialogAction PressEnter() {
    return [](HWND dialog) { PostKey(FocusOrDialog(dialog), VK_RETURN); };
}

DialogAction SetTextThen(int editId, const std::wstring& text, DialogAction then) {
    return [editId, text, then](HWND dialog) {
        HWND edit = GetDlgItem(dialog, editId);
        if (!edit) {
            ADD_FAILURE() << "Dialog has no control " << editId;
            CancelDialog(dialog);
            return;
        }
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (then) then(dialog);
    };
}

DialogAction SetTextAndOk(int editId, const std::wstring& text) {
    return SetTextThen(editId, text, PressButton(IDOK));
}

DialogAction ChooseFileName(const std::wstring& path) {
    return [path](HWND dialog) {
        HWND field = GetDlgItem(dialog, 0x47C /* cmb13 */);
        if (!field) field = GetDlgItem(dialog, 0x480 /* edt1 */);
        if (!field) {
            ADD_FAILURE() << "File dialog has no file-name field";
            CancelDialog(dialog);
            return;
        }
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    };
}

DialogAction Record(DialogSnapshot* out, DialogAction then) {
    return [out, then](HWND dialog) {
        *out = TakeSnapshot(dialog);
        if (then) then(dialog);
    };
}

DialogAction Sequence(std::vector<DialogAction> actions) {
    return [actions](HWND dialog) {
        for (const DialogAction& a : actions)
            if (a) a(dialog);
    };
}

// ---- DialogScript --------------------------------------------------------------------------------

DialogScript::DialogScript() {
    if (tScript) {
        ADD_FAILURE() << "Only one DialogScript per thread";
        return;
    }
    tScript = new ScriptState;
    tScript->hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    if (!tScript->hook) ADD_FAILURE() << "SetWindowsHookExW(WH_CBT) failed: " << GetLastError();
}

DialogScript::~DialogScript() {
    if (!tScript) return;
    if (tScript->hook) UnhookWindowsHookEx(tScript->hook);
    delete tScript;
    tScript = nullptr;
}

void DialogScript::Answer(DialogAction action, DialogMatch match) {
    if (tScript) tScript->queue.push_back({std::move(action), std::move(match)});
}

void DialogScript::Ignore(DialogMatch match) {
    if (tScript) tScript->ignored.push_back(std::move(match));
}

std::size_t DialogScript::PendingAnswers() const { return tScript ? tScript->queue.size() : 0; }

std::size_t DialogScript::AnsweredCount() const { return tScript ? tScript->answered : 0; }

void DialogScript::ExpectAllAnswersUsed() {
    if (!tScript) return;
    for (const QueuedAnswer& a : tScript->queue)
        ADD_FAILURE() << "A queued dialog answer was never used (class "
                      << ::testing::PrintToString(a.match.className) << ", caption containing "
                      << ::testing::PrintToString(a.match.captionContains) << ")";
    tScript->queue.clear();
}

const std::vector<std::string>& DialogScript::UnexpectedDialogs() const {
    static const std::vector<std::string> kNone;
    return tScript ? tScript->unexpected : kNone;
}

// ---- Pumping -------------------------------------------------------------------------------------

void SetPumpTranslator(std::function<bool(MSG&)> translator) { tTranslator = std::move(translator); }

bool PumpUntil(const std::function<bool()>& predicate, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ++tQuitSeen;
                continue;
            }
            if (tTranslator && tTranslator(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (predicate()) return true;
        }
        if (predicate()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50));
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

bool FlushPosted(DWORD timeoutMs) {
    static thread_local unsigned sequence = 0;
    const unsigned mine = ++sequence;
    PostMessageW(SentinelWindow(), kSentinelMessage, mine, 0);
    return PumpUntil([mine] { return tSentinelSeen == mine; }, timeoutMs);
}

int QuitMessagesSeen() { return tQuitSeen; }

int DrainQuitMessages() {
    int n = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ++n;
    tQuitSeen += n;
    return n;
}

void DestroyAndDrain(HWND window) {
    if (window && IsWindow(window)) DestroyWindow(window);
    DrainQuitMessages();
}

// ---- Input -------------------------------------------------------------------------------------

void PostKey(HWND target, UINT vk) {
    const bool sys = vk == VK_F10;
    PostMessageW(target, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(vk, false, false));
    PostMessageW(target, sys ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(vk, true, false));
}

void PostAltChar(HWND target, wchar_t ch) {
    PostMessageW(target, WM_SYSCHAR, ch, KeyLParam(VkKeyScanW(ch) & 0xFF, false, true));
}

void PostChars(HWND target, const std::wstring& text) {
    for (wchar_t ch : text) PostMessageW(target, WM_CHAR, ch, 1);
}

bool PressKeyChord(HWND target, UINT vk, unsigned modifiers) {
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE held[256];
    std::copy(saved, saved + 256, held);
    auto press = [&held](int key) { held[key] = 0x80; };
    if (modifiers & kCtrl) { press(VK_CONTROL); press(VK_LCONTROL); }
    if (modifiers & kShift) { press(VK_SHIFT); press(VK_LSHIFT); }
    if (modifiers & kAlt) { press(VK_MENU); press(VK_LMENU); }
    SetKeyboardState(held);
    const bool alt = (modifiers & kAlt) != 0;
    const bool sys = alt && !(modifiers & kCtrl);
    PostMessageW(target, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(vk, false, alt));
    PostMessageW(target, sys ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(vk, true, alt));
    const bool flushed = FlushPosted();
    SetKeyboardState(saved);
    return flushed;
}

// ---- Watchdog ------------------------------------------------------------------------------------

struct Watchdog::State {
    DWORD threadId = 0;
    DWORD limitMs = 0;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::atomic<bool> expired{false};
    std::thread thread;
};

namespace {

struct EnumData {
    int stage;  // 0: cancel dialogs, 1: close every window
};

BOOL CALLBACK NudgeWindow(HWND window, LPARAM param) {
    const auto* data = reinterpret_cast<const EnumData*>(param);
    if (ClassNameA(window) == "#32770") {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (data->stage >= 1) PostMessageW(window, WM_CLOSE, 0, 0);
    } else if (data->stage >= 1) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void WatchdogMain(Watchdog::State* s) {
    std::unique_lock<std::mutex> lock(s->mutex);
    if (s->wake.wait_for(lock, std::chrono::milliseconds(s->limitMs), [s] { return s->stop; })) return;
    s->expired = true;
    for (int round = 0; !s->stop; ++round) {
        EnumData data{round >= 10 ? 1 : 0};  // after about a second, close everything
        EnumThreadWindows(s->threadId, NudgeWindow, reinterpret_cast<LPARAM>(&data));
        if (round >= 20) PostThreadMessageW(s->threadId, WM_QUIT, 0, 0);
        s->wake.wait_for(lock, std::chrono::milliseconds(100), [s] { return s->stop; });
    }
}

}  // namespace

Watchdog::Watchdog(DWORD limitMs) : state_(new State) {
    state_->threadId = GetCurrentThreadId();
    state_->limitMs = limitMs;
    state_->thread = std::thread(WatchdogMain, state_);
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->stop = true;
    }
    state_->wake.notify_all();
    state_->thread.join();
    delete state_;
}

bool Watchdog::Expired() const { return state_->expired; }

// ---- UiTest --------------------------------------------------------------------------------------

void UiTest::SetUp() {
    DrainQuitMessages();
    dialogs_ = std::make_unique<DialogScript>();
    watchdog_ = std::make_unique<Watchdog>(kDefaultTimeLimitMs);
}

void UiTest::SetTimeLimit(DWORD limitMs) {
    if (watchdog_ && watchdog_->Expired()) ADD_FAILURE() << "Watchdog: the test ran past its time limit";
    watchdog_.reset();
    watchdog_ = std::make_unique<Watchdog>(limitMs);
}

void UiTest::TearDown() {
    if (dialogs_) dialogs_->ExpectAllAnswersUsed();
    const bool expired = watchdog_ && watchdog_->Expired();
    watchdog_.reset();
    if (expired) ADD_FAILURE() << "Watchdog: the test ran past its time limit and was interrupted";
    dialogs_.reset();
    SetPumpTranslator(nullptr);
    DrainQuitMessages();
}

}  // namespace tolvarinth::uitest
