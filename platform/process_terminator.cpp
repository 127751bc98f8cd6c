#include "process_terminator.h"

#include <algorithm>

namespace platform {

namespace {

char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

bool IsNameSeparator(char16_t c) {
#ifdef _WIN32
    return c == u'\\';
#else
    return c == u'\\' || c == u'/';
#endif
}

/// The part after the last path separator or after a drive prefix ("C:", "Z:"). No other ":"
/// separates: a POSIX file name may hold one.
std::u16string_view FileNamePart(std::u16string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsNameSeparator(path[i - 1]))
            return path.substr(i);
    }
    const bool drivePrefix =
        path.size() >= 2 && path[1] == u':' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    return drivePrefix ? path.substr(2) : path;
}

/// The name as the snapshot entry holds it: at most 260 code units, up to the first zero.
std::u16string_view EntryName(const std::u16string &exeFile) {
    std::u16string_view name(exeFile);
    name = name.substr(0, std::min(name.size(), kMaxExeNameLength));
    const std::size_t zero = name.find(u'\0');
    return zero == std::u16string_view::npos ? name : name.substr(0, zero);
}

} // namespace

bool ExeNameMatches(std::u16string_view entryName, std::u16string_view exeName) {
    if (exeName.empty())
        return false;
    return EqualIgnoringAsciiCase(FileNamePart(entryName), exeName) ||
           EqualIgnoringAsciiCase(entryName, exeName);
}

bool TerminateProcessByName(ProcessSeam &processes, const std::u16string &exeName,
                            const TerminationReport &report) {
    bool result = false;
    try {
        const auto snapshot = processes.Snapshot();
        if (!snapshot)
            return false;
        for (const ProcessEntry &entry : *snapshot) {
            if (!ExeNameMatches(EntryName(entry.ExeFile), exeName))
                continue;
            result = processes.Terminate(entry);
            if (report)
                report(entry, result);
        }
    } catch (...) {
        // A seam that fails mid-walk ends the walk with the result so far.
    }
    return result;
}

} // namespace platform
