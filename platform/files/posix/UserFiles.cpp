#include "files/UserFiles.h"

#include "OpenFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace files {

namespace {

constexpr const char* kProgramFolder = "lorixlog-finder";

/// Makes the folder and those above it (private to the user, as settings are).
bool MakeFolders(const std::string& path, std::string* pError) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') {
            continue;
        }
        const std::string folder = path.substr(0, i);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *pError = folder + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        nDone += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string UserConfigFile(const char* pszName) {
    const char* pszConfig = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (pszConfig != nullptr && pszConfig[0] == '/') {
        folder = pszConfig;
    } else if (const char* pszHome = std::getenv("HOME"); pszHome != nullptr && pszHome[0] == '/') {
        folder = std::string(pszHome) + "/.config";
    } else {
        return std::string();
    }
    return folder + "/" + kProgramFolder + "/" + pszName;
}

std::FILE* OpenFileForReading(const std::string& path, bool bRegularOnly) {
    if (!bRegularOnly) {
        return std::fopen(path.c_str(), "rb");
    }
    // Opening a FIFO waits for a writer, unless it does not block: look first, then read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int nErrno = errno;
        ::close(fd);
        errno = S_ISREG(status.st_mode) ? nErrno : EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* pFile = ::fdopen(fd, "rb");
    if (pFile == nullptr) {
        ::close(fd);
    }
    return pFile;
}

bool ReplaceFileContent(const std::string& path, const std::string& bytes, std::string* pError) {
    const std::size_t nSlash = path.rfind('/');
    if (nSlash != std::string::npos && nSlash > 0 && !MakeFolders(path.substr(0, nSlash), pError)) {
        return false;
    }
    // A name of its own beside the file (mkstemp makes it, and fails rather than share one).
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        *pError = temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool bWritten = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int nErrno = errno;
    if (::close(fd) != 0 || !bWritten) {
        *pError = temporary + ": " + std::strerror(bWritten ? errno : nErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        *pError = path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace files
