#include "cli/text_convert.h"

#include <cstdio>
#include <memory>

#include "cli/code_page.h"
#include "crypto/secret_text.h"

namespace etxt {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr int kFirstLead = 0x81;
constexpr int kLastLead = 0xFE;

bool IsLead(int byte) { return byte >= kFirstLead && byte <= kLastLead; }
bool IsTrail(int byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// Code page 936 to code points, filled once from the platform's conversion. 0 marks no character.
struct DecodeTable {
    char32_t single[256] = {};
    char32_t pair[(kLastLead - kFirstLead + 1) * 256] = {};

    DecodeTable() {
        for (int b = 0; b < 0x80; ++b) single[b] = static_cast<char32_t>(b);
        for (int b = 0x80; b < 0x100; ++b) {
            if (IsLead(b)) continue;
            const char byte = static_cast<char>(b);
            char32_t cp = 0;
            if (DecodeCodePageCharacter(std::string_view(&byte, 1), cp)) single[b] = cp;
        }
        for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (!IsTrail(trail)) continue;
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char32_t cp = 0;
                if (DecodeCodePageCharacter(std::string_view(bytes, 2), cp)) {
                    pair[(lead - kFirstLead) * 256 + trail] = cp;
                }
            }
        }
    }
};

// Code points U+0080 to U+FFFF to code page 936: a value below 0x100 is one byte, else lead and
// trail byte; 0 marks a character the code page cannot hold.
struct EncodeTable {
    std::uint16_t bytes[0x10000] = {};

    EncodeTable() {
        std::string out;
        for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) continue;
            if (!EncodeCodePageCharacter(cp, out)) continue;
            const auto b0 = static_cast<unsigned char>(out[0]);
            bytes[cp] = out.size() == 1 ? b0
                                        : static_cast<std::uint16_t>(
                                              (b0 << 8) | static_cast<unsigned char>(out[1]));
        }
    }
};

const DecodeTable& Decoding() {
    static const std::unique_ptr<DecodeTable> table = std::make_unique<DecodeTable>();
    return *table;
}

const EncodeTable& Encoding() {
    static const std::unique_ptr<EncodeTable> table = std::make_unique<EncodeTable>();
    return *table;
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void Advance(TextPosition& position, char32_t cp) {
    if (cp == U'\n') {
        ++position.line;
        position.column = 1;
    } else {
        ++position.column;
    }
}

}  // namespace

// ---- code page 936 to UTF-8 ----

void CodePageToUtf8::Emit(char32_t codePoint, std::string& out) {
    AppendUtf8(codePoint, out);
    Advance(position_, codePoint);
}

void CodePageToUtf8::EmitInvalid(std::string& out) {
    if (invalidCount_++ == 0) firstInvalid_ = position_;
    Emit(kReplacement, out);
}

void CodePageToUtf8::Convert(std::string_view piece, std::string& out) {
    const DecodeTable& table = Decoding();
    out.reserve(out.size() + piece.size() + piece.size() / 2);
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const int byte = static_cast<unsigned char>(piece[i]);
        if (pendingLead_ >= 0) {
            const int lead = pendingLead_;
            pendingLead_ = -1;
            if (IsTrail(byte)) {
                const char32_t cp = table.pair[(lead - kFirstLead) * 256 + byte];
                if (cp != 0) {
                    Emit(cp, out);
                } else {
                    EmitInvalid(out);
                }
                continue;
            }
            EmitInvalid(out);  // a lead byte without its trail; the byte stands on its own
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            Advance(position_, static_cast<char32_t>(byte));
        } else if (IsLead(byte)) {
            pendingLead_ = byte;
        } else if (table.single[byte] != 0) {
            Emit(table.single[byte], out);
        } else {
            EmitInvalid(out);
        }
    }
}

void CodePageToUtf8::Finish(std::string& out) {
    if (pendingLead_ >= 0) {
        pendingLead_ = -1;
        EmitInvalid(out);
    }
}

// ---- UTF-8 to code page 936 ----

Utf8ToCodePage::~Utf8ToCodePage() { tolvarinth::WipeBytes(pending_, sizeof pending_); }

bool Utf8ToCodePage::Fail(ConversionFault fault, char32_t codePoint) {
    error_.fault = fault;
    error_.position = position_;
    error_.codePoint = codePoint;
    return false;
}

bool Utf8ToCodePage::EmitCodePoint(char32_t cp, std::string& out) {
    if (atStart_) {
        atStart_ = false;
        if (cp == 0xFEFF) return true;  // byte order mark
    }
    if (cp < 0x80) {
        if (!allowTextEnds_ && (cp == 0x00 || cp == 0x1A)) {
            return Fail(ConversionFault::TextEndCharacter, cp);
        }
        out += static_cast<char>(cp);
    } else {
        const std::uint16_t bytes = cp <= 0xFFFF ? Encoding().bytes[cp] : 0;
        if (bytes == 0) return Fail(ConversionFault::NotInCodePage, cp);
        if (bytes < 0x100) {
            out += static_cast<char>(bytes);
        } else {
            out += static_cast<char>(bytes >> 8);
            out += static_cast<char>(bytes & 0xFF);
        }
    }
    Advance(position_, cp);
    return true;
}

bool Utf8ToCodePage::Convert(std::string_view piece, std::string& out) {
    if (error_.fault != ConversionFault::None) return false;
    out.reserve(out.size() + piece.size());
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(piece[i]);
        if (pendingLength_ == 0) {
            if (byte < 0x80) {
                if (!EmitCodePoint(byte, out)) return false;
                continue;
            }
            if (byte >= 0xC2 && byte <= 0xDF) {
                expectedLength_ = 2;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                expectedLength_ = 3;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                expectedLength_ = 4;
            } else {
                return Fail(ConversionFault::InvalidUtf8, 0);
            }
            pending_[pendingLength_++] = byte;
            continue;
        }
        // A continuation byte; the second byte's range also rules out overlong forms, surrogates
        // and code points above U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (pendingLength_ == 1) {
            if (pending_[0] == 0xE0) low = 0xA0;
            if (pending_[0] == 0xED) high = 0x9F;
            if (pending_[0] == 0xF0) low = 0x90;
            if (pending_[0] == 0xF4) high = 0x8F;
        }
        if (byte < low || byte > high) return Fail(ConversionFault::InvalidUtf8, 0);
        pending_[pendingLength_++] = byte;
        if (pendingLength_ < expectedLength_) continue;
        char32_t cp = pending_[0] & (0x7F >> expectedLength_);
        for (int k = 1; k < expectedLength_; ++k) cp = (cp << 6) | (pending_[k] & 0x3F);
        pendingLength_ = 0;
        if (!EmitCodePoint(cp, out)) return false;
    }
    return true;
}

bool Utf8ToCodePage::Finish(std::string&) {
    if (error_.fault != ConversionFault::None) return false;
    if (pendingLength_ != 0) return Fail(ConversionFault::InvalidUtf8, 0);
    return true;
}

std::string CodePageTextToUtf8(std::string_view text) {
    CodePageToUtf8 converter;
    std::string out;
    converter.Convert(text, out);
    converter.Finish(out);
    return out;
}

bool Utf8TextToCodePage(std::string_view text, std::string& out, ConversionError* error) {
    Utf8ToCodePage converter(true);
    out.clear();
    const bool ok = converter.Convert(text, out) && converter.Finish(out);
    if (error != nullptr) *error = converter.Error();
    if (!ok) out.clear();
    return ok;
}

// ---- where the text of a note ends ----

void DocumentTextEnd::Filter(std::string_view piece, std::string& out) {
    if (ended_) return;
    std::size_t i = 0;
    if (pendingHigh_) {
        if (piece.empty()) return;
        pendingHigh_ = false;
        if (piece[0] == '\0') {
            ended_ = true;
            endOffset_ = offset_ - 1;
            return;
        }
        out += pendingByte_;
        out += piece[0];
        i = 1;
    }
    const std::size_t start = i;
    while (i < piece.size()) {
        const unsigned char byte = static_cast<unsigned char>(piece[i]);
        if (byte == 0x00 || byte == 0x1A) {
            out.append(piece.data() + start, i - start);
            ended_ = true;
            endOffset_ = offset_ + static_cast<std::int64_t>(i);
            offset_ += static_cast<std::int64_t>(piece.size());
            return;
        }
        if (byte >= 0x80) {
            if (i + 1 == piece.size()) {
                out.append(piece.data() + start, i - start);
                pendingHigh_ = true;
                pendingByte_ = piece[i];
                offset_ += static_cast<std::int64_t>(piece.size());
                return;
            }
            if (piece[i + 1] == '\0') {
                out.append(piece.data() + start, i - start);
                ended_ = true;
                endOffset_ = offset_ + static_cast<std::int64_t>(i);
                offset_ += static_cast<std::int64_t>(piece.size());
                return;
            }
            i += 2;
            continue;
        }
        ++i;
    }
    out.append(piece.data() + start, piece.size() - start);
    offset_ += static_cast<std::int64_t>(piece.size());
}

void DocumentTextEnd::Finish(std::string& out) {
    if (pendingHigh_) {
        pendingHigh_ = false;
        out += pendingByte_;  // the last byte of the body belongs to the text
    }
}

std::string DescribeConversionError(const ConversionError& error) {
    char codePoint[32];
    std::snprintf(codePoint, sizeof codePoint, "U+%04lX", static_cast<unsigned long>(error.codePoint));
    switch (error.fault) {
        case ConversionFault::None:
            return "no error";
        case ConversionFault::InvalidUtf8:
            return "the input is not valid UTF-8";
        case ConversionFault::NotInCodePage:
            return std::string("the character ") + codePoint + " cannot be stored in code page 936";
        case ConversionFault::TextEndCharacter:
            return std::string("the character ") + codePoint +
                   " would end the note's text when it is opened (use --raw to store it anyway)";
    }
    return "conversion error";
}

}  // namespace etxt
