// Storage for the identifiers declared in the generated type library header.
#include <windows.h>
#include <initguid.h>

#include "longtick_idl.h"
