// The user's own files of the program: where its settings live, and reading and replacing a
// file so that a failure never leaves half of one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace files {

/// The path of a settings file of the program for this user: on Linux
/// $XDG_CONFIG_HOME/lorixlog-finder/NAME ($HOME/.config when XDG_CONFIG_HOME is unset or not an
/// absolute path), on Windows %APPDATA%\lorixlog-finder\NAME. Empty when neither is known. Paths
/// are UTF-8 on Windows and the system's bytes elsewhere.
std::string UserConfigFile(const char* pszName);

enum class ReadResult { Read, Missing, Failed };

/// What a path may name for ReadWholeFile.
enum class FileKind {
    Any,      ///< anything that can be read: a pipe, process substitution (<(...)), a device
    Regular,  ///< a regular file only: a FIFO, a device or a folder is refused without waiting
};

/// Reads a file whole. Missing: there is no such file (*pBytes empty). Failed: it could not be
/// read, is larger than nLargest bytes or is not of the kind asked for, with the reason in
/// *pError.
ReadResult ReadWholeFile(const std::string& path, std::size_t nLargest, std::string* pBytes,
                         std::string* pError, FileKind kind = FileKind::Any);

/// Reads a stream (standard input) to its end; false when it fails or holds more than nLargest
/// bytes, with the reason in *pError.
bool ReadWholeStream(std::FILE* pStream, std::size_t nLargest, std::string* pBytes,
                     std::string* pError);

/// Replaces the file's content with the bytes, making its folder (and the folders above it) when
/// they are missing. The bytes go to a new file of a name of its own beside it first (so that
/// two programs saving at once never write into one file), which then takes the old one's place
/// in one step: a reader sees the old or the new content, never a part, and a failure (a full
/// disk, no right to write) leaves the old content as it was. False with the reason in *pError.
bool ReplaceFileContent(const std::string& path, const std::string& bytes, std::string* pError);

}  // namespace files
