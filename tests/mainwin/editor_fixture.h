#pragma once
// Shared by the main-window and start-up tests: the program started in-process, a scratch folder
// for notes, and small readers for what the windows show.

#include <windows.h>

#include <string>

#include "document/note_format.h"
#include "file/codepage_win32.h"
#include "tests/support/ui_harness.h"
#include "ui/application.h"

namespace tolvarinth::mainwintest {

using namespace tolvarinth::uitest;

// A fresh folder under the Windows temporary folder; removed with its files.
class ScratchFolder {
public:
    ScratchFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = NarrowText(temp) + "tolvarinth-mainwin-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        CreateDirectoryW(WidenText(path_).c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found{};
        const std::wstring folder = WidenText(path_);
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

inline bool FileExists(const std::string& path) {
    return GetFileAttributesW(WidenText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The note's body read with the password, or "<unreadable>".
inline std::string NoteBody(const std::string& path, const std::string& password) {
    std::string text;
    return ReadNoteBody(path, password, text) ? text : std::string("<unreadable>");
}

inline std::string CaptionOf(HWND window) { return WindowTextA(window); }

// Fixture: the program started with a command line, its messages pumped through the main
// window's keyboard handling like the program's own message loop.
class RunningEditorTest : public UiTest {
protected:
    void TearDown() override {
        if (app_.Window().Exists()) DestroyAndDrain(app_.Window().Handle());
        DrainQuitMessages();
        UiTest::TearDown();
    }

    bool Start(const std::string& commandLine = "tolvarinth.exe") {
        SetPumpTranslator([this](MSG& msg) { return app_.Window().TranslateKeyboard(msg); });
        if (!app_.Start(GetModuleHandleW(nullptr), commandLine)) return false;
        FlushPosted();
        // The activation of the shown window comes back through the display server.
        PumpUntil([] { return GetFocus() != nullptr; }, 2000);
        return true;
    }

    HWND Main() { return app_.Window().Handle(); }
    HWND Editor() { return app_.Window().Editor().Handle(); }
    Win32EditorBox& EditorBox() { return app_.Window().Editor(); }

    // Types text into the editor as the keyboard would (it marks the document changed).
    void Type(const std::wstring& text) {
        PostChars(Editor(), text);
        FlushPosted();
    }

    DWORD SelectionStart() {
        DWORD start = 0, end = 0;
        SendMessageW(Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start;
    }
    DWORD SelectionEnd() {
        DWORD start = 0, end = 0;
        SendMessageW(Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }

    Application app_;
};

}  // namespace tolvarinth::mainwintest
