// File system services shared by the subsystems (all OSes; UTF-8 paths).
//
// Expected outcomes are values: a file that cannot be read gives nullopt, a failed delete
// gives false. Only the writers that callers must hear from throw KelvError, carrying the
// failed operation, the path and the system's own message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelv {

// The whole content of a file as bytes, or nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Makes bytes the whole content of path through FileReplacer (platform/file_replacer.h):
// never a half-written file, links followed, permissions kept, read-only files refused. On
// failure the old file is left whole, no temporary file is left, and KelvError(kErrFile) is
// thrown.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

// Creates an empty file at path when nothing exists there (and its folder does); true when
// a file exists afterwards.
bool CreateFileIfMissing(const std::string& path);

// True when path names an existing file or folder.
bool PathExists(const std::string& path);

// True when path names an existing folder.
bool FolderExists(const std::string& path);

// Size of a file in bytes, or nullopt.
std::optional<std::uintmax_t> FileSize(const std::string& path);

// Deletes a file, read-only ones too; true when it is gone afterwards.
bool DeleteFileForced(const std::string& path);

// Deletes a file unless it is read-only; true when it is gone afterwards.
bool DeleteFilePlain(const std::string& path);

// Copies a file over any existing destination through FileReplacer, so the destination
// holds either the whole copy or what it held before (a full disk leaves the earlier copy).
// A new destination takes the source's permission bits (POSIX). False when it could not.
bool CopyFileOverwriting(const std::string& from, const std::string& to);

// Renames (moves) a file, replacing an existing destination; false when it could not.
bool RenameFileReplacing(const std::string& from, const std::string& to);

// Sets or clears a file's read-only attribute; false when it could not.
bool SetReadOnly(const std::string& path, bool readOnly);

// Full path of the running executable.
std::string ExecutablePath();

// Folder of the running executable, without a trailing separator except at a root.
std::string ExecutableFolder();

// The executable's file name without its extension.
std::string ModuleName();

// The executable's file name as the system shows it: "X.exe" on Windows, "X" elsewhere.
std::string ExecutableFileName();

// Value of an environment variable, or nullopt when it is not set.
std::optional<std::string> GetEnv(const std::string& name);

}  // namespace kelv
