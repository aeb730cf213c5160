// Create_CapabilityBitmap: a capability study from its values to the bitmap
// file. The study and the layout are the core's; the drawing is spc/gdi's.
#include <windows.h>

#include <mutex>

#include "meridan_api.h"
#include "spc/core/capability_page_layout.h"
#include "spc/core/capability_study.h"
#include "spc/core/draw_math.h"
#include "spc/gdi/capability_drawing.h"
#include "spc/gdi/page_objects.h"
#include "spc/spc_request_lock.h"

namespace {

// What the page export returns.
enum CapabilityPageCode : int32_t {
  kPageWritten = 0,
  kRequestRefused = 1,  // outside the contract of Create_CapabilityStatistics
  kPageSizeRefused = 2,  // width, height or factor not usable, or smaller than 320 x 240 pixels
  kTooFewValues = 3,     // fewer than two values that are numbers
  kFileNotWritten = 4,   // no file name, or the file could not be made or written whole
};

}  // namespace

// The page takes its turn with the SPC pages: it sets the page scale and
// fills the table of drawing objects they share.
extern "C" int32_t WINAPI Create_CapabilityBitmap(HWND parent, const char* FileName, int32_t width, int32_t height,
                                                  double factor, const char* Headline, const double* values,
                                                  int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                                                  double NomSize, double USL, double LSL, uint32_t USLOnOff,
                                                  uint32_t LSLOnOff, const double* options, int32_t optionCount) {
  CapabilityRequest request;
  if (!Capability_ReadRequest(values, count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff, LSLOnOff, options,
                              optionCount, &request))
    return kRequestRefused;
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight) || pageWidth < kCapabilityPageMinWidth ||
      pageHeight < kCapabilityPageMinHeight)
    return kPageSizeRefused;
  if (!FileName || !FileName[0]) return kFileNotWritten;
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  CapabilityFigures figures;
  Capability_Compute(request, &figures);
  if (figures.nUsed < 2) return kTooFewValues;
  SPC_SetScale(factor);
  CapabilityPageLayout layout;
  bool written = false;
  if (CapabilityPage_Layout(request, figures, width, height, factor, &layout))
    written = Page_DrawAndWrite(parent, FileName, layout.page,
                                [&](HDC dc) { Capability_DrawPage(dc, layout, Headline); });
  SPC_SetScale(1.0);
  return written ? kPageWritten : kFileNotWritten;
}
