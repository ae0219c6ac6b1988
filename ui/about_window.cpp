// Help > About: a small fixed window, modal over the main window. Help > homepage.
#include "ui/about_window.h"

#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

constexpr wchar_t kLabelClass[] = L"TolvarinthAboutLabel";
constexpr int kWidth = 289;
constexpr int kHeight = 268;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kTitleFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kDescriptionFlags = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// Label window extra bytes: its font, then its DrawText flags.
constexpr int kLabelFontSlot = 0;
constexpr int kLabelFlagsSlot = static_cast<int>(sizeof(LONG_PTR));

const char kCaption[] = "关于 Tolvarinth";
const char kTitle[] = "Tolvarinth v1.0";
const char kDescription[] =
    "  本软件为Tolvarinth，增加数据加密功能。如需清除密码，请在更改密码处留空。\r\n"
    "  可以将.etxt文件拖拽到本程序图标上进行快速打开，由此功能，也可自行设置格式关联，"
    "以实现双击.etxt文件进行打开编辑。\r\n"
    "  注：软件生成文件格式为 .etxt";
const char kCloseText[] = "关闭(&C)";

ShellOpenFunction shellOpen = nullptr;

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

UniqueFont CreateLabelFont(LONG weight) {
    LOGFONTW font{};
    font.lfHeight = -14;
    font.lfWeight = weight;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH;
    const std::wstring face = WidenText("宋体");
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

struct AboutState {
    HWND window = nullptr;
    HWND mainWindow = nullptr;
    HWND closeButton = nullptr;
    UniqueFont titleFont;
    UniqueFont descriptionFont;
    std::vector<HWND> disabled;  // the windows this About window disabled, to enable again
    bool destroyed = false;
};

AboutState* StateOf(HWND window) { return reinterpret_cast<AboutState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// --- the labels: text drawn transparently in black over the window's background ---

void OnLabelPaint(HWND label) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    RECT area;
    GetClientRect(label, &area);
    HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(label, kLabelFontSlot));
    const UINT flags = static_cast<UINT>(GetWindowLongPtrW(label, kLabelFlagsSlot));
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, flags);
    SelectObject(dc, previous);
    EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(label, kLabelFlagsSlot,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_SETFONT:
        SetWindowLongPtrW(label, kLabelFontSlot, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) InvalidateRect(label, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(label, kLabelFontSlot);
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_PAINT:
        OnLabelPaint(label);
        return 0;
    }
    return DefWindowProcW(label, message, wParam, lParam);
}

// --- the window ---

void EnableDisabledWindows(AboutState& state) {
    for (HWND window : state.disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    state.disabled.clear();
}

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM param) {
    auto& state = *reinterpret_cast<AboutState*>(param);
    if (window != state.window && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        state.disabled.push_back(window);
    }
    return TRUE;
}

void DisableOtherWindows(AboutState& state) {
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&state));
    if (state.mainWindow && IsWindow(state.mainWindow) && IsWindowEnabled(state.mainWindow)) {
        EnableWindow(state.mainWindow, FALSE);
        state.disabled.push_back(state.mainWindow);
    }
}

HWND CreateLabel(HWND parent, int id, const char* text, int x, int y, int width, int height, UINT flags,
                 HFONT font) {
    HWND label = CreateWindowExW(0, kLabelClass, WidenText(text).c_str(), WS_CHILD | WS_VISIBLE, x, y, width,
                                 height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), reinterpret_cast<void*>(static_cast<UINT_PTR>(flags)));
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

LRESULT OnCreate(HWND window, AboutState& state) {
    state.window = window;
    state.titleFont = CreateLabelFont(FW_BOLD);
    state.descriptionFont = CreateLabelFont(FW_NORMAL);
    CreateLabel(window, kAboutTitleId, kTitle, 76, 8, 130, 25, kTitleFlags, state.titleFont.get());
    CreateLabel(window, kAboutDescriptionId, kDescription, 9, 42, 264, 155, kDescriptionFlags,
                state.descriptionFont.get());
    state.closeButton = CreateWindowExW(
        0, L"BUTTON", WidenText(kCloseText).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER, 172, 200, 80, 30, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAboutCloseButtonId)), GetModuleHandleW(nullptr), nullptr);
    if (!state.closeButton) return -1;
    SendMessageW(state.closeButton, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return 0;
}

void OnCommand(HWND window, int id) {
    switch (id) {
    case kAboutCloseButtonId: CloseAboutWindow(window); break;
    case IDOK: CloseAboutWindow(window); break;
    case IDCANCEL: SendMessageW(window, WM_CLOSE, 0, 0); break;
    }
}

void OnActivate(AboutState& state, WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE && state.closeButton) SetFocus(state.closeButton);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state = reinterpret_cast<AboutState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    AboutState* state = StateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return OnCreate(window, *state);
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    case DM_GETDEFID: return MAKELRESULT(kAboutCloseButtonId, DC_HASDEFID);
    case WM_ACTIVATE: OnActivate(*state, wParam); return 0;
    case WM_CLOSE: CloseAboutWindow(window); return 0;
    case WM_NCDESTROY:
        state->destroyed = true;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kAboutWindowClass, &existing)) return true;

    WNDCLASSEXW label{};
    label.cbSize = sizeof label;
    label.lpfnWndProc = LabelProc;
    label.cbWndExtra = 2 * sizeof(LONG_PTR);
    label.hInstance = instance;
    label.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    label.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    label.lpszClassName = kLabelClass;
    if (!RegisterClassExW(&label)) return false;

    WNDCLASSEXW about{};
    about.cbSize = sizeof about;
    about.lpfnWndProc = AboutProc;
    about.hInstance = instance;
    about.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    about.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                  LR_DEFAULTCOLOR | LR_SHARED));
    about.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    about.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    about.lpszClassName = kAboutWindowClass;
    return RegisterClassExW(&about) != 0;
}

void RunModalLoop(AboutState& state) {
    MSG message;
    while (!state.destroyed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {  // the program is ending: close, and leave the quit for the outer loop
            DestroyWindow(state.window);
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) {
            DestroyWindow(state.window);
            return;
        }
        if (!IsDialogMessageW(state.window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Back from the About window: the main window active again, with the focus where it was.
void ReturnToMainWindow(HWND mainWindow, HWND focusBefore) {
    if (!mainWindow || !IsWindow(mainWindow) || !IsWindowVisible(mainWindow)) return;
    if (GetActiveWindow() != mainWindow) SetActiveWindow(mainWindow);
    if (focusBefore && IsWindow(focusBefore) && (focusBefore == mainWindow || IsChild(mainWindow, focusBefore))) {
        SetFocus(focusBefore);
    }
}

}  // namespace

void ShowAboutWindow(HWND mainWindow) {
    if (!RegisterClasses()) return;
    const HWND focusBefore = GetFocus();
    AboutState state;
    state.mainWindow = mainWindow;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = CreateWindowExW(0, kAboutWindowClass, WidenText(kCaption).c_str(), kStyle, left, top, kWidth,
                                  kHeight, mainWindow, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window) return;

    ShowWindow(window, SW_SHOW);
    SetFocus(state.closeButton);
    DisableOtherWindows(state);
    RunModalLoop(state);
    EnableDisabledWindows(state);
    ReturnToMainWindow(mainWindow, focusBefore);
}

void CloseAboutWindow(HWND aboutWindow) {
    // Enable the main window before the About window goes, so the activation returns to it.
    if (AboutState* state = StateOf(aboutWindow)) EnableDisabledWindows(*state);
    DestroyWindow(aboutWindow);
}

void OpenHomepage() {
    const std::wstring address = WidenText(HomepageAddress);
    ShellOpenFunction open = shellOpen ? shellOpen : ShellExecuteW;
    open(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);  // the result is not reported
}

void SetShellOpenFunction(ShellOpenFunction open) { shellOpen = open; }

}  // namespace tolvarinth
