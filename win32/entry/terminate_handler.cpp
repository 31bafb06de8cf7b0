// The C++ library's default terminate handler, replaced at link time. The library's own writes
// the uncaught exception's type to the standard error stream, which a windowed program does not
// have, and brings in the library's name demangler for that (some 37 KB). This one only ends
// the program, as the library's does after its message. Exceptions are thrown and caught as
// before; only the end of one that nothing catches is quieter.
//
// Defined here, in an object linked into the program itself, under the library function's name
// (as the assembler spells __gnu_cxx::__verbose_terminate_handler()), it stands in for the
// library's definition, which is then never linked, nor the demangler behind it.
#include <cstdlib>

namespace win32 {

#define QUILLET_ASM_NAME_OF(prefix, name) QUILLET_ASM_PREFIX(prefix) name
#define QUILLET_ASM_PREFIX(prefix) #prefix

[[noreturn]] void endOnUncaughtException() asm(
    QUILLET_ASM_NAME_OF(__USER_LABEL_PREFIX__, "_ZN9__gnu_cxx27__verbose_terminate_handlerEv"));

void endOnUncaughtException() { std::abort(); }

}  // namespace win32
