// The instrument maker's driver kit, as the library calls it: ten stdcall
// functions exported by their plain names from tessan_ddk.dll. 16-bit values
// arrive zero-extended in 32-bit slots; statuses are 32-bit, read by callers
// as signed 16-bit codes.
#pragma once
#include <cstdint>

#ifdef _WIN32
#define TESSAN_CALL __stdcall
#else
#define TESSAN_CALL
#endif

extern "C" {
int32_t TESSAN_CALL Device_Setup(uint32_t language, const char* FileName, int32_t parent, const char* passwort);
int32_t TESSAN_CALL Device_GetName(uint32_t language, const char* FileName, uint32_t devicenr, uint32_t typ,
                                   uint32_t output, char* info);
int32_t TESSAN_CALL Device_Init(uint32_t language, const char* FileName, void* parent, int32_t wh);
int32_t TESSAN_CALL Device_DeInit(void);
int32_t TESSAN_CALL Device_Trigger(uint32_t devicenr, uint32_t source, uint32_t typ);
int32_t TESSAN_CALL Device_Value(uint32_t devicenr, uint32_t Address, double* Val1);
int32_t TESSAN_CALL Device_Collect(uint32_t devicenr, int16_t* Address, double* Val1);
int32_t TESSAN_CALL Device_Win_MechAdj(uint32_t gagenr, int32_t parent, const char* password);
int32_t TESSAN_CALL Device_PreInit(uint32_t InitTimes, uint32_t UseValueEx, uint32_t Reserve1, uint32_t Reserve2,
                                   uint32_t Reserve3, uint32_t Reserve4, uint32_t Reserve5);
int32_t TESSAN_CALL Device_GetInt(int32_t addr, int16_t* variable);

// Stand-in kit only: the last Device_ call, its name followed by each integer
// argument as received (unsigned 32-bit decimal), separated by single blanks.
// Returns the length written (the text is cut to size - 1 and terminated).
int32_t TESSAN_CALL Sim_GetLastCall(char* buffer, int32_t size);
}
