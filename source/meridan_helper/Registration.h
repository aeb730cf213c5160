// Self-registration of the out-of-process server: the classes DLLFcts and
// XTimer with their programmatic identifiers, and the type library embedded
// in this executable (which also registers its interfaces for marshaling).
#pragma once
#include <windows.h>

HRESULT Registration_Register();
HRESULT Registration_Unregister();
