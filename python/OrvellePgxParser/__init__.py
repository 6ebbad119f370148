"""Converts pharmacogenomic star-allele caller output into the Orvelle PGx JSON format.

The converter's modules are extension modules: the driver is
``OrvellePgxParser.OrvellePgxParser``, the records are in ``OrvellePgxParser.Models`` and the
readers and the call normaliser in ``OrvellePgxParser.Parsers``.
"""
