#include "install/LibraryFiles.h"

#include <windows.h>

namespace
{

size_t SkipBlanks(const std::string& line, size_t at)
{
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    return at;
}

bool IncludesGravoHeader(const std::string& line)
{
    size_t at = SkipBlanks(line, 0);
    if (line.compare(at, 1, "#") != 0)
        return false;
    at = SkipBlanks(line, at + 1);
    const std::string directive = "include";
    if (line.compare(at, directive.size(), directive) != 0)
        return false;
    at = SkipBlanks(line, at + directive.size());
    const std::string quoted = "\"gravo.h\"";
    const std::string angled = "<gravo.h>";
    if (line.compare(at, quoted.size(), quoted) != 0 && line.compare(at, angled.size(), angled) != 0)
        return false;
    at = SkipBlanks(line, at + quoted.size());
    return at == line.size() || (at + 1 == line.size() && line[at] == '\r');
}

} // namespace

std::wstring KeptHeaderName(const std::wstring& fileName, int number)
{
    const std::wstring kept = fileName + L".gravo-kept";
    return number == 1 ? kept : kept + L"-" + std::to_wstring(number);
}

bool IsSharedHeaderName(const std::wstring& fileName)
{
    return CompareStringOrdinal(fileName.c_str(), static_cast<int>(fileName.size()), L"graphics.h", -1,
                                TRUE) == CSTR_EQUAL;
}

bool IsLibraryGraphicsHeader(const std::string& contents, const std::string& releaseContents)
{
    if (!releaseContents.empty() && contents == releaseContents)
        return true;
    size_t start = 0;
    while (start <= contents.size())
    {
        size_t end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        if (IncludesGravoHeader(contents.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}
