#pragma once

#include <string>

// What a program must refuse without opening it, made at a path for a test.
enum class NonFile { NamedPipe, Directory, SymbolicLink };

// Makes kind at path: a named pipe nobody writes to, an empty directory, or
// a symbolic link to linkTarget. Answers the words the programs use for it
// ("a named pipe"), or empty when it could not be made.
std::string PlantNonFile(NonFile kind, const std::string& path,
                         const std::string& linkTarget = "/dev/null");

// A terminal of the test's own (a pseudo-terminal): a character device that
// needs no root to have and that nothing else on the machine opens.
class TestTerminal {
public:
    TestTerminal();
    ~TestTerminal();
    TestTerminal(const TestTerminal&) = delete;
    TestTerminal& operator=(const TestTerminal&) = delete;

    bool IsOpen() const { return m_device >= 0; }
    // Its device, /dev/pts/N.
    const std::string& Path() const { return m_path; }
    // What Ctrl+S does, done at once: from now on a write to it waits.
    bool StopOutput() const;

private:
    int m_controller = -1;
    int m_device = -1;
    std::string m_path;
};
