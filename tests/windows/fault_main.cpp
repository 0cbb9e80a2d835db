// Faults by a write through a null pointer once the crash report writer is
// installed, as the product installs it: the system then calls the writer's
// filter, which asks and writes Quervane.dmp.
#include "app/mdump.h"

namespace {

[[gnu::noinline]] void FaultByNullWrite() {
    int* volatile target = reinterpret_cast<int*>(0x10);
    *target = 1;
}

}  // namespace

int main() {
    MiniDumper minidumper("Quervane");
    FaultByNullWrite();
    return 91;  // the fault did not happen
}
