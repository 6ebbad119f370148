"""bench/timing.py: the one timing rule of the benchmarks: the best of several runs."""

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
