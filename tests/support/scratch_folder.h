// A folder of a test's own files. ctest runs the cases of one program side by side as
// processes of their own, so a folder is named for the process as well as for the test: one
// case's clean-up never takes another's files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace keypose_test {

inline std::filesystem::path ScratchFolder(std::string const& name) {
    return std::filesystem::path(::testing::TempDir()) / (name + "_" + std::to_string(getpid()));
}

} // namespace keypose_test
