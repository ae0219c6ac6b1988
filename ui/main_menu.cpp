#include "ui/main_menu.h"

#include <string>

#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {

namespace {

// One menu item; id 0 is a separator. The shortcut key, when there is one, is Ctrl+key.
struct MenuItem {
    UINT id;
    const char* caption;
    char key;
    bool checked;
};

struct TopMenu {
    const char* caption;
    const MenuItem* items;
    int count;
};

constexpr MenuItem kSeparator{0, "-", 0, false};

constexpr MenuItem kFileItems[] = {
    {IDM_FILE_NEW, "&N.新建", 'N', false},
    {IDM_FILE_OPEN, "&O.打开", 'O', false},
    {IDM_FILE_SAVE, "&S.保存", 'S', false},
    {IDM_FILE_SAVE_AS, "&A.另存为", 0, false},
    kSeparator,
    {IDM_FILE_PRINT, "&P.打印", 'P', false},
    kSeparator,
    {IDM_FILE_EXIT, "&X.退出", 0, false},
};

constexpr MenuItem kEditItems[] = {
    {IDM_EDIT_UNDO, "&U.撤消", 'Z', false},
    kSeparator,
    {IDM_EDIT_CUT, "&X.剪切", 'X', false},
    {IDM_EDIT_COPY, "&C.复制", 'C', false},
    {IDM_EDIT_PASTE, "&P.粘贴", 'V', false},
    {IDM_EDIT_SELECT_ALL, "&A.全选", 'A', false},
    kSeparator,
    {IDM_EDIT_DATE, "&D.日期", 0, false},
    {IDM_EDIT_TIME, "&T.时间", 0, false},
};

constexpr MenuItem kFormatItems[] = {
    {IDM_FORMAT_WORD_WRAP, "&W.自动换行", 0, true},
    {IDM_FORMAT_FONT, "&F.设置字体", 0, false},
};

constexpr MenuItem kPasswordItems[] = {
    {IDM_PASSWORD_CHANGE, "&S.设置或修改密码", 0, false},
};

constexpr MenuItem kHelpItems[] = {
    {IDM_HELP_HOMEPAGE, "&H.访问作者主页", 0, false},
    {IDM_HELP_ABOUT, "&A.关于 Tolvarinth...", 0, false},
};

template <int N>
constexpr TopMenu Top(const char* caption, const MenuItem (&items)[N]) {
    return {caption, items, N};
}

constexpr TopMenu kMenuBar[] = {
    Top("&F.文件", kFileItems),
    Top("&E.编辑", kEditItems),
    Top("&O.格式", kFormatItems),
    Top("&P.密码", kPasswordItems),
    Top("&H.帮助", kHelpItems),
};

constexpr int CountShortcuts() {
    int count = 0;
    for (const TopMenu& top : kMenuBar)
        for (int i = 0; i < top.count; ++i)
            if (top.items[i].key != 0) ++count;
    return count;
}

std::string ItemText(const MenuItem& item) {
    std::string text = item.caption;
    if (item.key != 0) {
        text += "\tCtrl+";
        text += item.key;
    }
    return text;
}

bool AppendItem(HMENU popup, const MenuItem& item) {
    if (item.id == 0) return AppendMenuW(popup, MF_SEPARATOR, 0, nullptr) != FALSE;
    const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED);
    return AppendMenuW(popup, flags, item.id, WidenText(ItemText(item)).c_str()) != FALSE;
}

HMENU CreatePopup(const TopMenu& top) {
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr) return nullptr;
    for (int i = 0; i < top.count; ++i) {
        if (!AppendItem(popup, top.items[i])) {
            DestroyMenu(popup);
            return nullptr;
        }
    }
    return popup;
}

}  // namespace

HMENU CreateMainMenu() {
    HMENU bar = CreateMenu();
    if (bar == nullptr) return nullptr;
    for (const TopMenu& top : kMenuBar) {
        HMENU popup = CreatePopup(top);
        // Once appended, the popup belongs to the bar and goes with it.
        if (popup == nullptr ||
            !AppendMenuW(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WidenText(top.caption).c_str())) {
            if (popup != nullptr) DestroyMenu(popup);
            DestroyMenu(bar);
            return nullptr;
        }
    }
    return bar;
}

bool AcceleratorTable::Create() {
    Reset();
    ACCEL keys[CountShortcuts()];
    int count = 0;
    for (const TopMenu& top : kMenuBar) {
        for (int i = 0; i < top.count; ++i) {
            const MenuItem& item = top.items[i];
            if (item.key == 0) continue;
            keys[count].fVirt = FCONTROL | FVIRTKEY | FNOINVERT;
            keys[count].key = static_cast<WORD>(item.key);
            keys[count].cmd = static_cast<WORD>(item.id);
            ++count;
        }
    }
    table_ = CreateAcceleratorTableW(keys, count);
    return table_ != nullptr;
}

void AcceleratorTable::Reset() {
    if (table_ != nullptr) DestroyAcceleratorTable(table_);
    table_ = nullptr;
}

}  // namespace tolvarinth
