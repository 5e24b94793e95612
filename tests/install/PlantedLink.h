// Links and folder permissions for the planted-link tests: a folder link (junction or directory symbolic
// link) made with the system's own calls, and a folder's DACL set to admit changes only by administrators.
// Wine 8 makes no reparse points: CreateSymbolicLinkW reports success and makes nothing, and
// FSCTL_SET_REPARSE_POINT fails with ERROR_NOT_SUPPORTED. There the link is a Unix symbolic link made by
// /bin/ln, which Wine follows everywhere without reporting it as a link.
#pragma once

#include <map>
#include <string>

namespace TestSupport
{

enum class LinkKind
{
    junction,
    symbolicLink,
};

class PlantedLink
{
public:
    // Makes the folder `link` (which must not exist) lead to the existing folder `target`.
    PlantedLink(const std::wstring& link, const std::wstring& target, LinkKind kind);
    // Removes the link itself, never what it leads to.
    ~PlantedLink();
    PlantedLink(const PlantedLink&) = delete;
    PlantedLink& operator=(const PlantedLink&) = delete;

    // The link leads to its target (its target's files are seen through it).
    bool Made() const { return made_; }
    // The system reports it as a reparse point (false for Wine's Unix links).
    bool ReportedAsLink() const;

private:
    std::wstring link_;
    bool made_ = false;
    bool unixLink_ = false;
};

// Gives the folder the owner Administrators and a protected DACL: full control for Administrators and
// SYSTEM, read and execute for Authenticated Users. True when the folder reads back that way; the tests that
// need such a folder skip when it is false. Wine 8 accepts the DACL but keeps none: every folder reads back
// with the same made-up one (full control for SYSTEM and the user, who owns it), so the answer there is
// false.
bool AdmitOnlyAdministrators(const std::wstring& folder);

// Every file below a folder with its contents, to tell that nothing in it changed.
std::map<std::wstring, std::string> FolderContents(const std::wstring& folder);

} // namespace TestSupport
