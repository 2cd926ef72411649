// Resource identifiers of longtick.ocx (shared by the .rc file and the code).
#pragma once

#define IDI_LONGTICK 1
#define IDB_TOOLBOX 30000
