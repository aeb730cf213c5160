// Recognising the spreadsheet host among running processes by the file name
// of its main executable.
#pragma once

// True when the text after the last backslash of `path` is "EXCEL.exe",
// ignoring the case of ASCII letters. A path without a backslash never matches.
bool Proc_IsHostPath(const char* path);
