// Resource identifiers, shared by quillmoor.rc and the backend.
#pragma once

// The first icon of the file is the one the shell shows for quillmoor.exe.
#define IDI_QUILLMOOR 1
#define IDB_BACKGROUND 101
#define IDB_EDITOR 102
