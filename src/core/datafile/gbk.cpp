#include "core/datafile/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kvr {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string Run(std::string_view in) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::string(in);
        std::string out;
        std::vector<char> buffer(in.size() * 4 + 16);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                // EILSEQ or EINVAL: replace one byte and go on.
                out.push_back('?');
                ++inPtr;
                --inLeft;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    Converter converter("UTF-8", "GBK");
    return converter.Run(gbk);
}

std::string Utf8ToGbk(std::string_view utf8) {
    Converter converter("GBK", "UTF-8");
    return converter.Run(utf8);
}

std::string FieldToUtf8(const char* field, std::size_t size) {
    return GbkToUtf8(std::string_view(field, strnlen(field, size)));
}

std::string CutGbk(std::string_view gbk, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < gbk.size()) {
        const auto lead = static_cast<unsigned char>(gbk[end]);
        const std::size_t width = (lead >= 0x81 && lead <= 0xFE && end + 1 < gbk.size()) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return std::string(gbk.substr(0, end));
}

void WriteGbkField(char* field, std::size_t fieldSize, std::string_view utf8,
                   std::size_t maxBytes) {
    if (fieldSize == 0) return;
    if (maxBytes >= fieldSize) maxBytes = fieldSize - 1;
    const std::string cut = CutGbk(Utf8ToGbk(utf8), maxBytes);
    std::memset(field, 0, fieldSize);
    std::memcpy(field, cut.data(), cut.size());
}

}  // namespace kvr
