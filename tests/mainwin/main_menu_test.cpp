// The menu bar: every menu and item with its caption, shortcut name, separators and check mark,
// and the accelerator table behind the shortcuts.
#include "ui/main_menu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

struct ExpectedItem {
    UINT id;           // 0: separator
    const char* text;  // as shown: caption, then a tab and the shortcut name
};

struct ExpectedMenu {
    const char* caption;
    std::vector<ExpectedItem> items;
};

const std::vector<ExpectedMenu>& ExpectedMenuBar() {
    static const std::vector<ExpectedMenu> bar = {
        {"&F.文件",
         {{IDM_FILE_NEW, "&N.新建\tCtrl+N"},
          {IDM_FILE_OPEN, "&O.打开\tCtrl+O"},
          {IDM_FILE_SAVE, "&S.保存\tCtrl+S"},
          {IDM_FILE_SAVE_AS, "&A.另存为"},
          {0, ""},
          {IDM_FILE_PRINT, "&P.打印\tCtrl+P"},
          {0, ""},
          {IDM_FILE_EXIT, "&X.退出"}}},
        {"&E.编辑",
         {{IDM_EDIT_UNDO, "&U.撤消\tCtrl+Z"},
          {0, ""},
          {IDM_EDIT_CUT, "&X.剪切\tCtrl+X"},
          {IDM_EDIT_COPY, "&C.复制\tCtrl+C"},
          {IDM_EDIT_PASTE, "&P.粘贴\tCtrl+V"},
          {IDM_EDIT_SELECT_ALL, "&A.全选\tCtrl+A"},
          {0, ""},
          {IDM_EDIT_DATE, "&D.日期"},
          {IDM_EDIT_TIME, "&T.时间"}}},
        {"&O.格式", {{IDM_FORMAT_WORD_WRAP, "&W.自动换行"}, {IDM_FORMAT_FONT, "&F.设置字体"}}},
        {"&P.密码", {{IDM_PASSWORD_CHANGE, "&S.设置或修改密码"}}},
        {"&H.帮助", {{IDM_HELP_HOMEPAGE, "&H.访问作者主页"}, {IDM_HELP_ABOUT, "&A.关于 Tolvarinth..."}}},
    };
    return bar;
}

struct ItemInfo {
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
    HMENU submenu = nullptr;
    std::string text;  // code page 936
};

ItemInfo ReadItem(HMENU menu, int position) {
    wchar_t buffer[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 255;
    ItemInfo item;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return item;
    item.id = info.wID;
    item.type = info.fType;
    item.state = info.fState;
    item.submenu = info.hSubMenu;
    item.text = NarrowText(buffer);
    return item;
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(menu_, nullptr); }
    void TearDown() override {
        if (menu_ != nullptr) DestroyMenu(menu_);
    }
    HMENU menu_ = CreateMainMenu();
};

TEST_F(MainMenuTest, TopLevelMenusInOrderEachWithItsPopup) {
    const auto& expected = ExpectedMenuBar();
    ASSERT_EQ(GetMenuItemCount(menu_), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const ItemInfo top = ReadItem(menu_, static_cast<int>(i));
        EXPECT_EQ(top.text, expected[i].caption) << "menu " << i;
        EXPECT_NE(top.submenu, nullptr) << "menu " << i;
        EXPECT_EQ(top.state & (MFS_DISABLED | MFS_GRAYED | MFS_CHECKED), 0u) << "menu " << i;
    }
}

TEST_F(MainMenuTest, EveryItemHasItsCaptionShortcutNameAndCommand) {
    const auto& expected = ExpectedMenuBar();
    for (size_t m = 0; m < expected.size(); ++m) {
        HMENU popup = GetSubMenu(menu_, static_cast<int>(m));
        ASSERT_NE(popup, nullptr);
        const auto& items = expected[m].items;
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(items.size())) << "menu " << m;
        for (size_t i = 0; i < items.size(); ++i) {
            const ItemInfo item = ReadItem(popup, static_cast<int>(i));
            SCOPED_TRACE("menu " + std::to_string(m) + " item " + std::to_string(i));
            if (items[i].id == 0) {
                EXPECT_TRUE(item.type & MFT_SEPARATOR);
                continue;
            }
            EXPECT_FALSE(item.type & MFT_SEPARATOR);
            EXPECT_EQ(item.id, items[i].id);
            EXPECT_EQ(item.text, items[i].text);
            EXPECT_EQ(item.submenu, nullptr);
            EXPECT_EQ(item.state & (MFS_DISABLED | MFS_GRAYED), 0u);
        }
    }
}

TEST_F(MainMenuTest, OnlyWordWrapStartsChecked) {
    const auto& expected = ExpectedMenuBar();
    for (size_t m = 0; m < expected.size(); ++m) {
        HMENU popup = GetSubMenu(menu_, static_cast<int>(m));
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            const ItemInfo item = ReadItem(popup, i);
            const bool checked = (item.state & MFS_CHECKED) != 0;
            EXPECT_EQ(checked, item.id == IDM_FORMAT_WORD_WRAP) << "item " << item.id;
        }
    }
    EXPECT_EQ(GetMenuState(menu_, IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

TEST(MainMenuAcceleratorTest, CtrlLettersOfTheShortcutsAndNothingElse) {
    AcceleratorTable table;
    ASSERT_TRUE(table.Create());
    ACCEL entries[32];
    const int count = CopyAcceleratorTableW(table.Handle(), entries, 32);
    using Entry = std::tuple<int, int, int>;  // flags, key, command
    std::set<Entry> actual;
    for (int i = 0; i < count; ++i) actual.insert({entries[i].fVirt, entries[i].key, entries[i].cmd});
    const int flags = FCONTROL | FVIRTKEY | FNOINVERT;
    const std::set<Entry> expected = {
        {flags, 'N', IDM_FILE_NEW},  {flags, 'O', IDM_FILE_OPEN},       {flags, 'S', IDM_FILE_SAVE},
        {flags, 'P', IDM_FILE_PRINT}, {flags, 'Z', IDM_EDIT_UNDO},      {flags, 'X', IDM_EDIT_CUT},
        {flags, 'C', IDM_EDIT_COPY}, {flags, 'V', IDM_EDIT_PASTE},      {flags, 'A', IDM_EDIT_SELECT_ALL},
    };
    EXPECT_EQ(count, 9);
    EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace tolvarinth
