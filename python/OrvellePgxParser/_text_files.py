"""Text files the package writes besides the result and the sidecar (the cohort's tables, the
outside-call file), each written whole or not at all, as the core writes its own."""

import contextlib
import os
import tempfile


@contextlib.contextmanager
def atomic_text_file(path):
    """A UTF-8 text handle on a temporary file beside PATH, renamed onto PATH when the block
    ends without an error and removed when it raises: an earlier file is replaced whole or
    not at all."""
    folder, name = os.path.split(os.fspath(path))
    handle, temporary = tempfile.mkstemp(dir=folder or ".", prefix=f".{name}.")
    try:
        with os.fdopen(handle, "w", encoding="utf-8", newline="") as out:
            yield out
        os.replace(temporary, path)
    except BaseException:
        with contextlib.suppress(OSError):
            os.unlink(temporary)
        raise


def write_text_atomically(path, text) -> None:
    with atomic_text_file(path) as out:
        out.write(text)
