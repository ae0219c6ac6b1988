#include "cli/etxt_app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>

#include "cli/commands.h"
#include "cli/platform.h"

namespace etxt {
namespace {

constexpr const char* kVersion = "etxt 1.0 (Tolvarinth notes)";

constexpr const char* kExitStatusHelp =
    "Exit status: 0 success; 1 the file is not a note, cannot be read or written, or the input\n"
    "cannot be stored; 2 usage error, or a password is needed and there is no terminal to ask\n"
    "it on; 3 wrong password (or a new password not confirmed).\n"
    "Passwords are asked on the terminal without echo. A password file gives its first line\n"
    "(UTF-8, line end and byte order mark removed). Passwords and documents are converted\n"
    "between UTF-8 and code page 936, which notes use.";

CLI::App* AddNoteCommand(CLI::App& app, const char* name, const char* description,
                         CommandOptions& options) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("NOTE", options.note, "the note file (.etxt)")->required()->type_name("");
    command->footer(kExitStatusHelp);
    return command;
}

void AddChunkSize(CLI::App* command, CommandOptions& options) {
    // Test seam: the size of the pieces notes and input are streamed in.
    command->add_option("--chunk-size", options.chunkSize)->check(CLI::Range(1, 1 << 30))->group("");
}

}  // namespace

int RunEtxt(const std::vector<std::string>& arguments) {
    PrepareStandardStreams();
    CommandOptions options;

    CLI::App app("Reads and writes Tolvarinth notes (.etxt).", "etxt");
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1, 1);
    app.footer(kExitStatusHelp);

    CLI::App* cat = AddNoteCommand(app, "cat",
                                   "Print the note's text, converted from code page 936 to UTF-8 "
                                   "(line ends as stored). The text ends where the editor's does, "
                                   "at a 0x00 or 0x1A byte.",
                                   options);
    cat->add_flag("--raw", options.raw, "print the stored body bytes exactly, unconverted");
    cat->add_option("--password-file", options.passwordFile, "read the password from FILE")
        ->type_name("FILE");
    AddChunkSize(cat, options);

    CLI::App* write = AddNoteCommand(app, "write",
                                     "Write the note from standard input (UTF-8, converted to code "
                                     "page 936), creating it or safely replacing it. A character "
                                     "code page 936 cannot hold is an error, and nothing is written.",
                                     options);
    write->add_flag("--raw", options.raw, "store the input bytes as they are, unconverted");
    CLI::Option* noPassword = write->add_flag("--no-password", options.noPassword, "write a note without password");
    write->add_option("--password-file", options.passwordFile, "read the new note's password from FILE")
        ->type_name("FILE")
        ->excludes(noPassword);
    write->add_flag("--crlf", options.crlf, "store lone line feeds as CR LF, as the editor writes lines");
    write->add_flag("--force", options.force, "replace NOTE even when it is some other file, not a note");
    AddChunkSize(write, options);

    CLI::App* passwd = AddNoteCommand(app, "passwd",
                                      "Change or clear the note's password: asks the old one (if "
                                      "any), then the new one twice; an empty new password clears it.",
                                      options);
    passwd->add_option("--password-file", options.passwordFile, "read the old password from FILE")
        ->type_name("FILE");
    CLI::Option* clear = passwd->add_flag("--no-password", options.noPassword, "clear the password");
    passwd->add_option("--new-password-file", options.newPasswordFile, "read the new password from FILE")
        ->type_name("FILE")
        ->excludes(clear);
    AddChunkSize(passwd, options);

    AddNoteCommand(app, "info",
                   "Say whether NOTE is a note, whether it has a password, and the body's size in "
                   "bytes. Never asks for a password.",
                   options);

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = app.exit(error, out, err);
        if (!out.str().empty()) {
            WriteOutput(out.str(), true);
            FlushOutput();
        }
        std::string message = err.str();
        while (!message.empty() && message.back() == '\n') message.pop_back();
        if (!message.empty()) WriteMessage(message);
        return code == 0 ? kExitSuccess : kExitUsageError;
    }

    if (cat->parsed()) return RunCat(options);
    if (write->parsed()) return RunWrite(options);
    if (passwd->parsed()) return RunPasswd(options);
    return RunInfo(options);
}

}  // namespace etxt
