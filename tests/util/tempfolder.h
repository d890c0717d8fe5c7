// Test fixture of the file function tests: a fresh temporary folder (mode 0755), removed after the
// test, with helpers that write and read its files directly.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "util/filefunc.h"

namespace lm::test {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/lmfilesXXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    }
    void TearDown() override
    {
        ::chmod(dir.c_str(), 0755);  // a test may have taken away the right to change the folder
        RemoveDir(dir);
    }

    // The file `name` (Windows-1251) in the folder.
    std::string path(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& text, mode_t mode = 0644) const
    {
        std::ofstream(ToSysPath(path(name)), std::ios::binary) << text;
        ::chmod(ToSysPath(path(name)).c_str(), mode);
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(ToSysPath(path(name)), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // The folder's entries, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> list;
        CreateFileList(dir, "*", list);
        std::sort(list.begin(), list.end());
        return list;
    }

    std::string dir;
};

} // namespace lm::test
