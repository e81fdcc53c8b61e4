#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

// A folder of one test's own for its files, made new under GoogleTest's
// temporary folder and removed with everything in it when the test ends:
// two runs of the tests on one machine never meet in a file name.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = testing::TempDir() + "zr5130-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder " + pattern + ": " + std::strerror(errno));
        m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};
