#pragma once

// CPU time and memory of the test process, for the tests that bound what waiting costs.

#include <vector>

namespace tarnik::test {

// CPU time used so far by the whole process, in milliseconds.
double ProcessCpuMs();
// Thread ids of this process.
std::vector<int> ThreadIds();
// CPU time of one thread of this process (user + system), in milliseconds.
double ThreadCpuMs(int tid);
// CPU time used so far by the calling thread, in milliseconds.
double CurrentThreadCpuMs();
// Resident memory of the process, in KiB.
long ResidentKiB();

}  // namespace tarnik::test
