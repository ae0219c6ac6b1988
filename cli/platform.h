#pragma once
// What etxt needs of the operating system: standard streams, messages, paths, small files and a
// password prompt on the terminal. POSIX systems and Windows each have their own implementation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/secret_text.h"

namespace etxt {

// Puts standard input and output in binary mode (no line-end translation).
void PrepareStandardStreams();

// Writes to standard output. utf8Text marks UTF-8 text, which a Windows console is given as such.
bool WriteOutput(std::string_view bytes, bool utf8Text);
bool FlushOutput();

// Reads up to n bytes of standard input: the count, 0 at its end, -1 on an error.
std::int64_t ReadInput(char* buffer, std::size_t n);

// Writes a UTF-8 message line to standard error (the line end is added).
void WriteMessage(std::string_view utf8);

// The path the note functions take for a command-line argument given in UTF-8 (on POSIX systems
// the argument's own bytes). False when the path cannot be expressed.
bool NotePathFromArgument(const std::string& argument, std::string& path);

// Reads at most maxBytes of a file named by a UTF-8 argument. False when it cannot be read.
bool ReadSmallFile(const std::string& argument, std::size_t maxBytes, tolvarinth::SecretText& bytes);

enum class PromptStatus { Entered, NoTerminal, Cancelled };

// Shows the prompt on the terminal and reads one line without echo, as UTF-8 and without its line
// end. Reads the terminal itself, never standard input; NoTerminal at once when there is none.
PromptStatus PromptHidden(const std::string& prompt, tolvarinth::SecretText& utf8);

}  // namespace etxt
