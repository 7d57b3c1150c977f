#pragma once

// What the scheduler knows of the test process's threads, for the tests that show that
// waiting costs nothing: a thread that waits sleeps in the kernel and is not woken while
// nothing happens. These are counts and states, not times, so a busy machine does not
// change them.

#include <chrono>
#include <vector>

namespace tarnik::test {

// Thread ids of this process.
std::vector<int> threadIds();
// True while the thread sleeps in the kernel (or has ended); false while it runs or
// waits for a processor.
bool threadSleeps(int tid);
// True once the thread has ended.
bool threadEnded(int tid);
// How often the thread has gone to sleep so far (its voluntary context switches): one
// more each time it waits and is woken.
long threadWakeUps(int tid);
// The same, summed over every thread of this process.
long processWakeUps();
// The threads other than the caller that were never seen asleep while they were watched
// for `watch`, looking every millisecond: threads that spin.
std::vector<int> threadsNeverAsleep(std::chrono::milliseconds watch = std::chrono::seconds(2));
// Resident memory of the process, in KiB.
long residentKiB();

}  // namespace tarnik::test
