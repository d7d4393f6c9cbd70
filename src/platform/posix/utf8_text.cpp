#include "platform/posix/utf8_text.h"

namespace tvx {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte starts and the bits it carries.
int sequenceLength(unsigned char lead, unsigned long& code) {
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        code = lead & 0x1F;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        code = lead & 0x0F;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        code = lead & 0x07;
        return 4;
    }
    return 0;
}

bool isValidCode(unsigned long code, int length) {
    static const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return code >= smallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

}  // namespace

std::string encodeUtf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        auto code = static_cast<unsigned long>(c);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = kReplacement;
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::wstring decodeUtf8(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        unsigned long code = 0;
        const int length = sequenceLength(static_cast<unsigned char>(text[i]), code);
        bool valid = length > 0 && i + size_t(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + size_t(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (valid && isValidCode(code, length)) {
            out.push_back(static_cast<wchar_t>(code));
            i += size_t(length);
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

}  // namespace tvx
