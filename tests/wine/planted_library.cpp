// A library that someone put beside a program, to be loaded by name instead of a system one:
// the library-search check of os_probe shows the program's search never reaches it.
extern "C" __declspec(dllexport) int plantedLibrary() { return 1; }
