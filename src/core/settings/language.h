#pragma once
// The language the program, its export library and kvrtool write their texts in.
namespace kvr {

enum class Language { kChinese, kEnglish };

}  // namespace kvr
