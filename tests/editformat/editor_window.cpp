#include "tests/editformat/editor_window.h"

#include "ui/resource_ids.h"

namespace tolvarinth::uitest {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvarinthEditorTestWindow";

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* editor = reinterpret_cast<Win32EditorBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CTLCOLOREDIT && editor && reinterpret_cast<HWND>(lParam) == editor->Handle())
        return reinterpret_cast<LRESULT>(editor->OnCtlColor(reinterpret_cast<HDC>(wParam)));
    if (message == WM_SETFOCUS && editor && editor->Handle()) {
        SetFocus(editor->Handle());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kWindowClass, &existing)) return;
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = EditorWindowProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = kWindowClass;
    RegisterClassExW(&c);
}

}  // namespace

void EditorWindowTest::SetUp() {
    UiTest::SetUp();
    RegisterWindowClass();
    window_ = CreateWindowExW(0, kWindowClass, L"Tolvarinth", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100, 460,
                              350, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&editor_));
    ASSERT_TRUE(editor_.Create(window_));
    RECT client;
    GetClientRect(window_, &client);
    MoveWindow(editor_.Handle(), 5, 5, client.right - 10, client.bottom - 10, TRUE);
    formatMenu_ = CreatePopupMenu();
    AppendMenuW(formatMenu_, MF_STRING | MF_CHECKED, IDM_FORMAT_WORD_WRAP, L"&W.wrap");
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(editor_.Handle());
    FlushPosted();
    // The activation of the shown window comes back through the display server.
    PumpUntil([this] { return GetFocus() == editor_.Handle(); }, 2000);
}

void EditorWindowTest::TearDown() {
    DestroyAndDrain(window_);
    DestroyMenu(formatMenu_);
    UiTest::TearDown();
}

std::wstring EditorWindowTest::EditorText() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(editor_.Handle())) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(editor_.Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void EditorWindowTest::SetEditorText(const std::wstring& text) {
    SetWindowTextW(editor_.Handle(), text.c_str());
}

DWORD EditorWindowTest::SelectionStart() const {
    DWORD start = 0;
    SendMessageW(editor_.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return start;
}

DWORD EditorWindowTest::SelectionEnd() const {
    DWORD end = 0;
    SendMessageW(editor_.Handle(), EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return end;
}

LOGFONTW EditorWindowTest::EditorLogFont() const {
    LOGFONTW font{};
    HGDIOBJ object = reinterpret_cast<HGDIOBJ>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));
    GetObjectW(object, sizeof font, &font);
    return font;
}

int EditorWindowTest::CountEditorPixels(COLORREF colour) const {
    HWND editor = editor_.Handle();
    RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return CountWindowPixels(editor, colour);
}

int CountWindowPixels(HWND window, COLORREF colour, const RECT* area) {
    RECT rect;
    if (area) rect = *area; else GetClientRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    int count = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const DWORD p = pixels[i];
        if (RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == colour) ++count;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return count;
}

}  // namespace tolvarinth::uitest
