#pragma once
#include <cstddef>
#include <functional>

namespace sonaveld {

// Runs task(i) for every i in [0, count) on up to jobs worker threads (taken in list order), and
// calls done(i) on the calling thread for each i in list order, as soon as task(i) and every one
// before it have finished, so what a task prints or records comes out in list order. tick() runs
// on the calling thread about every 100 ms while it waits (the progress line). Returns once every
// task has finished; tasks must not throw.
void RunOrdered(size_t count, int jobs, const std::function<void(size_t)>& task,
                const std::function<void(size_t)>& done, const std::function<void()>& tick);

// The default number of jobs: the processors of the machine (at least 1).
int DefaultJobs();

}  // namespace sonaveld
