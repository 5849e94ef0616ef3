"""python3 -m mpxlib: the converter mpxcs for CSV files with a header line.

    python3 -m mpxlib [options] SOURCE TARGET [FILE ...]

Systems are DATUM,PROJECTION[,UNITS] as for mpxcs. The coordinate columns
are chosen by name (--columns, default x,y and z when the header has one);
every other column is copied unchanged, and the header is written as read.
A point that fails gets the -e text in its coordinate cells, the reason goes
to standard error with the file and line number, and the run goes on. Exit
status: 0 when every point converted, 1 for a usage or database error, 2
when some points failed.
"""

import argparse
import csv
import sys

import numpy as np

import mpxlib

# Decimals that resolve a millimetre, as mpxcs prints: linear units are
# metres or longer, a degree or grad of latitude is about 1e5 m, a radian
# 6.4e6 m.
_LINEAR_DECIMALS = 3
_DEGREE_DECIMALS = 9
_RADIAN_DECIMALS = 11
# Rows converted per library call: bounds memory on large files.
_BLOCK_ROWS = 65536


class UsageError(Exception):
    pass


def parse_system(text):
    parts = text.split(",")
    if len(parts) not in (2, 3) or not parts[0] or not parts[1]:
        raise UsageError("coordinate system '%s' is not DATUM,PROJECTION[,UNITS]" % text)
    datum, projection = parts[0], parts[1]
    units = parts[2] if len(parts) == 3 else ""
    if projection.upper() == "GEODETIC" and not units:
        units = "degrees"
    return datum, projection, units


def default_decimals(system):
    if system[1].upper() != "GEODETIC":
        return _LINEAR_DECIMALS
    return _RADIAN_DECIMALS if system[2] == "radians" else _DEGREE_DECIMALS


def number(value, decimals):
    text = "%.*f" % (decimals, value)
    # A tiny negative value rounds to "-0.000": print it as zero.
    if text.startswith("-") and not text.strip("-0."):
        text = text[1:]
    return text


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="python3 -m mpxlib",
        description="Convert the coordinate columns of CSV files with a header line.",
    )
    parser.add_argument("source", metavar="SOURCE", help="DATUM,PROJECTION[,UNITS]")
    parser.add_argument("target", metavar="TARGET", help="DATUM,PROJECTION[,UNITS]")
    parser.add_argument("files", metavar="FILE", nargs="*", help="CSV files (default: stdin)")
    parser.add_argument("-I", dest="inverse", action="store_true", help="convert TARGET to SOURCE")
    parser.add_argument("-d", dest="decimals", type=int, help="decimals of the output")
    parser.add_argument("-e", dest="failed", default="*", help="text of a failed cell (default *)")
    parser.add_argument(
        "--columns", default=None, help="names of the x, y[, z] columns (default x,y[,z])"
    )
    parser.add_argument("--delimiter", default=",", help="field delimiter (default ,)")
    parser.add_argument("--db", dest="database", help="database directory")
    parser.add_argument(
        "--exact", action="store_true", help="exact forms of tranmerc, stm, utm, lambert1, lambert2"
    )
    options = parser.parse_args(argv)
    if options.decimals is not None and not 0 <= options.decimals <= 17:
        parser.error("-d needs a number of decimals from 0 to 17")
    if len(options.delimiter) != 1:
        parser.error("--delimiter takes one character")
    return options


def column_indexes(header, wanted, name):
    if wanted is None:
        names = ["x", "y"] + (["z"] if "z" in header else [])
    else:
        names = [n.strip() for n in wanted.split(",")]
        if len(names) not in (2, 3):
            raise UsageError("--columns names x, y and optionally z")
    missing = [n for n in names if n not in header]
    if missing:
        raise UsageError("%s: no column named %s in the header" % (name, ", ".join(missing)))
    return [header.index(n) for n in names]


def convert_block(rows, first_line, indexes, transformer, inverse, formats, failed, name):
    """Converts the rows in place; the number of failed points."""
    n = len(rows)
    coordinates = np.zeros((3, n))
    readable = np.ones(n, dtype=bool)
    for i, row in enumerate(rows):
        try:
            for k, index in enumerate(indexes):
                coordinates[k, i] = float(row[index])
        except (ValueError, IndexError):
            readable[i] = False
            coordinates[:, i] = np.nan
    z = coordinates[2] if len(indexes) == 3 else None
    xo, yo, zo, status = transformer.transform(
        coordinates[0], coordinates[1], z, inverse=inverse
    )
    outputs = (xo, yo, zo)
    failures = 0
    for i, row in enumerate(rows):
        if status[i] == 0:
            for k, index in enumerate(indexes):
                row[index] = number(outputs[k][i], formats[k])
            continue
        failures += 1
        if not readable[i]:
            reason = "a coordinate is missing or not a number"
        elif not np.all(np.isfinite(coordinates[: len(indexes), i])):
            reason = "a coordinate is not finite"
        else:
            reason = "the point was not converted (status %d)" % status[i]
        sys.stderr.write("mpxlib: %s:%d: %s\n" % (name, first_line + i, reason))
        for index in indexes:
            if index < len(row):
                row[index] = failed
    return failures


def convert_file(handle, name, options, transformer, formats, out):
    reader = csv.reader(handle, delimiter=options.delimiter)
    writer = csv.writer(out, delimiter=options.delimiter, lineterminator="\n")
    header = next(reader, None)
    if header is None:
        return 0
    indexes = column_indexes(header, options.columns, name)
    writer.writerow(header)
    failures = 0
    block, first_line = [], 2
    for row in reader:
        block.append(row)
        if len(block) == _BLOCK_ROWS:
            failures += convert_block(
                block, first_line, indexes, transformer, options.inverse, formats,
                options.failed, name,
            )
            writer.writerows(block)
            first_line += len(block)
            block = []
    if block:
        failures += convert_block(
            block, first_line, indexes, transformer, options.inverse, formats, options.failed, name
        )
        writer.writerows(block)
    return failures


def main(argv=None):
    options = parse_arguments(argv)
    try:
        source, target = parse_system(options.source), parse_system(options.target)
        mpxlib.setup(options.database, exact=options.exact)
        transformer = mpxlib.Transformer(
            mpxlib.CoordinateSystem(*source), mpxlib.CoordinateSystem(*target)
        )
        output_system = source if options.inverse else target
        xy = default_decimals(output_system) if options.decimals is None else options.decimals
        zd = _LINEAR_DECIMALS if options.decimals is None else options.decimals
        formats = (xy, xy, zd)
        failures = 0
        for name in options.files or ["-"]:
            if name == "-":
                failures += convert_file(sys.stdin, "-", options, transformer, formats, sys.stdout)
            else:
                with open(name, newline="") as handle:
                    failures += convert_file(handle, name, options, transformer, formats, sys.stdout)
    except (UsageError, mpxlib.Error, OSError) as error:
        sys.stdout.flush()
        sys.stderr.write("mpxlib: %s\n" % error)
        return 1
    return 2 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
