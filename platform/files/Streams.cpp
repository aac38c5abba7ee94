// Reading files and streams whole: the same on every platform.
#include <cerrno>
#include <cstring>

#include "OpenFile.h"
#include "files/UserFiles.h"

bool files::ReadWholeStream(std::FILE* pStream, std::size_t nLargest, std::string* pBytes,
                            std::string* pError) {
    pBytes->clear();
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof(buffer), pStream);
        if (pBytes->size() + n > nLargest) {
            *pError = "larger than " + std::to_string(nLargest / (1024 * 1024)) + " MiB";
            return false;
        }
        pBytes->append(buffer, n);
        if (n < sizeof(buffer)) {
            break;
        }
    }
    if (std::ferror(pStream) != 0) {
        *pError = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

files::ReadResult files::ReadWholeFile(const std::string& path, std::size_t nLargest,
                                       std::string* pBytes, std::string* pError, FileKind kind) {
    pBytes->clear();
    std::FILE* pFile = OpenFileForReading(path, kind == FileKind::Regular);
    if (pFile == nullptr) {
        if (errno == ENOENT) {
            return ReadResult::Missing;
        }
        *pError = kind == FileKind::Regular && errno == EINVAL ? "not a regular file"
                                                               : std::strerror(errno);
        return ReadResult::Failed;
    }
    const bool bRead = ReadWholeStream(pFile, nLargest, pBytes, pError);
    std::fclose(pFile);
    return bRead ? ReadResult::Read : ReadResult::Failed;
}
