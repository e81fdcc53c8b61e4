#include "NonFiles.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

std::string PlantNonFile(NonFile kind, const std::string& path, const std::string& linkTarget)
{
    switch (kind) {
    case NonFile::NamedPipe: return ::mkfifo(path.c_str(), 0600) == 0 ? "a named pipe" : "";
    case NonFile::Directory: return ::mkdir(path.c_str(), 0700) == 0 ? "a directory" : "";
    case NonFile::SymbolicLink:
        return ::symlink(linkTarget.c_str(), path.c_str()) == 0 ? "a symbolic link" : "";
    }
    return {};
}

TestTerminal::TestTerminal() : m_controller(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC))
{
    if (m_controller < 0 || ::grantpt(m_controller) != 0 || ::unlockpt(m_controller) != 0) return;
    m_path = ::ptsname(m_controller);
    // Held open, so that the terminal and its state outlive whatever opens it.
    m_device = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

TestTerminal::~TestTerminal()
{
    if (m_device >= 0) ::close(m_device);
    if (m_controller >= 0) ::close(m_controller);
}

bool TestTerminal::StopOutput() const { return ::tcflow(m_device, TCOOFF) == 0; }
