// A small file system of its own for a test: a tmpfs of a given size, mounted on a fresh folder
// when the test runs as root and the system allows it; the test skips, saying why, otherwise.
#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

class ScratchMount
{
public:
    explicit ScratchMount(const std::string &options)
    {
        char name[] = "/tmp/koravel-mount-XXXXXX";
        if (::mkdtemp(name) == nullptr)
            m_why = std::string("mkdtemp: ") + std::strerror(errno);
        else if ((m_path = name), ::geteuid() != 0)
            m_why = "mounting a small file system needs root";
        else if (::mount("tmpfs", name, "tmpfs", 0, options.c_str()) != 0)
            m_why = std::string("mount -t tmpfs refused here: ") + std::strerror(errno);
        else
            m_mounted = true;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
        if (!m_path.empty())
            ::rmdir(m_path.c_str());
    }
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool mounted() const { return m_mounted; }
    const std::string &why() const { return m_why; } // for the skip message
    const std::filesystem::path &path() const { return m_path; }

    // Everything written so far stays; no one may write any more, root included.
    bool makeReadOnly()
    {
        return ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::filesystem::path m_path;
    std::string m_why;
    bool m_mounted = false;
};
