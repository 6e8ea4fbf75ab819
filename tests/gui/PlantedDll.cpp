// A DLL that lies only beside the test program, as a planted one would.
#include <windows.h>

extern "C" __declspec(dllexport) int TesvarPlanted() { return 42; }
