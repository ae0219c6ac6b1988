// The About window: look, modality and every way to close it; the homepage command.
#include "ui/about_window.h"

#include <shellapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/codepage_win32.h"
#include "tests/editformat/editor_window.h"
#include "ui/resource_ids.h"

namespace tolvarinth::uitest {
namespace {

const DialogMatch kAboutMatch{"", "TolvarinthAboutWindow"};

class AboutWindowTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        SetTimeLimit(10000);
    }

    void ExpectBackInTheMainWindow() {
        EXPECT_EQ(FindWindowW(kAboutWindowClass, nullptr), nullptr);
        EXPECT_TRUE(IsWindowEnabled(window_));
        EXPECT_EQ(GetActiveWindow(), window_);
        EXPECT_EQ(GetFocus(), editor_.Handle());
    }
};

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

void ExpectLabelFont(const LOGFONTW& font, LONG weight) {
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfWeight, weight);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_STROKE_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, VARIABLE_PITCH);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"宋体");
}

struct AboutView {
    DialogSnapshot snapshot;
    RECT frame{};
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    HMENU menu = nullptr;
    LOGFONTW titleFont{}, descriptionFont{};
    HGDIOBJ buttonFont = nullptr;
    HWND focus = nullptr;
    HWND button = nullptr;
    int titleInk = 0;
    int descriptionInkBelowTheThirdLine = 0;
    int descriptionBackground = 0;
};

void ReadAboutWindow(HWND about, AboutView* view) {
    UpdateWindow(about);
    view->snapshot = TakeSnapshot(about);
    GetWindowRect(about, &view->frame);
    view->icon = reinterpret_cast<HICON>(GetClassLongPtrW(about, GCLP_HICON));
    view->background = reinterpret_cast<HBRUSH>(GetClassLongPtrW(about, GCLP_HBRBACKGROUND));
    view->menu = GetMenu(about);
    HWND title = GetDlgItem(about, kAboutTitleId);
    HWND description = GetDlgItem(about, kAboutDescriptionId);
    view->titleFont = FontOf(title);
    view->descriptionFont = FontOf(description);
    view->buttonFont = reinterpret_cast<HGDIOBJ>(SendMessageW(GetDlgItem(about, kAboutCloseButtonId), WM_GETFONT, 0, 0));
    view->focus = GetFocus();
    view->button = GetDlgItem(about, kAboutCloseButtonId);
    view->titleInk = CountWindowPixels(title, RGB(0, 0, 0));
    // Three lines of 14 pixels end well above 60: ink further down means the long lines wrapped.
    const RECT lower{0, 60, 264, 155};
    view->descriptionInkBelowTheThirdLine = CountWindowPixels(description, RGB(0, 0, 0), &lower);
    view->descriptionBackground = CountWindowPixels(description, GetSysColor(COLOR_BTNFACE));
}

void ExpectControl(const DialogSnapshot& s, int id, RECT place, const std::string& text) {
    const ControlSnapshot* c = s.Find(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->rect.left, place.left) << id;
    EXPECT_EQ(c->rect.top, place.top) << id;
    EXPECT_EQ(c->rect.right - c->rect.left, place.right) << id;
    EXPECT_EQ(c->rect.bottom - c->rect.top, place.bottom) << id;
    EXPECT_EQ(c->text, text) << id;
    EXPECT_TRUE(c->visible) << id;
}

TEST_F(AboutWindowTest, ShowsItsTitleTextsAndButtonCentredAndModal) {
    AboutView view;
    Dialogs().Answer([&](HWND about) {
        ReadAboutWindow(about, &view);
        PostMessageW(GetDlgItem(about, kAboutCloseButtonId), BM_CLICK, 0, 0);
    }, kAboutMatch);

    ShowAboutWindow(window_);

    const DialogSnapshot& s = view.snapshot;
    ASSERT_TRUE(s.window != nullptr);
    EXPECT_EQ(s.caption, "关于 Tolvarinth");
    EXPECT_EQ(view.frame.right - view.frame.left, 289);
    EXPECT_EQ(view.frame.bottom - view.frame.top, 268);
    EXPECT_EQ(view.frame.left, (GetSystemMetrics(SM_CXSCREEN) - 289) / 2);
    EXPECT_EQ(view.frame.top, (GetSystemMetrics(SM_CYSCREEN) - 268) / 2);
    EXPECT_EQ(s.style & (WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME |
                         WS_CLIPCHILDREN),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN);
    EXPECT_EQ(s.exStyle & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(s.owner, window_);
    EXPECT_EQ(view.icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON)));
    EXPECT_NE(view.icon, nullptr);
    EXPECT_EQ(view.background, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(view.menu, nullptr);

    ASSERT_EQ(s.controls.size(), 3u);
    ExpectControl(s, kAboutTitleId, RECT{76, 8, 130, 25}, "Tolvarinth v1.0");
    ExpectControl(s, kAboutDescriptionId, RECT{9, 42, 264, 155},
                  "  本软件为Tolvarinth，增加数据加密功能。如需清除密码，请在更改密码处留空。\r\n"
                  "  可以将.etxt文件拖拽到本程序图标上进行快速打开，由此功能，也可自行设置格式关联，"
                  "以实现双击.etxt文件进行打开编辑。\r\n"
                  "  注：软件生成文件格式为 .etxt");
    ExpectControl(s, kAboutCloseButtonId, RECT{172, 200, 80, 30}, "关闭(&C)");
    const ControlSnapshot* button = s.Find(kAboutCloseButtonId);
    EXPECT_EQ(button->className, "Button");
    EXPECT_EQ(button->style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(button->style & (BS_CENTER | BS_VCENTER | WS_TABSTOP), BS_CENTER | BS_VCENTER | WS_TABSTOP);
    EXPECT_EQ(view.buttonFont, GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(view.focus, view.button);
    for (int id : {kAboutTitleId, kAboutDescriptionId}) {
        EXPECT_EQ(s.Find(id)->style & (WS_TABSTOP | WS_BORDER), 0) << id;
        EXPECT_EQ(s.Find(id)->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0) << id;
    }

    ExpectLabelFont(view.titleFont, FW_BOLD);
    ExpectLabelFont(view.descriptionFont, FW_NORMAL);
    EXPECT_GT(view.titleInk, 0);
    EXPECT_GT(view.descriptionInkBelowTheThirdLine, 0);
    EXPECT_GT(view.descriptionBackground, 0);

    ExpectBackInTheMainWindow();
}

TEST_F(AboutWindowTest, FocusIsOnTheCloseButtonAndTheMainWindowIsDisabledWhileOpen) {
    HWND focus = nullptr, button = nullptr;
    bool mainEnabled = true;
    Dialogs().Answer([&](HWND about) {
        focus = GetFocus();
        button = GetDlgItem(about, kAboutCloseButtonId);
        mainEnabled = IsWindowEnabled(window_) != FALSE;
        PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    }, kAboutMatch);

    ShowAboutWindow(window_);

    EXPECT_NE(button, nullptr);
    EXPECT_EQ(focus, button);
    EXPECT_FALSE(mainEnabled);
    ExpectBackInTheMainWindow();
}

TEST_F(AboutWindowTest, OtherWindowsOfTheProgramAreRestoredAsTheyWere) {
    HWND enabled = CreateWindowExW(0, L"STATIC", L"enabled", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND disabled = CreateWindowExW(0, L"STATIC", L"disabled", WS_OVERLAPPED | WS_VISIBLE | WS_DISABLED, 60, 0, 50,
                                    50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(window_);
    SetFocus(editor_.Handle());
    bool enabledWhileOpen = true, disabledWhileOpen = true;
    Dialogs().Answer([&](HWND) {
        enabledWhileOpen = IsWindowEnabled(enabled) != FALSE;
        disabledWhileOpen = IsWindowEnabled(disabled) != FALSE;
        PostKey(GetFocus(), VK_ESCAPE);
    }, kAboutMatch);

    ShowAboutWindow(window_);

    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_FALSE(disabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(enabled));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    ExpectBackInTheMainWindow();
    DestroyWindow(enabled);
    DestroyWindow(disabled);
}

struct CloseCase {
    const char* name;
    void (*press)(HWND about);
};

void ClickButton(HWND about) { PostMessageW(GetDlgItem(about, kAboutCloseButtonId), BM_CLICK, 0, 0); }
void PressSpace(HWND) { PostKey(GetFocus(), VK_SPACE); }
void PressEnterKey(HWND) { PostKey(GetFocus(), VK_RETURN); }
void PressEscapeKey(HWND) { PostKey(GetFocus(), VK_ESCAPE); }
void PressAltC(HWND) { PostAltChar(GetFocus(), L'c'); }
void PressCloseBox(HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }
void PressAltF4(HWND) {
    PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_F4, 1 | (0x3E << 16) | (1 << 29));
    PostMessageW(GetFocus(), WM_SYSKEYUP, VK_F4, 1 | (0x3E << 16) | (1 << 29) | (1u << 30) | (1u << 31));
}

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class AboutCloseTest : public AboutWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(AboutCloseTest, ClosesAndGivesTheFocusBackToTheEditor) {
    Dialogs().Answer([](HWND about) { GetParam().press(about); }, kAboutMatch);
    ShowAboutWindow(window_);
    ExpectBackInTheMainWindow();
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutCloseTest,
                         ::testing::Values(CloseCase{"ButtonClick", ClickButton}, CloseCase{"Space", PressSpace},
                                           CloseCase{"Enter", PressEnterKey}, CloseCase{"Escape", PressEscapeKey},
                                           CloseCase{"AltC", PressAltC}, CloseCase{"CloseBox", PressCloseBox},
                                           CloseCase{"AltF4", PressAltF4}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

// ---- Homepage ------------------------------------------------------------------------------

struct ShellCall {
    int count = 0;
    HWND window = nullptr;
    std::wstring verb, file;
    bool parameters = false, directory = false;
    INT show = -1;
} shellCall;

HINSTANCE WINAPI FailingShellOpen(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                  INT show) {
    ++shellCall.count;
    shellCall.window = window;
    shellCall.verb = verb ? verb : L"";
    shellCall.file = file ? file : L"";
    shellCall.parameters = parameters != nullptr;
    shellCall.directory = directory != nullptr;
    shellCall.show = show;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
}

TEST(HomepageTest, AsksTheShellToOpenTheAddressAndIgnoresAFailure) {
    SetShellOpenFunction(FailingShellOpen);
    OpenHomepage();
    SetShellOpenFunction(nullptr);

    EXPECT_EQ(shellCall.count, 1);
    EXPECT_EQ(shellCall.verb, L"open");
    EXPECT_EQ(shellCall.file, WidenText(HomepageAddress));
    EXPECT_EQ(std::string(HomepageAddress).rfind("https://", 0), 0u);
    EXPECT_FALSE(shellCall.parameters);
    EXPECT_FALSE(shellCall.directory);
    EXPECT_EQ(shellCall.show, SW_SHOWNORMAL);
}

}  // namespace
}  // namespace tolvarinth::uitest
