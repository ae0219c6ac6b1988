#include "cli/commands.h"

#include <cstdint>
#include <string>
#include <vector>

#include "cli/passwords.h"
#include "cli/platform.h"
#include "cli/text_convert.h"
#include "crypto/digest_text.h"
#include "crypto/secret_text.h"
#include "document/note_format.h"
#include "document/note_stream.h"
#include "file/file_handle.h"
#include "file/os_file.h"

namespace etxt {

using tolvarinth::SecretText;

namespace {

constexpr int kPromptAttempts = 3;

void Message(const std::string& text) { WriteMessage("etxt: " + text); }

std::string Quoted(const std::string& argument) { return "'" + argument + "'"; }

std::string PositionText(const TextPosition& position) {
    return "line " + std::to_string(position.line) + ", column " + std::to_string(position.column);
}

enum class CheckKind { NoPassword, Password, Damaged };

CheckKind KindOfCheck(const std::string& check) {
    if (check == tolvarinth::DigestText("")) return CheckKind::NoPassword;
    if (check.size() != static_cast<std::size_t>(tolvarinth::kPasswordCheckLength)) return CheckKind::Damaged;
    for (const char c : check) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return CheckKind::Damaged;
    }
    return CheckKind::Password;
}

// The header of a note, held open (so no other program changes the note) while its password is
// decided.
class OpenHeader {
public:
    explicit OpenHeader(const std::string& path) : header_(tolvarinth::OpenNoteHeader(path)) {}
    ~OpenHeader() { Close(); }
    OpenHeader(const OpenHeader&) = delete;
    OpenHeader& operator=(const OpenHeader&) = delete;

    bool IsNote() const { return header_.signatureMatched; }
    const std::string& Check() const { return header_.passwordCheck; }
    void Close() { tolvarinth::CloseNoteHeader(header_); }

private:
    tolvarinth::NoteHeader header_;
};

// Why a file is no note: it cannot be opened at all, or it is some other file.
int ReportNotANote(const std::string& path, const std::string& display) {
    const tolvarinth::FileHandle probe =
        tolvarinth::OpenFile(path, tolvarinth::OpenMode::ReadOnly, tolvarinth::ShareMode::DenyNone);
    if (probe == tolvarinth::kEmptyHandle) {
        Message("cannot open " + Quoted(display) + " (missing, unreadable or in use)");
    } else {
        tolvarinth::CloseFile(probe);
        Message(Quoted(display) + " is not a note");
    }
    return kExitFileError;
}

bool ResolvePath(const CommandOptions& options, std::string& path) {
    if (NotePathFromArgument(options.note, path)) return true;
    Message("cannot use the path " + Quoted(options.note) +
            ": it holds characters code page 936 cannot hold");
    return false;
}

int ReportUnreadablePasswordFile(const std::string& file) {
    Message("cannot read the password file " + Quoted(file));
    return kExitFileError;
}

// Decides the password that opens the note whose check is given. kExitSuccess and the password,
// or the status to exit with (the message already shown).
int DecideOpeningPassword(const CommandOptions& options, const std::string& check, SecretText& password) {
    const std::string& display = options.note;
    switch (KindOfCheck(check)) {
        case CheckKind::NoPassword:
            password = SecretText();
            return kExitSuccess;
        case CheckKind::Damaged:
            Message(Quoted(display) + " has a damaged password check: no password can open it");
            return kExitFileError;
        case CheckKind::Password:
            break;
    }
    if (!options.passwordFile.empty()) {
        SecretText candidate;
        const PasswordStatus status = ReadPasswordFile(options.passwordFile, candidate);
        if (status == PasswordStatus::Unreadable) return ReportUnreadablePasswordFile(options.passwordFile);
        if (status == PasswordStatus::Ok && tolvarinth::DigestText(candidate.view()) == check) {
            password = candidate;
            return kExitSuccess;
        }
        Message("wrong password for " + Quoted(display));
        return kExitWrongPassword;
    }
    for (int attempt = 0; attempt < kPromptAttempts; ++attempt) {
        SecretText candidate;
        const PasswordStatus status = AskPassword("Password for " + display + ": ", candidate);
        if (status == PasswordStatus::NoTerminal) {
            Message(Quoted(display) + " has a password and there is no terminal to ask it on; "
                    "give it with --password-file FILE");
            return kExitUsageError;
        }
        if (status == PasswordStatus::Cancelled) {
            Message("no password given; nothing done");
            return kExitWrongPassword;
        }
        if (status == PasswordStatus::Ok && tolvarinth::DigestText(candidate.view()) == check) {
            password = candidate;
            return kExitSuccess;
        }
        Message("wrong password");
    }
    Message("wrong password for " + Quoted(display));
    return kExitWrongPassword;
}

// Decides the password a note is written with: --no-password, the new password file, or asked
// twice on the terminal.
int DecideNewPassword(const CommandOptions& options, const std::string& passwordFile,
                      const char* howToGiveIt, SecretText& password) {
    if (options.noPassword) {
        password = SecretText();
        return kExitSuccess;
    }
    if (!passwordFile.empty()) {
        const PasswordStatus status = ReadPasswordFile(passwordFile, password);
        if (status == PasswordStatus::Unreadable) return ReportUnreadablePasswordFile(passwordFile);
        if (status == PasswordStatus::NotInCodePage) {
            Message("the new password holds a character code page 936 cannot hold; nothing written");
            return kExitUsageError;
        }
        return kExitSuccess;
    }
    for (int attempt = 0; attempt < kPromptAttempts; ++attempt) {
        switch (AskNewPassword(options.note, password)) {
            case PasswordStatus::Ok:
                return kExitSuccess;
            case PasswordStatus::NoTerminal:
                Message(std::string("there is no terminal to ask the new password on; use ") + howToGiveIt);
                return kExitUsageError;
            case PasswordStatus::Cancelled:
                Message("no password given; nothing written");
                return kExitWrongPassword;
            case PasswordStatus::NotInCodePage:
                Message("that password holds a character code page 936 cannot hold");
                break;
            case PasswordStatus::Mismatch:
                Message("the two passwords differ");
                break;
            case PasswordStatus::Unreadable:
                break;
        }
    }
    Message("the new password was not confirmed; nothing written");
    return kExitWrongPassword;
}

// Opens a note for reading: the header is checked, the password decided while it is held, and
// the body opened.
int OpenNoteForReading(const CommandOptions& options, const std::string& path,
                       tolvarinth::NoteBodyReader& reader, SecretText& password) {
    OpenHeader header(path);
    if (!header.IsNote()) {
        header.Close();
        return ReportNotANote(path, options.note);
    }
    const int status = DecideOpeningPassword(options, header.Check(), password);
    header.Close();
    if (status != kExitSuccess) return status;
    if (!reader.Open(path, password.view())) {
        Message("cannot read " + Quoted(options.note));
        return kExitFileError;
    }
    return kExitSuccess;
}

// Turns lone line feeds into CR LF, across pieces.
class CrLfLineEnds {
public:
    void Apply(std::string& text) {
        std::string out;
        out.reserve(text.size() + text.size() / 16);
        for (const char c : text) {
            if (c == '\n' && !lastWasCr_) out += '\r';
            out += c;
            lastWasCr_ = c == '\r';
        }
        text.swap(out);
    }

private:
    bool lastWasCr_ = false;
};

// A path beside the given one that names no file yet.
bool FreeSiblingName(const std::string& path, std::string& sibling) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = path + ".passwd" + std::to_string(attempt) + ".tmp";
        tolvarinth::OsPathInfo info;
        if (!tolvarinth::OsQueryPath(candidate, info)) return false;
        if (!info.exists) {
            sibling = candidate;
            return true;
        }
    }
    return false;
}

// Streams the body of one note into another (created or safely replaced), in pieces.
bool CopyNote(const std::string& from, std::string_view fromPassword, const std::string& to,
              std::string_view toPassword, std::size_t chunkSize) {
    tolvarinth::NoteBodyReader reader;
    if (!reader.Open(from, fromPassword)) return false;
    tolvarinth::NoteWriter writer;
    if (!writer.Begin(to, toPassword)) return false;
    std::vector<char> chunk(chunkSize);
    for (;;) {
        const std::int64_t got = reader.Read(chunk.data(), chunk.size());
        if (got < 0) return false;
        if (got == 0) break;
        if (!writer.Append(std::string_view(chunk.data(), static_cast<std::size_t>(got)))) return false;
    }
    reader.Close();  // the target is replaced only once nothing here holds a note open
    return writer.Commit();
}

}  // namespace

int RunCat(const CommandOptions& options) {
    std::string path;
    if (!ResolvePath(options, path)) return kExitFileError;
    tolvarinth::NoteBodyReader reader;
    SecretText password;
    const int status = OpenNoteForReading(options, path, reader, password);
    if (status != kExitSuccess) return status;

    std::vector<char> chunk(options.chunkSize);
    DocumentTextEnd textEnd;
    CodePageToUtf8 converter;
    std::string text;
    std::string utf8;
    std::int64_t bodyBytes = 0;
    bool outputOk = true;
    for (;;) {
        const std::int64_t got = reader.Read(chunk.data(), chunk.size());
        if (got < 0) {
            Message("read error in " + Quoted(options.note));
            return kExitFileError;
        }
        if (got == 0) break;
        bodyBytes += got;
        const std::string_view piece(chunk.data(), static_cast<std::size_t>(got));
        if (options.raw) {
            outputOk = WriteOutput(piece, false);
        } else {
            text.clear();
            utf8.clear();
            textEnd.Filter(piece, text);
            converter.Convert(text, utf8);
            outputOk = WriteOutput(utf8, true);
            if (textEnd.Ended()) break;
        }
        if (!outputOk) break;
    }
    reader.Close();
    if (!options.raw && outputOk) {
        text.clear();
        utf8.clear();
        textEnd.Finish(text);
        converter.Convert(text, utf8);
        converter.Finish(utf8);
        outputOk = WriteOutput(utf8, true);
    }
    if (!outputOk || !FlushOutput()) {
        Message("cannot write standard output");
        return kExitFileError;
    }
    if (textEnd.Ended()) {
        Message("note: the text ends at a 0x00 or 0x1A byte at body offset " +
                std::to_string(textEnd.EndOffset()) +
                ", as in the editor; --raw prints all stored bytes");
    }
    if (converter.InvalidCount() > 0) {
        Message("warning: " + std::to_string(converter.InvalidCount()) +
                " byte sequence(s) are no code page 936 character and were shown as U+FFFD; the first at " +
                PositionText(converter.FirstInvalid()));
    }
    return kExitSuccess;
}

int RunWrite(const CommandOptions& options) {
    std::string path;
    if (!ResolvePath(options, path)) return kExitFileError;
    {
        // Never replace a file that is not a note unless asked to.
        OpenHeader header(path);
        const bool isNote = header.IsNote();
        header.Close();
        if (!isNote && !options.force) {
            const tolvarinth::FileHandle probe = tolvarinth::OpenFile(
                path, tolvarinth::OpenMode::ReadOnly, tolvarinth::ShareMode::DenyNone);
            if (probe != tolvarinth::kEmptyHandle) {
                tolvarinth::CloseFile(probe);
                Message(Quoted(options.note) + " exists and is not a note; use --force to replace it");
                return kExitFileError;
            }
        }
    }
    SecretText password;
    const int status =
        DecideNewPassword(options, options.passwordFile, "--password-file FILE or --no-password", password);
    if (status != kExitSuccess) return status;

    tolvarinth::NoteWriter writer;
    if (!writer.Begin(path, password.view())) {
        Message("cannot write " + Quoted(options.note));
        return kExitFileError;
    }
    std::vector<char> chunk(options.chunkSize);
    Utf8ToCodePage converter;
    CrLfLineEnds lineEnds;
    std::string stored;
    bool converted = true;
    for (;;) {
        const std::int64_t got = ReadInput(chunk.data(), chunk.size());
        if (got < 0) {
            writer.Abort();
            Message("cannot read standard input; nothing written");
            return kExitFileError;
        }
        stored.clear();
        if (got == 0) {
            if (!options.raw) converted = converter.Finish(stored);
        } else if (options.raw) {
            stored.assign(chunk.data(), static_cast<std::size_t>(got));
        } else {
            converted = converter.Convert(std::string_view(chunk.data(), static_cast<std::size_t>(got)), stored);
        }
        if (!converted) {
            writer.Abort();
            Message("standard input, " + PositionText(converter.Error().position) + ": " +
                    DescribeConversionError(converter.Error()) + "; nothing written");
            return kExitFileError;
        }
        if (options.crlf) lineEnds.Apply(stored);
        if (!stored.empty() && !writer.Append(stored)) {
            writer.Abort();
            Message("cannot write " + Quoted(options.note) + "; it is unchanged");
            return kExitFileError;
        }
        if (got == 0) break;
    }
    if (!writer.Commit()) {
        Message("cannot write " + Quoted(options.note) + "; it is unchanged");
        return kExitFileError;
    }
    return kExitSuccess;
}

int RunPasswd(const CommandOptions& options) {
    std::string path;
    if (!ResolvePath(options, path)) return kExitFileError;
    SecretText oldPassword;
    {
        OpenHeader header(path);
        if (!header.IsNote()) {
            header.Close();
            return ReportNotANote(path, options.note);
        }
        const int status = DecideOpeningPassword(options, header.Check(), oldPassword);
        if (status != kExitSuccess) return status;
    }
    SecretText newPassword;
    const int status = DecideNewPassword(options, options.newPasswordFile,
                                         "--new-password-file FILE or --no-password", newPassword);
    if (status != kExitSuccess) return status;

    // A note cannot be read while it is being replaced (both hold it exclusively), so the body goes
    // first into a complete note beside it, already under the new password, and from there
    // into the note itself by the usual safe save.
    std::string interim;
    if (!FreeSiblingName(path, interim)) {
        Message("cannot write beside " + Quoted(options.note) + "; it is unchanged");
        return kExitFileError;
    }
    const bool copied = CopyNote(path, oldPassword.view(), interim, newPassword.view(), options.chunkSize) &&
                        CopyNote(interim, newPassword.view(), path, newPassword.view(), options.chunkSize);
    tolvarinth::OsRemoveFile(interim);
    if (!copied) {
        Message("cannot rewrite " + Quoted(options.note) + "; it is unchanged");
        return kExitFileError;
    }
    Message(newPassword.empty() ? Quoted(options.note) + " now has no password"
                                : "the password of " + Quoted(options.note) + " is changed");
    return kExitSuccess;
}

int RunInfo(const CommandOptions& options) {
    std::string path;
    if (!ResolvePath(options, path)) return kExitFileError;
    OpenHeader header(path);
    if (!header.IsNote()) {
        header.Close();
        const tolvarinth::FileHandle probe =
            tolvarinth::OpenFile(path, tolvarinth::OpenMode::ReadOnly, tolvarinth::ShareMode::DenyNone);
        if (probe == tolvarinth::kEmptyHandle) return ReportNotANote(path, options.note);
        tolvarinth::CloseFile(probe);
        WriteOutput("file: " + options.note + "\nnote: no\n", true);
        FlushOutput();
        Message(Quoted(options.note) + " is not a note");
        return kExitFileError;
    }
    const CheckKind kind = KindOfCheck(header.Check());
    header.Close();
    // The body length needs no password: nothing is deciphered.
    tolvarinth::NoteBodyReader reader;
    if (!reader.Open(path, "")) {
        Message("cannot read " + Quoted(options.note));
        return kExitFileError;
    }
    const std::int64_t length = reader.BodyLength();
    reader.Close();
    const char* passwordText = kind == CheckKind::NoPassword ? "no"
                               : kind == CheckKind::Password ? "yes"
                                                             : "damaged check (no password opens it)";
    const std::string report = "file: " + options.note + "\nnote: yes\npassword: " + passwordText +
                               "\nbody: " + std::to_string(length) + " bytes\n";
    if (!WriteOutput(report, true) || !FlushOutput()) {
        Message("cannot write standard output");
        return kExitFileError;
    }
    return kExitSuccess;
}

}  // namespace etxt
