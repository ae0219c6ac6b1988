// A small helper for the black-box runs: writes a note, or prints a note's body.
//   note_tool write PATH PASSWORD TEXT
//   note_tool read PATH PASSWORD
#include <windows.h>

#include <cstdio>
#include <string>

#include "document/note_format.h"
#include "file/codepage_win32.h"

int wmain(int argc, wchar_t** argv) {
    using tolvarinth::NarrowText;
    const std::string command = argc > 1 ? NarrowText(argv[1]) : "";
    if (command == "write" && argc == 5) {
        if (tolvarinth::WriteNoteFile(NarrowText(argv[2]), NarrowText(argv[3]), NarrowText(argv[4]))) return 0;
        std::fputs("note_tool: the note could not be written\n", stderr);
        return 1;
    }
    if (command == "read" && argc == 4) {
        std::string text;
        if (!tolvarinth::ReadNoteBody(NarrowText(argv[2]), NarrowText(argv[3]), text)) {
            std::fputs("note_tool: the note could not be read\n", stderr);
            return 1;
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    std::fputs("usage: note_tool write PATH PASSWORD TEXT | note_tool read PATH PASSWORD\n", stderr);
    return 2;
}
