#include "tests/printing/print_dialog_answers.h"

#include <dlgs.h>

#include "file/codepage_win32.h"

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

}  // namespace tolvarinth::printtest
