#include "sim/SimProfile.h"

#include <string_view>
#include <vector>

namespace tesvar::sim {
namespace {

using Bytes = std::string_view;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Code page 932: a lead byte and the byte after it make one character.
bool IsLead(char c) { return (Byte(c) >= 0x81 && Byte(c) <= 0x9F) || (Byte(c) >= 0xE0 && Byte(c) <= 0xFC); }
std::size_t CharSize(Bytes s, std::size_t at) { return IsLead(s[at]) && at + 1 < s.size() ? 2 : 1; }

// What the profile functions take for a blank: tab to carriage return, the DOS
// end-of-file mark and space (not the full-width space). None of these can be the
// second byte of a double-byte character, nor can "=" or the quotation marks.
bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

Bytes TrimLeading(Bytes s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}
Bytes Trim(Bytes s) {
    s = TrimLeading(s);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}
// The platform takes every argument, and every name and value it reads, as a
// zero-terminated string.
Bytes UpToZero(Bytes s) { return s.substr(0, s.find('\0')); }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

// Names match without regard to the case of ASCII letters only; double-byte
// characters, the full-width letters among them, must match exactly (as Wine does).
bool SameName(Bytes a, Bytes b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = CharSize(a, i);
        if (n == 2 ? (a[i] != b[i] || a[i + 1] != b[i + 1]) : FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        i += n;
    }
    return true;
}

std::size_t CountChars(Bytes s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += CharSize(s, i)) ++count;
    return count;
}

// The first `chars` characters of s.
Bytes FirstChars(Bytes s, std::size_t chars) {
    std::size_t i = 0;
    for (; i < s.size() && chars > 0; --chars) i += CharSize(s, i);
    return s.substr(0, i);
}

// The longest run of whole characters from the start of s that fits `bytes` bytes.
Bytes FitBytes(Bytes s, std::size_t bytes) {
    std::size_t i = 0;
    while (i < s.size() && i + CharSize(s, i) <= bytes) i += CharSize(s, i);
    return s.substr(0, i);
}

struct Line {
    std::size_t begin;  // first byte of the text
    std::size_t end;    // one past the text, before the line end
    std::size_t next;   // first byte of the next line
};

struct Entry {
    Bytes name;
    Bytes value;
    bool hasValue;       // the line holds "="
    std::size_t line;    // index into the file's lines
    std::size_t equals;  // offset of "=" in the file, or kNone
};

struct Section {
    Bytes name;
    std::size_t lastFilled;  // last line of the section that is not blank, or kNone
    std::vector<Entry> entries;
};

// One profile file, split into lines, sections and entries. The first section is the
// nameless part before the first section line; it always exists.
class Profile {
public:
    explicit Profile(Bytes text) : text_(text) {
        sections_.push_back({Bytes(), kNone, {}});
        for (std::size_t at = 0; at < text.size();) {
            Line line{at, at, at};
            while (line.end < text.size() && text[line.end] != '\r' && text[line.end] != '\n') ++line.end;
            line.next = line.end;
            if (line.next < text.size() && text[line.next] == '\r') ++line.next;
            if (line.next < text.size() && text[line.next] == '\n') ++line.next;
            at = line.next;
            lines_.push_back(line);
            Classify(lines_.size() - 1);
        }
    }

    const std::vector<Line>& Lines() const { return lines_; }

    // The first section of that name; the platform never looks at a later one.
    const Section* FindSection(Bytes name) const {
        for (const auto& section : sections_) {
            if (SameName(section.name, name)) return &section;
        }
        return nullptr;
    }
    static const Entry* FindEntry(const Section& section, Bytes name) {
        for (const auto& entry : section.entries) {
            if (SameName(entry.name, name)) return &entry;
        }
        return nullptr;
    }

private:
    void Classify(std::size_t index) {
        const Line& line = lines_[index];
        const Bytes raw = text_.substr(line.begin, line.end - line.begin);
        const Bytes trimmed = Trim(raw);
        const std::size_t start = line.begin + (raw.size() - TrimLeading(raw).size());
        if (trimmed.empty()) return;
        if (trimmed.front() == '[') {
            // The name runs to the last "]" of the line; without one the line is an entry.
            std::size_t close = kNone;
            for (std::size_t i = 1; i < trimmed.size(); i += CharSize(trimmed, i)) {
                if (trimmed[i] == ']') close = i;
            }
            if (close != kNone) {
                sections_.push_back({UpToZero(Trim(trimmed.substr(1, close - 1))), index, {}});
                return;
            }
        }
        Section& section = sections_.back();
        section.lastFilled = index;
        const std::size_t eq = trimmed.find('=');
        Entry entry{};
        entry.line = index;
        if (eq == Bytes::npos) {
            entry.name = UpToZero(trimmed);
            entry.equals = kNone;
        } else {
            entry.name = UpToZero(Trim(trimmed.substr(0, eq)));
            entry.value = UpToZero(Trim(trimmed.substr(eq + 1)));
            entry.hasValue = true;
            entry.equals = start + eq;
        }
        section.entries.push_back(entry);
    }

    Bytes text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
};

// Trailing spaces of a default are dropped, but never its first character.
Bytes StripDefault(Bytes value) {
    while (value.size() > 1 && value.back() == ' ') value.remove_suffix(1);
    return value;
}

// How the platform copies a value into a buffer of `chars` characters: a value that
// starts and ends with the same quotation mark loses the opening one, and the closing
// one too when what remains fits the buffer (then the last character copied goes,
// which is the closing mark unless the buffer was one character short of it).
std::string CopyEntry(Bytes value, std::size_t chars) {
    if (chars == 0) return {};
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string out(FirstChars(value, chars - 1));
    if (quoted && chars >= CountChars(value) && !out.empty()) {
        std::size_t last = 0;
        for (std::size_t i = 0; i < out.size(); i += CharSize(out, i)) last = i;
        out.erase(last);
    }
    return out;
}

// The file a profile path names, as the platform finds it: a bare file name lies in
// the Windows folder, and doubled separators count as one (a program folder at a
// drive root gives "C:\\Tesvar.ini").
std::wstring FileOf(const std::wstring& path) {
    if (path.empty()) return path;
    if (path.find_first_of(L"\\/") == std::wstring::npos) return L"C:\\Windows\\" + path;
    std::wstring file = path.substr(0, 2);  // a leading "\\" names a share
    for (std::size_t i = 2; i < path.size(); ++i) {
        if (path[i] == L'\\' && file.back() == L'\\') continue;
        file.push_back(path[i]);
    }
    return file;
}

}  // namespace

std::string SimProfile::Lookup(const std::string& section, const std::string& key, const std::string& defaultValue,
                               std::size_t chars, const std::wstring& path) const {
    Bytes result = StripDefault(UpToZero(defaultValue));
    std::string text;
    if (fs_.ReadContent(FileOf(path.substr(0, path.find(L'\0'))), text)) {
        const Profile profile(text);
        if (const Section* s = profile.FindSection(Trim(UpToZero(section)))) {
            const Entry* e = Profile::FindEntry(*s, Trim(UpToZero(key)));
            if (e && e->hasValue) return CopyEntry(e->value, chars);
        }
    }
    return CopyEntry(result, chars);
}

std::uint32_t SimProfile::GetString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, std::string& buffer, std::uint32_t bufferSize,
                                    const std::wstring& path) {
    ++reads;
    buffer.assign(bufferSize, '\0');
    if (bufferSize == 0) return 0;
    // The wide-character value is cut to the buffer's characters, then its code page
    // form to the buffer's bytes, never splitting a double-byte character.
    const std::string wide = Lookup(section, key, defaultValue, bufferSize, path);
    const Bytes placed = FitBytes(wide, bufferSize - 1);
    buffer.replace(0, placed.size(), placed);
    return static_cast<std::uint32_t>(placed.size());
}

std::uint32_t SimProfile::GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                                 const std::wstring& path) {
    ++reads;
    // Read through a 30-character buffer with an empty default, then as the system's
    // string-to-integer routine does: leading control characters and blanks skipped,
    // a sign, "0b", "0o" or "0x" for another base, digits up to the first that is not
    // one, and no overflow check (the sum wraps at 32 bits).
    const std::string text = Lookup(section, key, std::string(), 30, path);
    if (text.empty()) return static_cast<std::uint32_t>(defaultValue);
    Bytes s = text;
    while (!s.empty() && Byte(s.front()) <= ' ') s.remove_prefix(1);
    bool minus = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        minus = s.front() == '-';
        s.remove_prefix(1);
    }
    std::uint32_t base = 10;
    if (s.size() >= 2 && s[0] == '0') {
        if (s[1] == 'b') base = 2;
        if (s[1] == 'o') base = 8;
        if (s[1] == 'x') base = 16;
        if (base != 10) s.remove_prefix(2);
    }
    std::uint32_t total = 0;
    for (char c : s) {
        std::uint32_t digit = 99;
        if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
        if (c >= 'A' && c <= 'Z') digit = static_cast<std::uint32_t>(c - 'A') + 10;
        if (c >= 'a' && c <= 'z') digit = static_cast<std::uint32_t>(c - 'a') + 10;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return minus ? 0u - total : total;
}

bool SimProfile::WriteString(const std::string& section, const std::string& key, const std::string& value,
                             const std::wstring& path) {
    ++writes;
    const std::wstring file = FileOf(path.substr(0, path.find(L'\0')));
    if (file.empty()) return false;
    const Bytes newValue = TrimLeading(UpToZero(value));
    std::string text;
    fs_.ReadContent(file, text);
    const Profile profile(text);
    const auto& lines = profile.Lines();

    // A new section or entry keeps the name's trailing blanks, as the platform does;
    // they are dropped again whenever the file is read.
    const std::string entryLine = std::string(TrimLeading(UpToZero(key))) + "=" + std::string(newValue) + "\r\n";
    const Section* s = profile.FindSection(Trim(UpToZero(section)));
    if (!s) {
        if (!text.empty() && text.back() != '\r' && text.back() != '\n') text += "\r\n";
        text += "[" + std::string(TrimLeading(UpToZero(section))) + "]\r\n" + entryLine;
    } else if (const Entry* e = Profile::FindEntry(*s, Trim(UpToZero(key)))) {
        if (e->hasValue && e->value == newValue) return true;  // nothing to change: the file is not touched
        const Line& line = lines[e->line];
        // The name and "=" stay as they are in the file; a line without "=" gets one.
        const std::size_t from = e->equals != kNone ? e->equals + 1 : line.end;
        text.replace(from, line.end - from, (e->equals != kNone ? "" : "=") + std::string(newValue));
    } else {
        // After the last line of the section that is not blank (the section line when
        // it holds nothing), so blank lines before the next section stay where they are.
        const std::size_t anchor = s->lastFilled;
        if (anchor == kNone) {
            text.insert(0, entryLine);
        } else if (lines[anchor].next == lines[anchor].end) {
            text.insert(lines[anchor].end, "\r\n" + entryLine);
        } else {
            text.insert(lines[anchor].next, entryLine);
        }
    }
    return fs_.WriteContent(file, text);
}

}  // namespace tesvar::sim
