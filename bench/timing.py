"""bench/timing.py: the timing rules of the benchmarks: the best of several runs in process,
the median of whole-process runs taken in turns."""

import resource
import statistics
import subprocess
import time


def best_of(repeat, work):
    """The shortest wall time of `repeat` calls of `work`, in seconds. Each answer is let go
    only after its clock stopped, so freeing it is not part of the time."""
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        answer = work()
        best = min(best, time.perf_counter() - start)
        del answer
    return best


def process_medians(commands, repeat):
    """The median wall and CPU time, in seconds, of `repeat` whole-process runs of each command
    (a dict of name to argument list), as {name: (wall, cpu)}. The commands take turns, so
    that a shared machine's changing load falls on all of them alike."""
    walls = {name: [] for name in commands}
    cpus = {name: [] for name in commands}
    for _ in range(repeat):
        for name, command in commands.items():
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.perf_counter()
            subprocess.run(command, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            walls[name].append(time.perf_counter() - start)
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpus[name].append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return {name: (statistics.median(walls[name]), statistics.median(cpus[name]))
            for name in commands}
