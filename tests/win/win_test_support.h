// Shared set-up of the Wine tests: where the built files are, running helper
// programs, and temporary folders.
#pragma once
#include <windows.h>

#include <string>

namespace wintest {

// Folder of the running test program (build/win64/bin), with a trailing backslash.
std::wstring BinDir();

// A fresh empty folder under the temp directory; removed with RemoveTree.
std::wstring MakeTempDir(const wchar_t* tag);
void RemoveTree(const std::wstring& dir);

// Starts `commandLine` in `workingDir` and waits up to `timeoutMs`; returns its
// exit code, or -1 when it could not start or did not end in time (then it is killed).
long RunAndWait(const std::wstring& commandLine, const std::wstring& workingDir, DWORD timeoutMs);

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

}  // namespace wintest
