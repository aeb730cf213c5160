#include "measuring/core/host_name.h"

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool Proc_IsHostPath(const char* path) {
  static const char kHostName[] = "excel.exe";
  const char* end = path;
  while (*end) ++end;
  // Only the component after the last backslash counts; the scan stops there either way.
  for (const char* p = end; p >= path; --p) {
    if (*p != '\\') continue;
    const char* name = p + 1;
    int i = 0;
    for (; kHostName[i] && name[i]; ++i)
      if (AsciiLower(name[i]) != kHostName[i]) return false;
    return kHostName[i] == '\0' && name[i] == '\0';
  }
  return false;
}
