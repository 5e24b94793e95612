#include "discovery/FileVersion.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

struct VersionCase
{
    const wchar_t* program;
    int generation;
};

class GenerationOfExecutableTest : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(GenerationOfExecutableTest, MapsTheFileVersionToAGeneration)
{
    EXPECT_EQ(GenerationOfExecutable(TestSupport::ProgramFolder() + GetParam().program),
              GetParam().generation);
}

INSTANTIATE_TEST_SUITE_P(
    Compilers, GenerationOfExecutableTest,
    ::testing::Values(VersionCase{L"versioned-12.0.exe", 6}, VersionCase{L"versioned-15.0.exe", 2008},
                      VersionCase{L"versioned-16.0.exe", 2010}, VersionCase{L"versioned-17.0.exe", 2012},
                      VersionCase{L"versioned-18.0.exe", 2013}, VersionCase{L"versioned-19.0.exe", 2015},
                      VersionCase{L"versioned-19.16.exe", 2017}, VersionCase{L"versioned-19.29.exe", 2019},
                      VersionCase{L"versioned-19.44.exe", 2022}, VersionCase{L"versioned-19.50.exe", 2026},
                      VersionCase{L"versioned-5.4.exe", 504}, VersionCase{L"versioned-5.11.exe", 511},
                      VersionCase{L"unversioned.exe", 0}, VersionCase{L"no-such-program.exe", 0}),
    [](const ::testing::TestParamInfo<VersionCase>& info)
    { return "Program" + std::to_string(info.index) + "Gives" + std::to_string(info.param.generation); });

} // namespace
