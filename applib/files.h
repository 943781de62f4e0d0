#pragma once
// Plain file and directory helpers.
#include <string>
#include <string_view>

// True when the file can be opened for reading.
bool FileIsPresent(const char* name);
bool FileIsPresent(const std::string& name);

// Byte-for-byte copy in 8192-byte blocks; silent on failure.
void CopyFileData(const std::string& source, const std::string& destination);

// Copies `name` to `name` + ".BAK" when `name` exists; silent otherwise.
void BackupFile(const std::string& name);

// Replaces the file with exactly `bytes` in one durable step: the old
// contents stay until the complete new ones are on the disk. False, the file
// left as it was and `error` holding the errno, when it cannot be done.
bool ReplaceFileContents(const std::string& name, std::string_view bytes, int* error = nullptr);

// True when the directory can be made current; the current directory is left
// as it was found.
bool DirectoryIsPresent(const std::string& path);

// Makes `path` the current directory; failures are ignored. Nothing happens
// for a null pointer or an empty string.
void ChangeDirectory(const char* path);
void ChangeDirectory(const std::string& path);
