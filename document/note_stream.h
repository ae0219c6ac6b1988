#pragma once
// Streaming access to a note's body, for notes too large to hold in memory at once. The whole-note
// functions of note_format.h are built on these, so every save goes the same safe way.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tolvarinth {

// Reads a note's deciphered body in order. The file is held open exclusively while open.
class NoteBodyReader {
public:
    NoteBodyReader();
    ~NoteBodyReader();
    NoteBodyReader(const NoteBodyReader&) = delete;
    NoteBodyReader& operator=(const NoteBodyReader&) = delete;

    // Opens the note and moves to the first body byte. The password is not checked here.
    bool Open(const std::string& path, std::string_view password);
    std::int64_t BodyLength() const;
    // Reads up to n body bytes: the count read, 0 at the end, -1 on a read error.
    std::int64_t Read(char* buffer, std::size_t n);
    void Close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes a new note beside the target and replaces the target only on Commit; until then, and
// after any failure, the note already on disk is untouched and no temporary file is left.
class NoteWriter {
public:
    NoteWriter();
    ~NoteWriter();  // abandons an uncommitted note
    NoteWriter(const NoteWriter&) = delete;
    NoteWriter& operator=(const NoteWriter&) = delete;

    bool Begin(const std::string& path, std::string_view password);  // writes the header
    bool Append(std::string_view body);                              // enciphers and writes
    bool Commit();                                                   // flush and replace the target
    void Abort();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tolvarinth
