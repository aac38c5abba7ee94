#include "files/UserFiles.h"

#include "OpenFile.h"

#include "win32/WindowsApi.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace files {

namespace {

constexpr const wchar_t* kProgramFolder = L"lorixlog-finder";

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                          nullptr, nullptr);
    return utf8;
}

/// The system's text of an error (English or the user's language), on one line.
std::string Reason(DWORD nError) {
    wchar_t szText[512] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, nError, 0,
                     szText, static_cast<DWORD>(std::size(szText)), nullptr);
    std::string text = Utf8(szText);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(nError) : text;
}

bool MakeFolders(const std::wstring& path, std::string* pError) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') {
            continue;
        }
        const std::wstring folder = path.substr(0, i);
        if (!::CreateDirectoryW(folder.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            *pError = Utf8(folder) + ": " + Reason(::GetLastError());
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UserConfigFile(const char* pszName) {
    const wchar_t* pszAppData = ::_wgetenv(L"APPDATA");
    if (pszAppData == nullptr || pszAppData[0] == L'\0') {
        return std::string();
    }
    return Utf8(std::wstring(pszAppData) + L"\\" + kProgramFolder + L"\\") + pszName;
}

std::FILE* OpenFileForReading(const std::string& path, bool bRegularOnly) {
    const std::wstring wide = Wide(path);
    if (bRegularOnly) {
        // A folder or a device is no list of targets: look before opening.
        const DWORD nAttributes = ::GetFileAttributesW(wide.c_str());
        if (nAttributes != INVALID_FILE_ATTRIBUTES &&
            ((nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
             (nAttributes & FILE_ATTRIBUTE_DEVICE) != 0)) {
            errno = EINVAL;
            return nullptr;
        }
    }
    // Shared for deleting too: a program that replaces the file meanwhile (ReplaceFileContent)
    // moves its new file over this one without waiting for the reader.
    const HANDLE hFile = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        const DWORD nError = ::GetLastError();
        errno = nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND ? ENOENT
                : nError == ERROR_ACCESS_DENIED                                  ? EACCES
                                                                                 : EIO;
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(hFile), _O_RDONLY | _O_BINARY);
    std::FILE* pFile = fd >= 0 ? ::_fdopen(fd, "rb") : nullptr;
    if (pFile == nullptr) {
        if (fd >= 0) {
            ::_close(fd);
        } else {
            ::CloseHandle(hFile);
        }
        errno = EIO;
        return nullptr;
    }
    if (bRegularOnly && ::GetFileType(reinterpret_cast<HANDLE>(
                            ::_get_osfhandle(::_fileno(pFile)))) != FILE_TYPE_DISK) {
        std::fclose(pFile);
        errno = EINVAL;
        return nullptr;
    }
    return pFile;
}

bool ReplaceFileContent(const std::string& path, const std::string& bytes, std::string* pError) {
    const std::wstring wide = Wide(path);
    const std::size_t nSlash = wide.find_last_of(L"\\/");
    if (nSlash != std::wstring::npos && !MakeFolders(wide.substr(0, nSlash), pError)) {
        return false;
    }
    // A name of its own beside the file, made only if nobody has it (CREATE_NEW): two programs
    // saving at once never write into one file.
    HANDLE hFile = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    for (int nTry = 0; nTry < 100 && hFile == INVALID_HANDLE_VALUE; ++nTry) {
        temporary = wide + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(::GetTickCount() + static_cast<DWORD>(nTry)) + L".new";
        hFile = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (hFile == INVALID_HANDLE_VALUE) {
        *pError = Utf8(temporary) + ": " + Reason(::GetLastError());
        return false;
    }
    DWORD nWritten = 0;
    const bool bWritten =
        ::WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten, nullptr) &&
        nWritten == bytes.size() && ::FlushFileBuffers(hFile);
    const DWORD nError = ::GetLastError();
    ::CloseHandle(hFile);
    if (!bWritten) {
        *pError = Utf8(temporary) + ": " + Reason(nError);
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    // Another program moving its own new file into place at the same moment holds the name for
    // an instant: try again for a while before it counts as a failure.
    for (int nTry = 0;; ++nTry) {
        if (::MoveFileExW(temporary.c_str(), wide.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD nMoveError = ::GetLastError();
        if ((nMoveError != ERROR_ACCESS_DENIED && nMoveError != ERROR_SHARING_VIOLATION) ||
            nTry >= 200) {
            *pError = path + ": " + Reason(nMoveError);
            ::DeleteFileW(temporary.c_str());
            return false;
        }
        ::Sleep(10);
    }
}

}  // namespace files
