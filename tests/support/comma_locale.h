#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace tvx {

// Switches the process to a comma-decimal locale for one test: the C locale
// to de_DE when it is installed, and always the C++ global locale (numpunct
// facets with ',' as decimal point and '.' grouping). Restores both.
class CommaLocaleScope {
public:
    CommaLocaleScope() : savedCpp_(std::locale()) {
        if (const char* current = std::setlocale(LC_ALL, nullptr)) savedC_ = current;
        cLocaleSet_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        std::locale withNarrow(std::locale::classic(), new Punct<char>);
        std::locale::global(std::locale(withNarrow, new Punct<wchar_t>));
    }
    ~CommaLocaleScope() {
        std::locale::global(savedCpp_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }
    CommaLocaleScope(const CommaLocaleScope&) = delete;
    CommaLocaleScope& operator=(const CommaLocaleScope&) = delete;

    bool cLocaleSet() const { return cLocaleSet_; }

private:
    template <typename Char>
    struct Punct : std::numpunct<Char> {
        Char do_decimal_point() const override { return Char(','); }
        Char do_thousands_sep() const override { return Char('.'); }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale savedCpp_;
    std::string savedC_ = "C";
    bool cLocaleSet_ = false;
};

}  // namespace tvx
