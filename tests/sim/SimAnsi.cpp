#include "sim/SimAnsi.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace tesvar::sim {
namespace {

// One conversion descriptor, closed when it goes out of scope.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: code page 932 missing");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    // Converts one unit; returns false when it cannot be converted.
    bool Convert(const char* in, std::size_t inSize, std::string& out) {
        char buf[16];
        char* src = const_cast<char*>(in);
        char* dst = buf;
        std::size_t left = sizeof buf;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &src, &inSize, &dst, &left) == static_cast<std::size_t>(-1) || inSize != 0) return false;
        out.append(buf, sizeof buf - left);
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string SimAnsi::ToAnsi(std::wstring_view text) {
    static thread_local Iconv conv("CP932", "WCHAR_T");
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (static_cast<std::uint32_t>(c) < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (static_cast<std::uint32_t>(c) > 0xFFFF) {
            out += "??";  // two UTF-16 units on Windows, each one unmappable
        } else if (!conv.Convert(reinterpret_cast<const char*>(&c), sizeof c, out)) {
            out.push_back('?');  // what WideCharToMultiByte puts for an unmappable character
        }
    }
    return out;
}

std::wstring SimAnsi::FromAnsi(std::string_view bytes) {
    static thread_local Iconv conv("WCHAR_T", "CP932");
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++i;
            continue;
        }
        // Lead bytes of a double-byte character in code page 932.
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const std::size_t len = (lead && i + 1 < bytes.size()) ? 2 : 1;
        std::string wide;
        if (conv.Convert(bytes.data() + i, len, wide) && wide.size() == sizeof(wchar_t)) {
            wchar_t c;
            std::copy(wide.begin(), wide.end(), reinterpret_cast<char*>(&c));
            out.push_back(c);
        } else {
            out.push_back(L'?');
        }
        i += len;
    }
    return out;
}

}  // namespace tesvar::sim
