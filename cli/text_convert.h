#pragma once
// Streaming conversions between the notes' code page 936 and UTF-8. Input may arrive in pieces cut
// anywhere, inside a double-byte character or a UTF-8 sequence too; positions are counted across
// pieces (lines from 1 at each line feed, columns in characters from 1).

#include <cstdint>
#include <string>
#include <string_view>

namespace etxt {

struct TextPosition {
    std::int64_t line = 1;
    std::int64_t column = 1;
};

// Code page 936 to UTF-8. Bytes that are no code page 936 character become U+FFFD; the first such
// place is remembered for the caller's warning.
class CodePageToUtf8 {
public:
    void Convert(std::string_view piece, std::string& out);  // appends to out
    void Finish(std::string& out);                          // a lead byte left at the end

    std::int64_t InvalidCount() const { return invalidCount_; }
    TextPosition FirstInvalid() const { return firstInvalid_; }

private:
    void Emit(char32_t codePoint, std::string& out);
    void EmitInvalid(std::string& out);

    int pendingLead_ = -1;
    TextPosition position_;
    std::int64_t invalidCount_ = 0;
    TextPosition firstInvalid_;
};

enum class ConversionFault {
    None,
    InvalidUtf8,       // the input is not UTF-8
    NotInCodePage,     // a character code page 936 cannot hold
    TextEndCharacter,  // U+0000 or U+001A, which end a note's text when it is opened
};

struct ConversionError {
    ConversionFault fault = ConversionFault::None;
    TextPosition position;
    char32_t codePoint = 0;  // for NotInCodePage and TextEndCharacter
};

// UTF-8 to code page 936. Stops at the first fault; nothing after it is converted. A byte order
// mark at the very start is dropped.
class Utf8ToCodePage {
public:
    explicit Utf8ToCodePage(bool allowTextEndCharacters = false)
        : allowTextEnds_(allowTextEndCharacters) {}
    ~Utf8ToCodePage();

    bool Convert(std::string_view piece, std::string& out);  // appends to out; false at a fault
    bool Finish(std::string& out);                          // false for a sequence cut off at the end
    const ConversionError& Error() const { return error_; }

private:
    bool Fail(ConversionFault fault, char32_t codePoint);
    bool EmitCodePoint(char32_t codePoint, std::string& out);

    bool allowTextEnds_;
    bool atStart_ = true;
    unsigned char pending_[4] = {};
    int pendingLength_ = 0;
    int expectedLength_ = 0;
    TextPosition position_;
    ConversionError error_;
};

// Whole-text forms. ToCodePage reports the first fault in error when given.
std::string CodePageTextToUtf8(std::string_view text);
bool Utf8TextToCodePage(std::string_view text, std::string& out, ConversionError* error = nullptr);

// Where a note's text ends when it is opened: at the first 0x00 or 0x1A byte, except one that
// follows a byte of 0x80 or above; a byte of 0x80 or above followed by 0x00 ends the text before
// it. Bytes of the body are passed through until that point.
class DocumentTextEnd {
public:
    void Filter(std::string_view piece, std::string& out);  // appends the text's bytes
    void Finish(std::string& out);
    bool Ended() const { return ended_; }
    std::int64_t EndOffset() const { return endOffset_; }  // body offset of the end, when Ended

private:
    bool pendingHigh_ = false;
    char pendingByte_ = 0;
    bool ended_ = false;
    std::int64_t offset_ = 0;  // body offset of the next byte fed
    std::int64_t endOffset_ = 0;
};

// Short description of a fault for messages, e.g. "U+1F600 cannot be stored in code page 936".
std::string DescribeConversionError(const ConversionError& error);

}  // namespace etxt
