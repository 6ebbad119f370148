"""bench/timing.py: the one timing rule of the benchmarks: the best of several runs."""

import time


def best_of(repeat, work):
    """The shortest wall time of `repeat` calls of `work`, in seconds."""
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best
