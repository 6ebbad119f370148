"""Making a cohort's files durable in batches: the driver writes each file to a temporary file
and renames it into place without flushing it, and one sync of the output folder's file system
makes a whole batch of samples durable at once (one sync per file costs a cohort most of its
time). The single command still flushes each file before renaming it.

What a crash of the machine (power loss, a kernel crash) leaves behind, by when it comes; a
killed process loses nothing that was renamed, the kernel still holds it:
- Before the first sample: the previous run's outputs, without its summary (removed, and that
  made durable, before any output is replaced), so no summary lists a file this run may tear.
- While a sample's file is written: a temporary file `<file>.tmp-<pid>-<n>` beside the outputs;
  the output's own name holds the previous run's file, or nothing.
- After a file was renamed into place, before its batch was synced: at its name the new file
  whole, or empty or cut short (file systems write data and names back independently), or the
  previous file. Nothing vouches for it: its sample has no record in the cohort state yet, so
  `--resume` converts it again.
- During a batch's sync: any of the above for the samples of that batch; earlier batches are
  on disk whole.
- After a batch's sync: its files are on disk whole. Their records are appended to the state
  then and reach the disk with the next sync; a record that did not (or arrived torn) only
  makes `--resume` convert its sample again. A record is trusted only when every file it names
  still has the digest it records.
- After the last batch: the summary is written, renamed into place and synced: once it is
  there, every file it lists as converted is on disk.
"""

import ctypes
import ctypes.util
import os
import time

SECONDS_PER_BATCH = 2.0
SAMPLES_PER_BATCH = 1000


def _syncfs_call():
    """The C library's syncfs (Linux), or None where there is none."""
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    return getattr(libc, "syncfs", None)


class FolderSync:
    """Syncs the file system that holds a folder: every file written and renamed there so far
    reaches the disk. syncfs through a descriptor opened before the first output is written
    reports a write-back error of any file since then (Linux 5.8 on), as fsync does for one
    file; without syncfs, sync() syncs every file system."""

    def __init__(self, folder):
        self._folder = folder
        self._fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)
        self._syncfs = _syncfs_call()

    def __call__(self):
        if self._syncfs is None:
            os.sync()
        elif self._syncfs(self._fd) != 0:  # ctypes lets the interpreter's lock go meanwhile
            code = ctypes.get_errno()
            raise OSError(code, f"cannot sync the output folder: {os.strerror(code)}",
                          self._folder)

    def close(self):
        os.close(self._fd)


class Batches:
    """Finished samples wait in a batch until it is synced: when it holds SAMPLES_PER_BATCH
    samples or its first one waited SECONDS_PER_BATCH. `on_durable` receives the records of
    the samples of each synced batch."""

    def __init__(self, sync, on_durable):
        self._sync, self._on_durable = sync, on_durable
        self._waiting, self._since = [], None

    def add(self, record):
        if not self._waiting:
            self._since = time.monotonic()
        self._waiting.append(record)
        if (len(self._waiting) >= SAMPLES_PER_BATCH
                or time.monotonic() - self._since >= SECONDS_PER_BATCH):
            self.sync()

    def sync(self):
        self._sync()
        waiting, self._waiting = self._waiting, []
        self._on_durable(waiting)
