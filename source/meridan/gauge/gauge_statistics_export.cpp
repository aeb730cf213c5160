// Create_GaugeStudyStatistics: the figures of a gauge study, handed back as numbers.
#include <windows.h>

#include "core/argument_slot.h"
#include "gauge/core/gauge_results.h"
#include "gauge/core/gauge_study.h"
#include "meridan_api.h"

// The study's core keeps no state between calls: no turn to take.
extern "C" int32_t WINAPI Create_GaugeStudyStatistics(uint32_t kind, const double* readings, int32_t parts,
                                                      int32_t appraisers, int32_t trials, double reference,
                                                      double tolerance, const double* options, int32_t optionCount,
                                                      double* results, int32_t capacity) {
  const GaugeRequest request{Low16(kind), readings, parts, appraisers, trials, reference, tolerance, options,
                             optionCount};
  return Gauge_StudyFigures(request, results, capacity);
}
