// Create_GaugeStudyBitmap: a gauge study from its readings to the page file.
// The study and the page's layout are the core's; the drawing is gauge/gdi's.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "core/argument_slot.h"
#include "gauge/core/gauge_page_layout.h"
#include "gauge/core/gauge_study.h"
#include "gauge/gdi/gauge_drawing.h"
#include "meridan_api.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/spc_request_lock.h"

namespace {

// A page file that is there already must be one this process can replace now: not read-only (left as its
// owner made it), not a folder, not held open by another program. Asked before anything is drawn, so that
// a page that cannot be written is reported, and a file that was there is left as it was.
bool Replaceable(const wchar_t* name) {
  const DWORD attributes = GetFileAttributesW(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// After writing: a page cut off (disk full) or never made (no such folder) is not on disk.
bool OnDisk(const wchar_t* name) {
  const DWORD attributes = GetFileAttributesW(name);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int32_t DrawStudyPage(HWND parent, const wchar_t* name, int32_t width, int32_t height, double factor,
                      const char* headline, const GaugeRequest& request, const GaugeResult& result) {
  // A window that is gone leaves the screen as the reference for the page's pixel format.
  HWND owner = parent;
  HDC display = GetDC(parent);
  if (!display && parent) {
    owner = nullptr;
    display = GetDC(nullptr);
  }
  if (!display) return kGaugePageNotMade;
  GaugePageLayout layout;
  Gauge_LayoutPage(request, result, width, height, factor, &layout);
  const bool made = Gauge_DrawAndWritePage(display, layout, headline, name);
  ReleaseDC(owner, display);
  if (!made) return kGaugePageNotMade;
  return OnDisk(name) ? kGaugePageWritten : kGaugePageNotWritten;
}

}  // namespace

extern "C" int32_t WINAPI Create_GaugeStudyBitmap(HWND parent, const char* FileName, int32_t width, int32_t height,
                                                  double factor, const char* Headline, uint32_t kind,
                                                  const double* readings, int32_t parts, int32_t appraisers,
                                                  int32_t trials, double reference, double tolerance,
                                                  const double* options, int32_t optionCount) {
  const GaugeRequest request{Low16(kind), readings, parts, appraisers, trials, reference, tolerance, options,
                             optionCount};
  GaugeResult result;
  if (!Gauge_ComputeStudy(request, &result)) return kGaugePageStudyRefused;
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight)) return kGaugePageSizeRefused;
  if (!FileName || !*FileName) return kGaugePageNoFileName;
  std::vector<wchar_t> name(std::strlen(FileName) + 1);
  WStr_FromAnsi(name.data(), FileName);
  if (!Replaceable(name.data())) return kGaugePageNotWritten;
  // The drawing scale and the drawing routines' state are the process's: one page or chart at a time.
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  SPC_SetScale(factor);
  const int32_t code = DrawStudyPage(parent, name.data(), width, height, factor, Headline, request, result);
  SPC_SetScale(1.0);
  return code;
}
