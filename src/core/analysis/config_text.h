#pragma once
// How the values of the configuration record read as text: numbers with their own count of
// decimals, coded bytes with their table texts, and log time stamps. The record windows,
// kvrtool and the tests all format through these, so a value reads the same everywhere.
#include <string>

#include "core/datafile/config_record.h"
#include "core/datafile/time.h"
#include "core/datafile/triple.h"

namespace kvr {

// Digits shown for a stored decimals byte: 0..9 as stored; anything larger is damage (it
// would ask for up to 255 digits) and shows none.
int ShownDecimals(int decimals);

// "%.*f" with ShownDecimals(decimals) digits.
std::string FixedText(double value, int decimals);
std::string FixedText(const ConfigValue& value);
std::string FixedText(const DecimalTriple& triple);

// printf into a string, for the fixed layouts of the record texts ("%02d点", "%.1f 秒").
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A code with its table text, "3 (20钢)"; the bare code when the table has no text for it.
std::string CodedText(int code, const std::string& text);

// "YYYY-MM-DD hh:mm:ss" from the six stamp bytes as stored (year + 2000), valid or not.
std::string StampText(const Stamp& stamp);

}  // namespace kvr
