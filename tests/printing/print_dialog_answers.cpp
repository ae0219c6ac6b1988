#include "tests/printing/print_dialog_answers.h"

#include <dlgs.h>

#include "file/codepage_win32.h"
#include "ui/print_progress_ids.h"

namespace tolvarinth::printtest {

using uitest::DialogAction;

DialogAction TickPrintToFile() {
    return [](HWND dialog) {
        EXPECT_NE(GetDlgItem(dialog, chx1), nullptr) << "not a print dialog";
        CheckDlgButton(dialog, chx1, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, chx1)));
    };
}

DialogAction PickPrinter(const std::wstring& name) {
    return [name](HWND dialog) {
        HWND list = GetDlgItem(dialog, cmb4);
        const LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(name.c_str()));
        EXPECT_NE(index, CB_ERR) << "printer not listed";
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    };
}

DialogAction PrintToFileAndOk() {
    return uitest::Sequence({TickPrintToFile(), uitest::PressButton(IDOK)});
}

DialogAction ReadFileTypes(std::vector<std::string>* out, DialogAction then) {
    return [out, then](HWND dialog) {
        HWND types = GetDlgItem(dialog, cmb1);
        const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            out->push_back(NarrowText(text));
        }
        if (then) then(dialog);
    };
}

namespace {

thread_local StopBy tStopBy = StopBy::Button;
thread_local bool tStopPressed = false;

LRESULT CALLBACK PressStopOnPageTwo(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && !tStopPressed && call->message == WM_SETTEXT &&
        GetDlgCtrlID(call->hwnd) == IDC_PRINT_PAGE && lstrcmpW(reinterpret_cast<const wchar_t*>(call->lParam), L"2") == 0) {
        tStopPressed = true;
        HWND stop = GetDlgItem(GetParent(call->hwnd), IDCANCEL);
        if (tStopBy == StopBy::Button)
            PostMessageW(stop, BM_CLICK, 0, 0);
        else
            uitest::PostKey(stop, VK_ESCAPE);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

StopOnPageTwo::StopOnPageTwo(StopBy by) {
    tStopBy = by;
    tStopPressed = false;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, PressStopOnPageTwo, nullptr, GetCurrentThreadId());
}

StopOnPageTwo::~StopOnPageTwo() { UnhookWindowsHookEx(hook_); }

bool StopOnPageTwo::Pressed() const { return tStopPressed; }

}  // namespace tolvarinth::printtest
