// The chart request as it was before its loops were made cheaper, for
// spc_compute_bench's comparison in the same run: the request's own source
// built once more with MERIDAN_SPC_REFERENCE_LOOPS (the exchange sort for
// every median, the classes searched in order, the figures summed through the
// statistics record), its names given a suffix so both live in one program.
#define MERIDAN_SPC_REFERENCE_LOOPS
#define SPC_ComputeRequest SPC_ComputeRequestReference
#define SPC_RequestOfArguments SPC_RequestOfArgumentsReference
#define SPC_LocationSeries SPC_LocationSeriesReference
#define SPC_DispersionSeries SPC_DispersionSeriesReference
#define SPC_QuantilePerMille SPC_QuantilePerMilleReference
#define SPC_WithinSubgroups SPC_WithinSubgroupsReference
#include "spc/core/spc_request.cpp"
