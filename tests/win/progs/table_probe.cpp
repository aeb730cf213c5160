// Loads MERIDAN.dll the way a spreadsheet host does and reports what its load
// did with the constants table:
//   table_probe RESULT_FILE [ROW=VALUE ...]
// Message boxes shown while the library attaches are caught by a CBT hook on
// this thread, read, and closed at once, so the probe never waits for a user.
// The loaded table is seen two ways: through Create_SPCStatistics, whose
// figures for a fixed request are built from table rows, and directly: it is
// found in the library's writable sections as the 1001 single-precision
// entries whose rows hold the given values, and written out whole.
// RESULT_FILE gets one "key value" line per fact:
//   loaded 1|0, boxes N, and per box: text, caption, owner none|window,
//   icon error|other|none; "figure I XXXXXXXXXXXXXXXX" (the bits of the
//   double) for the statistics figures listed at kFiguresReported; then
//   table found|absent|ambiguous|not-sought and, when found,
//   "entry ROW XXXXXXXX" (the bits of the float) for every row.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kTableSize = 1001;

// Create_SPCStatistics with a request whose figures come from table rows:
// typ 11 (chart of means with a range chart), two subgroups of 5 values
// 1 .. 5 (each range 4, mean 3), sigma estimated from the mean range.
// Figure 15 = 4 / d2(5); 19 = 3 + u(0.975) * figure 15 / sqrt(5);
// 25 = D2(5) * figure 15; 29 = D1(5) * figure 15.
using StatisticsExport = int32_t(WINAPI*)(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                           double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                           int32_t SampleSize, uint32_t SPCNorm, double* results);
const int kFiguresReported[] = {15, 19, 25, 29};

struct BoxSeen {
  HWND window;
  std::wstring text;
  std::wstring caption;
  bool owned;
  const char* icon;
};

std::vector<BoxSeen> boxes;
HHOOK hook;

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM boxIndex) {
  wchar_t className[64] = L"";
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  BoxSeen& box = boxes[boxIndex];
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    HICON shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    box.icon = shown == nullptr ? "none" : shown == LoadIconW(nullptr, IDI_ERROR) ? "error" : "other";
  } else {
    std::wstring text = WindowText(child);
    if (!text.empty()) box.text = text;
  }
  return TRUE;
}

// Records each message box once, when it is first activated (its texts are
// set by then), and presses its OK button.
LRESULT CALLBACK WatchForBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    bool known = false;
    for (const BoxSeen& box : boxes) known = known || box.window == window;
    if (!known && lstrcmpW(className, L"#32770") == 0) {
      boxes.push_back(BoxSeen{window, L"", WindowText(window), GetWindow(window, GW_OWNER) != nullptr, "none"});
      EnumChildWindows(window, ReadBoxChild, static_cast<LPARAM>(boxes.size() - 1));
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

std::string Narrow(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) bytes += c < 128 ? static_cast<char>(c) : '?';
  return bytes;
}

struct Probe {
  int row;
  float value;
};

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Every 4-byte aligned place in the library's writable sections where a
// table of 1001 floats would hold all the probed values.
std::vector<const float*> FindTable(HMODULE library, const std::vector<Probe>& probes) {
  std::vector<const float*> found;
  const BYTE* base = reinterpret_cast<const BYTE*>(library);
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD s = 0; s < nt->FileHeader.NumberOfSections; ++s, ++section) {
    if (!(section->Characteristics & IMAGE_SCN_MEM_WRITE)) continue;
    const BYTE* start = base + section->VirtualAddress;
    size_t size = section->Misc.VirtualSize;
    for (size_t offset = 0; offset + kTableSize * sizeof(float) <= size; offset += sizeof(float)) {
      const float* table = reinterpret_cast<const float*>(start + offset);
      bool all = true;
      for (const Probe& probe : probes) all = all && Bits(table[probe.row]) == Bits(probe.value);
      if (all) found.push_back(table);
    }
  }
  return found;
}

void ReportFigures(FILE* out, HMODULE library) {
  StatisticsExport statistics = reinterpret_cast<StatisticsExport>(
      reinterpret_cast<void*>(GetProcAddress(library, "Create_SPCStatistics")));
  if (!statistics) return;
  const double values[] = {0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5};  // element 0 is never read
  double results[64] = {};
  if (statistics(11, values, 10, 3.0, 10.0, -10.0, 1, 1, 5, 1, results) < 29) return;
  for (int index : kFiguresReported) {
    uint64_t bits;
    std::memcpy(&bits, &results[index], sizeof bits);
    std::fprintf(out, "figure %d %016llx\n", index, static_cast<unsigned long long>(bits));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::vector<Probe> probes;
  for (int i = 2; i < argc; ++i) {
    std::string pair = argv[i];
    size_t equals = pair.find('=');
    if (equals == std::string::npos) return 2;
    int row = std::atoi(pair.c_str());
    if (row < 0 || row >= kTableSize) return 2;
    probes.push_back(Probe{row, static_cast<float>(std::strtod(pair.c_str() + equals + 1, nullptr))});
  }

  hook = SetWindowsHookExW(WH_CBT, WatchForBoxes, nullptr, GetCurrentThreadId());
  if (!hook) return 3;
  HMODULE library = LoadLibraryW(L"MERIDAN.dll");
  UnhookWindowsHookEx(hook);

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 4;
  std::fprintf(out, "loaded %d\n", library ? 1 : 0);
  std::fprintf(out, "boxes %u\n", static_cast<unsigned>(boxes.size()));
  for (const BoxSeen& box : boxes) {
    std::fprintf(out, "text %s\n", Narrow(box.text).c_str());
    std::fprintf(out, "caption %s\n", Narrow(box.caption).c_str());
    std::fprintf(out, "owner %s\n", box.owned ? "window" : "none");
    std::fprintf(out, "icon %s\n", box.icon);
  }
  if (library) ReportFigures(out, library);
  if (library && !probes.empty()) {
    std::vector<const float*> tables = FindTable(library, probes);
    std::fprintf(out, "table %s\n", tables.empty() ? "absent" : tables.size() > 1 ? "ambiguous" : "found");
    if (tables.size() == 1) {
      for (int row = 0; row < kTableSize; ++row)
        std::fprintf(out, "entry %d %08lx\n", row, static_cast<unsigned long>(Bits(tables[0][row])));
    }
  } else {
    std::fprintf(out, "table not-sought\n");
  }
  std::fclose(out);
  return 0;
}
