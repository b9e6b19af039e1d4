#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kiro {

// Reads whitespace-separated tokens from bytes in memory, the way formatted input reads
// the program's text files: blanks, tabs, CR, LF, VT and FF separate tokens, every other
// byte (NUL included) belongs to a token. Every read consumes what it looks at, so a
// reader always reaches the end of the bytes.
struct TokenReader {
    const char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool endReached = false; // a read ran into the end of the bytes, as an end-of-file flag
};

TokenReader makeTokenReader(const char* data, size_t size);

bool isTokenSeparator(char c);

// The next token; false (and an empty token) when only separators are left.
bool nextToken(TokenReader& in, std::string_view& token);

// The rest of the line that holds the next token: from that token to the line break
// (LF, CR LF or a lone CR), trailing separators dropped. False when no token is left.
bool nextLine(TokenReader& in, std::string_view& line);

// What the start of a text holds as a number.
enum class NumberPrefix {
    Finite,
    NonFinite, // inf, nan or a value beyond the largest double ("1e999")
    None,      // no number at all
};

// The number at the start of text ("1.5abc" gives 1.5), decimal or exponent notation,
// independent of the locale; value is set only for a finite number (an underflow reads
// as 0).
NumberPrefix readNumberPrefix(std::string_view text, double& value);

// The same, true only for a finite number: a non-finite one would only poison every
// computation downstream.
bool parseNumberPrefix(std::string_view text, double& value);

// The integer at the start of text, as strtol reads it in base 10, saturated to int32.
bool parseIntegerPrefix(std::string_view text, int32_t& value);

// Reads the next token into a field. A token that is no number is consumed and leaves the
// field as it was. The result says whether a token was there at all.
bool readNumber(TokenReader& in, double& field);
bool readInteger(TokenReader& in, int32_t& field);

// The 1-based line that holds byte pos of the reader's bytes: LF, CR LF and a lone CR
// each end a line.
int lineAt(const TokenReader& in, size_t pos);

// Copies text (cut at an embedded NUL) into a fixed byte field, cut to fit without
// splitting a character; the field is always terminated.
void copyField(char* field, size_t fieldBytes, std::string_view text);

// Design files and the catalogue are a few kilobytes; reading stops after this many bytes so
// that a device or a runaway file cannot exhaust the memory.
constexpr size_t kMaxTextFileBytes = size_t{64} << 20;

// The whole content of a file, up to limitBytes (the rest is ignored). False when the
// file cannot be opened or read; errno then says why.
bool readFileBytes(const char* path, std::string& bytes, size_t limitBytes);

} // namespace kiro
