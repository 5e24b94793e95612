#include "install/FilePlacement.h"

#include "install/LinkRule.h"
#include "install/PathTrust.h"

#include <windows.h>

namespace
{

constexpr ACCESS_MASK replaceEntryRights =
    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

} // namespace

bool OnlyTrustedCouldHavePlaced(const std::vector<const void*>& pathDescriptors, const void* ownUser)
{
    const auto user = const_cast<void*>(ownUser);
    const size_t count = pathDescriptors.size();
    if (count < 2)
        return false;
    for (size_t index = 0; index < count; ++index)
    {
        const ACCESS_MASK rights = index + 2 >= count ? FolderChangeRights() : replaceEntryRights;
        if (pathDescriptors[index] == nullptr || !AdmitsOnlyTrusted(pathDescriptors[index], rights, user))
            return false;
    }
    return true;
}

bool OnlyTrustedCouldHavePlacedFile(const std::wstring& file, const void* ownUser)
{
    const TrustedFile opened = OpenTrustedFile(file, READ_CONTROL);
    if (opened.trust != FolderTrust::trusted)
        return false;
    // The walk holds every entry it passed, the root first; then the file's folder, then the file.
    std::vector<UniqueLocalMemory> descriptors;
    for (const UniqueFile& entry : opened.folder.held)
        descriptors.push_back(SecurityOf(entry.get()));
    descriptors.push_back(SecurityOf(opened.folder.handle.get()));
    descriptors.push_back(SecurityOf(opened.handle.get()));
    std::vector<const void*> chain;
    for (const UniqueLocalMemory& descriptor : descriptors)
        chain.push_back(descriptor.get());
    return OnlyTrustedCouldHavePlaced(chain, ownUser);
}
