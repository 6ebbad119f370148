"""Log records held back per sample while it converts, and let out together after, so the
lines of one sample are never interleaved with another's."""

import contextlib
import logging
import threading

LOGGERS = ("OrvellePgxParser", "OrvellePgxParser.cohort")


class SampleLogs(logging.Filter):
    """A filter on the package's loggers: on a thread converting a sample, it keeps each record
    (marked with the sample's name as `record.sample`) instead of passing it on."""

    def __init__(self):
        super().__init__()
        self._local = threading.local()

    def filter(self, record):
        held = getattr(self._local, "held", None)
        if held is None:
            return True
        record.sample = self._local.sample
        held.append(record)
        return False

    @contextlib.contextmanager
    def installed(self):
        loggers = [logging.getLogger(name) for name in LOGGERS]
        for logger in loggers:
            logger.addFilter(self)
        try:
            yield self
        finally:
            for logger in loggers:
                logger.removeFilter(self)

    @contextlib.contextmanager
    def capture(self, sample):
        """Holds the records of the calling thread in the list it yields (within a capture, for
        a while, in a list of its own)."""
        outer = getattr(self._local, "held", None), getattr(self._local, "sample", None)
        held = []
        self._local.held, self._local.sample = held, sample
        try:
            yield held
        finally:
            self._local.held, self._local.sample = outer

    @staticmethod
    def emit(records):
        """Passes held records on to their loggers' handlers, in order."""
        for record in records:
            logging.getLogger(record.name).handle(record)
