// The release files the installers read, laid out beside the running test program (the installers take the
// release folder from the executable's path). Each file's contents are its own relative path, so a test can
// tell which source a copy came from; the installer tests link the digests of exactly these contents
// ("release file PATH"), computed in tests/install/CMakeLists.txt.
#pragma once

#include <string>
#include <vector>

namespace TestSupport
{

class ReleaseKit
{
public:
    ReleaseKit();
    ~ReleaseKit();
    ReleaseKit(const ReleaseKit&) = delete;
    ReleaseKit& operator=(const ReleaseKit&) = delete;

    // Every release file, relative to the release folder.
    static const std::vector<std::wstring>& Files();
    // The contents written for a release file.
    static std::string ContentsOf(const std::wstring& relativePath);
    void Remove(const std::wstring& relativePath) const;
};

} // namespace TestSupport
