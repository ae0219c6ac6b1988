#pragma once
// The main window's menu bar and its accelerator table.

#include <windows.h>

namespace tolvarinth {

// Builds the complete menu bar: every top-level menu with its items, shortcut names, separators
// and the word-wrap check mark. The caller owns the menu (a menu attached to a window is
// destroyed with it). Null when the menu cannot be built.
HMENU CreateMainMenu();

// The shortcut keys of the menu (Ctrl+letter), as an accelerator table.
class AcceleratorTable {
public:
    AcceleratorTable() = default;
    ~AcceleratorTable() { Reset(); }
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;

    bool Create();  // false when the table cannot be created
    void Reset();
    HACCEL Handle() const { return table_; }

private:
    HACCEL table_ = nullptr;
};

}  // namespace tolvarinth
