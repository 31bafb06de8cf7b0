// Functions of system DLLs that serve services used after start-up or rarely (the shell, COM,
// WinINet, the file dialog, the sounds): loaded from the system folder on first use. Imported,
// those DLLs and everything they bring in would be loaded and initialised before the window
// could show, at every start.
//
// A copy of the program may be unpacked where anyone can put a DLL beside it (a downloads
// folder): no library it or the system loads for it is ever looked for there.
#pragma once

namespace win32 {

// The first thing the program does: libraries loaded later by name (those the system's own
// libraries need among them) are looked for in the system folder only, where the system can
// restrict the search so (Windows 8, or Windows 7 and Vista with the update that brought it);
// elsewhere at least the current folder is left out of the search.
void restrictLibrarySearch();

// Null when the DLL or the function is missing; the DLL stays loaded for the process's life.
// The DLL comes from the system folder, and so do the libraries it needs where the system can
// say so, or else those found beside it there.
void* systemProcedure(const wchar_t* dll, const char* name);

template <class F>
F systemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<F>(systemProcedure(dll, name));
}

}  // namespace win32
