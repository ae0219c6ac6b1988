#include "document/note_format.h"

#include <algorithm>
#include <new>

#include "document/note_stream.h"

namespace tolvarinth {

namespace {

// Code page 936 bytes at run time (sources are compiled with -fexec-charset=CP936).
constexpr char kSignature[] = "+本文件由Tolvarinth创建+请勿手动编辑+联系作者邮箱notes@example.com+";
static_assert(sizeof kSignature - 1 == kNoteSignatureLength, "the signature is 67 bytes in code page 936");

constexpr std::size_t kReadChunk = 1 << 20;

}  // namespace

std::string_view NoteSignature() { return std::string_view(kSignature, kNoteSignatureLength); }

bool WriteNoteFile(const std::string& path, std::string_view password, std::string_view text) {
    NoteWriter writer;
    return writer.Begin(path, password) && writer.Append(text) && writer.Commit();
}

NoteHeader OpenNoteHeader(const std::string& path) {
    NoteHeader header;
    header.handle = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyAll);
    if (ReadText(header.handle, kNoteSignatureLength) != NoteSignature()) return header;
    SeekFile(header.handle, SeekOrigin::FromStart, kNoteSignatureLength);
    header.passwordCheck = ReadText(header.handle, kPasswordCheckLength);
    header.signatureMatched = true;
    return header;
}

void CloseNoteHeader(NoteHeader& header) {
    CloseFile(header.handle);
    header.handle = kEmptyHandle;
}

// The body is read whole or not at all: a partial text would be written over the note by the next
// save. Every byte is kept, 0x1A included; a 0x00 byte, which the editor's text cannot hold, is
// read as a space (as Windows Notepad shows it) so that the rest of the note is not cut off.
bool ReadNoteBody(const std::string& path, std::string_view password, std::string& text) {
    try {
        NoteBodyReader reader;
        if (!reader.Open(path, password)) return false;
        const std::int64_t length = reader.BodyLength();
        std::string body;
        if (static_cast<std::uint64_t>(length) > body.max_size()) return false;
        body.resize(static_cast<std::size_t>(length));
        for (std::size_t done = 0; done < body.size();) {
            const std::int64_t got = reader.Read(&body[done], std::min(kReadChunk, body.size() - done));
            if (got <= 0) return false;
            done += static_cast<std::size_t>(got);
        }
        std::replace(body.begin(), body.end(), '\0', ' ');
        reader.Close();
        text.swap(body);
        return true;
    } catch (...) {  // the body does not fit in memory
        return false;
    }
}

}  // namespace tolvarinth
