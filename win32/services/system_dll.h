// Functions of system DLLs that serve services used after start-up or rarely (the shell, COM,
// WinINet, the file dialog, the sounds): loaded from the system folder on first use. Imported,
// those DLLs and everything they bring in would be loaded and initialised before the window
// could show, at every start.
#pragma once

namespace platform::win32 {

// Null when the DLL or the function is missing; the DLL stays loaded for the process's life.
void* systemProcedure(const wchar_t* dll, const char* name);

template <class F>
F systemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<F>(systemProcedure(dll, name));
}

}  // namespace platform::win32
