// A shared library that leaves a mark when anything loads it. Tests put its
// path where a setting or a connection string could name a driver.
#include <cstdlib>
#include <fstream>

__attribute__((constructor)) static void leaveMark() {
    if (const char* file = std::getenv("DOVREL_MARKER_FILE")) std::ofstream(file) << "loaded\n";
}
