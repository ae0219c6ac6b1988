#include "document/note_stream.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "crypto/digest_text.h"
#include "crypto/note_cipher.h"
#include "crypto/secret_text.h"
#include "document/note_format.h"
#include "file/os_file.h"

namespace tolvarinth {

namespace {

// Positions in a note are 32-bit: no note grows beyond this many bytes.
constexpr std::int64_t kLargestNote = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kWriteChunk = 64 * 1024;

std::optional<NoteCipherStream> CipherFor(std::string_view password, std::int64_t position) {
    if (password.empty()) return std::nullopt;  // a note without password is stored in clear
    CipherState base = BaseState(password);
    KeyTextBytes keyText = KeyText(password);
    std::optional<NoteCipherStream> stream(std::in_place, base, keyText, kNoteHeaderLength, position);
    WipeBytes(&base, sizeof base);
    WipeBytes(keyText.data(), keyText.size());
    return stream;
}

// A name beside the target that no other file has yet; the file is created exclusively, so a
// clash only means another try.
std::string TemporaryName(const std::string& target, unsigned attempt) {
    static std::uint32_t counter = 0;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint32_t stamp = static_cast<std::uint32_t>(now ^ (now >> 32)) ^ (++counter * 2654435761u) ^ attempt;
    static const char kDigits[] = "0123456789abcdef";
    std::string suffix = ".~";
    for (int shift = 28; shift >= 0; shift -= 4) suffix += kDigits[(stamp >> shift) & 0xF];
    return target + suffix + ".tmp";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading

struct NoteBodyReader::State {
    OsFile file;
    std::optional<NoteCipherStream> cipher;
    std::int64_t bodyLength = 0;
    std::int64_t consumed = 0;
};

NoteBodyReader::NoteBodyReader() = default;
NoteBodyReader::~NoteBodyReader() { Close(); }

bool NoteBodyReader::Open(const std::string& path, std::string_view password) {
    Close();
    try {
        auto state = std::make_unique<State>();
        if (path.empty() || !state->file.Open(path, OsAccess::Read, ShareMode::DenyAll, OsCreate::OpenExisting)) {
            return false;
        }
        const std::int64_t length = state->file.Length();
        if (length < 0 || length > kLargestNote) return false;
        state->bodyLength = std::max<std::int64_t>(0, length - kNoteHeaderLength);
        if (state->bodyLength > 0 && !state->file.Seek(kNoteHeaderLength, SeekOrigin::FromStart)) return false;
        state->cipher = CipherFor(password, kNoteHeaderLength);
        state_ = std::move(state);
        return true;
    } catch (...) {
        return false;
    }
}

std::int64_t NoteBodyReader::BodyLength() const { return state_ ? state_->bodyLength : 0; }

std::int64_t NoteBodyReader::Read(char* buffer, std::size_t n) {
    if (!state_) return -1;
    const std::int64_t left = state_->bodyLength - state_->consumed;
    if (left <= 0 || n == 0) return 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(n)));
    const std::int64_t got = state_->file.Read(buffer, want);
    if (got <= 0) return -1;  // a read error, or the file ended before its length said
    if (state_->cipher) state_->cipher->Apply(reinterpret_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(got));
    state_->consumed += got;
    return got;
}

void NoteBodyReader::Close() {
    if (state_) state_->file.Close();
    state_.reset();
}

// ---------------------------------------------------------------------------------------------
// Writing: a new note goes to a temporary file beside the target, opened exclusively; only when it
// is complete and on disk does it replace the target in one step. The target itself is held open
// exclusively while the new note is written: a note that another program holds open, or that is
// read-only, is never replaced.

struct NoteWriter::State {
    std::string target;
    std::string temporary;
    bool targetExists = false;
    OsFile targetGuard;
    OsFile file;
    std::optional<NoteCipherStream> cipher;
    std::int64_t written = 0;
    std::vector<std::uint8_t> chunk;
    bool failed = false;
};

NoteWriter::NoteWriter() = default;
NoteWriter::~NoteWriter() { Abort(); }

bool NoteWriter::Begin(const std::string& path, std::string_view password) {
    Abort();
    try {
        if (path.empty()) return false;
        auto state = std::make_unique<State>();
        state->target = OsResolveTarget(path);

        OsPathInfo info;
        if (!OsQueryPath(state->target, info)) return false;
        if (info.exists) {
            if (!info.isRegularFile || info.readOnly) return false;
            if (!state->targetGuard.Open(state->target, OsAccess::Write, ShareMode::DenyAll, OsCreate::OpenExisting)) {
                return false;
            }
            state->targetExists = true;
        }

        for (unsigned attempt = 0; attempt < 16 && !state->file.IsOpen(); ++attempt) {
            const std::string name = TemporaryName(state->target, attempt);
            OsPathInfo existing;
            if (!OsQueryPath(name, existing)) return false;
            if (existing.exists) continue;
            if (!state->file.Open(name, OsAccess::ReadWrite, ShareMode::DenyAll, OsCreate::CreateNew)) return false;
            state->temporary = name;
        }
        if (!state->file.IsOpen()) return false;
        state_ = std::move(state);  // from here on, Abort removes the temporary file

        state_->cipher = CipherFor(password, 0);
        const std::string check = DigestText(password);
        std::string header(NoteSignature());
        header += check;
        header += '+';
        if (!Append(header)) {
            Abort();
            return false;
        }
        return true;
    } catch (...) {
        Abort();
        return false;
    }
}

bool NoteWriter::Append(std::string_view body) {
    if (!state_ || state_->failed) return false;
    State& s = *state_;
    if (body.empty()) return true;
    if (static_cast<std::int64_t>(body.size()) > kLargestNote - s.written) {
        s.failed = true;
        return false;
    }
    bool ok = true;
    if (!s.cipher) {
        ok = s.file.Write(body.data(), body.size());
    } else {
        try {
            if (s.chunk.empty()) s.chunk.resize(kWriteChunk);
        } catch (...) {
            ok = false;
        }
        for (std::size_t done = 0; ok && done < body.size();) {
            const std::size_t piece = std::min(body.size() - done, s.chunk.size());
            std::copy(body.data() + done, body.data() + done + piece, s.chunk.begin());
            s.cipher->Apply(s.chunk.data(), piece);
            ok = s.file.Write(s.chunk.data(), piece);
            done += piece;
        }
    }
    if (!ok) {
        s.failed = true;
        return false;
    }
    s.written += static_cast<std::int64_t>(body.size());
    return true;
}

bool NoteWriter::Commit() {
    if (!state_ || state_->failed) {
        Abort();
        return false;
    }
    State& s = *state_;
    bool ok = (!s.targetExists || s.file.CopyPermissionsFrom(s.target)) && s.file.Flush();
    ok = s.file.Close() && ok;
    // The target is let go just before it is replaced (Windows cannot replace an open file).
    ok = s.targetGuard.Close() && ok;
    if (!ok || !OsReplaceFile(s.temporary, s.target)) {
        Abort();
        return false;
    }
    state_.reset();
    return true;
}

void NoteWriter::Abort() {
    if (!state_) return;
    state_->file.Close();
    state_->targetGuard.Close();
    if (!state_->temporary.empty()) OsRemoveFile(state_->temporary);
    state_.reset();
}

}  // namespace tolvarinth
