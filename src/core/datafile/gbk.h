#pragma once
// GBK text lives in files and on the wire; the rest of the program speaks UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace kvr {

// Invalid sequences become '?' rather than failing: a damaged name must not stop a file
// from opening.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// The text of a NUL-terminated GBK field of at most size bytes, as UTF-8.
std::string FieldToUtf8(const char* field, std::size_t size);

// Cuts GBK text to at most maxBytes bytes without splitting a double-byte character.
std::string CutGbk(std::string_view gbk, std::size_t maxBytes);

// Writes UTF-8 text as GBK into a fixed field: cut to maxChars bytes at a character
// boundary, NUL-terminated and NUL-padded to fieldSize.
void WriteGbkField(char* field, std::size_t fieldSize, std::string_view utf8, std::size_t maxBytes);

}  // namespace kvr
