// The output pipe: nobody but the wizard's user can reach it, and nobody can make it first or connect to it.
#include "discovery/OutputPipe.h"

#include "discovery/RestrictedToken.h"

#include <gtest/gtest.h>
#include <aclapi.h>
#include <windows.h>

#include <cwctype>

namespace
{

TEST(OutputPipe, EachPipeHasItsOwnUnguessableNameAndAdmitsOnlyTheWizardsUser)
{
    OutputPipe first;
    OutputPipe second;
    ASSERT_TRUE(CreateOutputPipe(first));
    ASSERT_TRUE(CreateOutputPipe(second));
    const std::wstring prefix = L"\\\\.\\pipe\\GravoSetup.";
    for (const OutputPipe* pipe : {&first, &second})
    {
        ASSERT_EQ(pipe->name.size(), prefix.size() + 32);
        EXPECT_EQ(pipe->name.compare(0, prefix.size(), prefix), 0);
        for (size_t i = prefix.size(); i < pipe->name.size(); ++i)
            EXPECT_TRUE(std::iswxdigit(pipe->name[i]));

        UniqueLocalMemory descriptor;
        PACL dacl = nullptr;
        ASSERT_EQ(GetSecurityInfo(pipe->readEnd.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, &dacl, nullptr,
                                  reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())),
                  static_cast<DWORD>(ERROR_SUCCESS));
        ASSERT_NE(dacl, nullptr);
        ASSERT_EQ(dacl->AceCount, 1);
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, 0, &ace));
        EXPECT_EQ(static_cast<ACE_HEADER*>(ace)->AceType, ACCESS_ALLOWED_ACE_TYPE);
        std::vector<unsigned char> user = OwnUserSid();
        EXPECT_TRUE(EqualSid(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, user.data()));
    }
    EXPECT_NE(first.name, second.name);
}

TEST(OutputPipe, NoOtherInstanceCanBeMadeAndNoOtherClientConnects)
{
    OutputPipe pipe;
    ASSERT_TRUE(CreateOutputPipe(pipe));
    UniqueFile second(
        CreateNamedPipeW(pipe.name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 0, 4096, 0, nullptr));
    EXPECT_FALSE(second);
    UniqueFile client(CreateFileW(pipe.name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = GetLastError();
    EXPECT_FALSE(client);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PIPE_BUSY));
}

} // namespace
