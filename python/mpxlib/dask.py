"""Batch transformation on dask: one library per worker process.

Coordinate systems live in each process's own library, so systems are named
by `(datum, projection, units)` tuples and every worker builds its own. The
database directory is shipped to the workers of a distributed client as a
worker plugin (its files, a few hundred kilobytes), so workers on other
machines need no shared file system; without a client (dask's local
schedulers) the blocks run in this process on its own database.

Run workers with one thread each (``nthreads=1``, ``--nthreads 1``): the
library is process-wide and serialises its calls, so more threads per worker
only wait for each other.
"""

import hashlib
import os
import tempfile
import threading

import dask.array as da
import numpy as np

import mpxlib

__all__ = ["transform", "transform_dataframe"]

# Bounds the number of (source, target) pairs kept per process: the
# library holds 19 systems and 20 transformations at a time.
_MAX_CACHED_PAIRS = 8
_DATABASE_SUFFIXES = (".dat", ".grd")

_lock = threading.Lock()
_transformers = {}
_shipped = {}  # digest -> directory written by the plugin on this worker


def _read_database(directory):
    """The database's files (tables and grids) as {relative path: bytes}."""
    files = {}
    for root, _, names in os.walk(directory):
        for name in sorted(names):
            if name.endswith(_DATABASE_SUFFIXES):
                path = os.path.join(root, name)
                with open(path, "rb") as handle:
                    files[os.path.relpath(path, directory)] = handle.read()
    return files


def _digest(files):
    h = hashlib.sha256()
    for name in sorted(files):
        h.update(name.encode() + b"\0" + files[name] + b"\0")
    return h.hexdigest()[:16]


class _Database:
    """What a task needs to find the database: the directory on the client,
    the digest of its content, and the exact-forms choice."""

    def __init__(self, directory, exact):
        self.directory = os.path.join(os.path.abspath(directory), "")
        self.files = _read_database(self.directory)
        self.digest = _digest(self.files)
        self.exact = bool(exact)

    def token(self):
        return (self.directory, self.digest, self.exact)


class DatabasePlugin:
    """Worker plugin: writes the shipped database into a private folder of
    each worker process and makes it the process's database."""

    def __init__(self, files, digest, exact):
        self.files = files
        self.digest = digest
        self.exact = exact
        self.name = "mpxlib-database-%s%s" % (digest, "-exact" if exact else "")

    def setup(self, worker=None):
        if self.digest in _shipped:
            return
        folder = tempfile.mkdtemp(prefix="mpxlib-db-%s-" % self.digest)
        for name, content in self.files.items():
            path = os.path.join(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as handle:
                handle.write(content)
        _shipped[self.digest] = os.path.join(folder, "")

    def teardown(self, worker=None):
        pass


def _current_client():
    try:
        from distributed import default_client
    except ImportError:
        return None
    try:
        return default_client()
    except ValueError:
        return None


def _ship(database):
    """Registers the database plugin with the current distributed client,
    if there is one (idempotent: the plugin's name holds the digest)."""
    client = _current_client()
    if client is None:
        return
    plugin = DatabasePlugin(database.files, database.digest, database.exact)
    if hasattr(client, "register_plugin"):
        client.register_plugin(plugin, name=plugin.name)
    else:
        client.register_worker_plugin(plugin, name=plugin.name)


def _transformer(source, target, token):
    """This process's Transformer for the pair, on the shipped database."""
    directory, digest, exact = token
    key = (tuple(source), tuple(target), token)
    with _lock:
        transformer = _transformers.get(key)
        if transformer is None:
            mpxlib.setup(_shipped.get(digest, directory), exact=exact)
            if mpxlib.exact_installed() != exact:
                raise mpxlib.Error(
                    "this process already uses the %s forms" % ("exact" if not exact else "classic")
                )
            if len(_transformers) >= _MAX_CACHED_PAIRS:
                _transformers.clear()
            transformer = mpxlib.Transformer(
                mpxlib.CoordinateSystem(*_system(source)), mpxlib.CoordinateSystem(*_system(target))
            )
            _transformers[key] = transformer
    return transformer


def _system(names):
    names = tuple(names)
    if len(names) == 2:
        names += ("",)
    if len(names) != 3 or not all(isinstance(n, str) for n in names):
        raise TypeError("a system is a (datum, projection[, units]) tuple of str, got %r" % (names,))
    return names


def _prepare(source, target, exact):
    source, target = _system(source), _system(target)
    database = _Database(mpxlib._default_database(), exact)
    _ship(database)
    return source, target, database.token()


def transform(source, target, x, y, z=None, *, inverse=False, exact=False):
    """Converts dask arrays (x, y[, z]) of float64 from `source` to `target`,
    each a (datum, projection, units) tuple, block by block.

    Returns dask arrays (x, y, z, status) with the chunks of x, equal bit for
    bit to mpxlib.Transformer.transform on the whole arrays.
    """
    source, target, token = _prepare(source, target, exact)
    arrays = [da.asarray(a) for a in ((x, y) if z is None else (x, y, z))]
    for name, a in zip("xyz", arrays):
        if a.dtype != np.float64:
            raise TypeError("%s must hold float64 values, not %s" % (name, a.dtype))
        if a.shape != arrays[0].shape:
            raise ValueError("%s has shape %s, x has %s" % (name, a.shape, arrays[0].shape))
    arrays = [arrays[0]] + [a.rechunk(arrays[0].chunks) for a in arrays[1:]]
    if len(arrays) == 2:
        arrays.append(None)

    # One task per block converts it once: coordinates and statuses travel
    # as four float64 rows (int32 statuses are exact in float64) and are
    # split afterwards, so computing all four outputs converts each point once.
    inputs = [a for a in arrays if a is not None]

    def stacked(*blocks):
        xb, yb = blocks[0], blocks[1]
        zb = blocks[2] if len(blocks) > 2 else None
        xo, yo, zo, status = _transformer(source, target, token).transform(
            xb, yb, zb, inverse=inverse
        )
        return np.stack((xo, yo, zo, status.astype(np.float64)))

    both = da.map_blocks(
        stacked, *inputs, new_axis=0, chunks=((4,),) + inputs[0].chunks, dtype=np.float64
    )
    xo, yo, zo = both[0], both[1], both[2]
    status = both[3].astype(np.int32)
    return xo, yo, zo, status


def transform_dataframe(df, source, target, columns=("x", "y", "z"), *, inverse=False, exact=False):
    """Converts the named columns of a dask dataframe partition by partition.

    columns: the names of x, y and optionally z. Returns a dataframe with
    those columns converted (z added, zeros, when it was not named) and an
    int32 column "status" appended; other columns pass through unchanged.
    """
    source, target, token = _prepare(source, target, exact)
    columns = tuple(columns)
    if len(columns) not in (2, 3):
        raise ValueError("columns must name x, y and optionally z")
    missing = [c for c in columns if c not in df.columns]
    if missing:
        raise KeyError("columns not in the dataframe: %s" % ", ".join(missing))
    # Never overwrite a column the caller did not name.
    added = ["status"] + (["z"] if len(columns) == 2 else [])
    clashing = [c for c in added if c in df.columns and c not in columns]
    if clashing:
        raise ValueError(
            "the dataframe already has a column %s, which the result would replace"
            % ", ".join(clashing)
        )

    def partition(part):
        out = part.copy()
        x = part[columns[0]].to_numpy(dtype=np.float64)
        y = part[columns[1]].to_numpy(dtype=np.float64)
        z = part[columns[2]].to_numpy(dtype=np.float64) if len(columns) == 3 else None
        xo, yo, zo, status = _transformer(source, target, token).transform(
            x, y, z, inverse=inverse
        )
        out[columns[0]] = xo
        out[columns[1]] = yo
        out[columns[2] if len(columns) == 3 else "z"] = zo
        out["status"] = status
        return out

    meta = df._meta.copy()
    for c in columns:
        meta[c] = meta[c].astype(np.float64)
    if len(columns) == 2:
        meta["z"] = np.zeros(0, dtype=np.float64)
    meta["status"] = np.zeros(0, dtype=np.int32)
    return df.map_partitions(partition, meta=meta)
