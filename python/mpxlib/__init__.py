"""mpxlib: coordinate conversion between geodetic, geocentric and projected
coordinate systems, on the datums of a small text database.

    import numpy as np, mpxlib
    ed50 = mpxlib.CoordinateSystem("ED50", "UTM31N")
    wgs84 = mpxlib.CoordinateSystem("WGS84", "GEODETIC", "degrees")
    x, y, z, status = mpxlib.Transformer(ed50, wgs84).transform(
        np.array([448344.685]), np.array([5412140.668]))

The library's state is per process: at most 19 coordinate systems and 20
cached transformations at a time, one database chosen before the first
system is created. Calls into the library are serialised by one lock; the
point loop runs without the interpreter lock.
"""

import os

import numpy as np

from . import _mpxlib
from ._mpxlib import Error
from ._paths import BUNDLED_DATABASE

__all__ = [
    "CoordinateSystem",
    "Error",
    "Transformer",
    "base_projections",
    "changes",
    "database_path",
    "datums",
    "projections",
    "set_database",
    "setup",
]

__version__ = "0.1.0"

_DIRECTORY_VARIABLE = "TORVA_ORTIX_DIR"


def _default_database():
    """The directory the library will read: TORVA_ORTIX_DIR when set,
    else the bundled database."""
    value = os.environ.get(_DIRECTORY_VARIABLE, "")
    return value if value else BUNDLED_DATABASE


def setup(database=None, *, exact=False):
    """Chooses the database directory and, with exact=True, installs the
    exact forms of "tranmerc", "stm", "utm", "lambert1" and "lambert2" ahead
    of the classic ones (mpx_exact_install).

    Both are process-wide and must come before the first coordinate system
    is created (or the database is listed); later calls raise Error unless
    they ask for what is already in force.
    """
    if database is not None:
        database = os.fspath(database)
        if not os.path.isdir(database):
            raise Error("database directory not found: %s" % database)
        wanted = os.path.join(os.path.abspath(database), "")
        current = os.environ.get(_DIRECTORY_VARIABLE, "")
        if _mpxlib.database_fixed():
            if os.path.join(os.path.abspath(current), "") != wanted:
                raise Error(
                    "set_database: the database is already in use (%s); choose it before "
                    "the first coordinate system is created" % _mpxlib.database_path()
                )
        else:
            os.environ[_DIRECTORY_VARIABLE] = wanted
    if exact and not _mpxlib.exact_installed():
        _mpxlib.install_exact()


def set_database(path):
    """Chooses the database directory; before the first system is created."""
    setup(path)


def database_path():
    """The directory the library reads (this fixes the choice)."""
    return _mpxlib.database_path()


def exact_installed():
    """True when the exact forms were installed by setup(exact=True)."""
    return _mpxlib.exact_installed()


if not os.environ.get(_DIRECTORY_VARIABLE):
    # The library's own default names a directory no installation has: use
    # the bundled database instead, as the converter mpxcs does.
    os.environ[_DIRECTORY_VARIABLE] = BUNDLED_DATABASE


class CoordinateSystem:
    """A locked coordinate system of the database: datum and projection
    names as the database spells them ("GEODETIC" and "GEOCENTRIC" are
    built in), units "degrees", "radians" or "grads" for geodetic systems
    (optionally followed by "/" and a vertical label).

    Identical systems share one library record; it is released when the
    last Python object naming it goes away.
    """

    __slots__ = ("_system",)

    def __init__(self, datum, projection, units=""):
        for what, value in (("datum", datum), ("projection", projection), ("units", units)):
            if not isinstance(value, str):
                raise TypeError("%s must be a str, not %s" % (what, type(value).__name__))
        self._system = _mpxlib.System(datum, projection, units)

    @property
    def datum(self):
        return self._system.datum

    @property
    def projection(self):
        return self._system.projection

    @property
    def units(self):
        return self._system.units

    @property
    def status(self):
        """0 consistent; bit 1: the projection was defined for another
        ellipsoid; bit 2: for another prime meridian."""
        return self._system.status

    def attributes(self, *, derived=False):
        """The system's attributes as a dict of dicts by entity: "datum",
        "units", "aoi", "resolution" and "projection" (empty for geodetic and
        geocentric systems). Angles in radians, lengths in the system's unit.
        derived=True adds the parameters the library derives at set-up."""
        return {
            entity: dict(self._system.attributes(entity, derived))
            for entity in ("datum", "units", "aoi", "resolution", "projection")
        }

    def __repr__(self):
        text = "%s,%s" % (self.datum, self.projection)
        if self.units:
            text += "," + self.units
        return "CoordinateSystem(%s)" % text


def _as_points(value, what):
    array = np.asarray(value)
    if array.dtype != np.float64:
        raise TypeError(
            "%s must hold float64 values, not %s (convert with .astype(float))" % (what, array.dtype)
        )
    return array


class Transformer:
    """Converts points from `source` to `target` (or back, inverse=True)."""

    __slots__ = ("_transformer", "source", "target")

    def __init__(self, source, target):
        for what, value in (("source", source), ("target", target)):
            if not isinstance(value, CoordinateSystem):
                raise TypeError("%s must be a CoordinateSystem" % what)
        self.source = source
        self.target = target
        self._transformer = _mpxlib.Transformer(source._system, target._system)

    def transform(self, x, y, z=None, *, inverse=False):
        """Converts the points (x, y, z) given as float64 arrays of one shape,
        any layout (one-dimensional arrays of any stride are read in place).

        Returns new arrays (x, y, z, status): z is zeros when none was given;
        status holds the library's result per point (0 converted, 1 rejected,
        a projection's status or -1), and a failed point's coordinates are NaN.
        """
        x = _as_points(x, "x")
        y = _as_points(y, "y")
        z = None if z is None else _as_points(z, "z")
        shape = x.shape
        for what, array in (("y", y), ("z", z)):
            if array is not None and array.shape != shape:
                raise ValueError("%s has shape %s, x has %s" % (what, array.shape, shape))
        if x.ndim != 1:
            x, y = x.reshape(-1), y.reshape(-1)
            z = None if z is None else z.reshape(-1)
        xo, yo, zo, status = self._transformer.transform(x, y, z, bool(inverse))
        if len(shape) != 1:
            xo, yo, zo, status = (a.reshape(shape) for a in (xo, yo, zo, status))
        return xo, yo, zo, status

    def __repr__(self):
        return "Transformer(%r -> %r)" % (self.source, self.target)


def _rows(table, key, columns):
    return [dict(row) for row in _mpxlib.list_table(table, key, columns)]


def datums():
    """The database's datums: dicts of name, radius, eccentricity."""
    return _rows("datum_sp", "name", [("radius", "d"), ("eccentricity", "d")])


def projections():
    """The database's projections: dicts of name, type, metre_factor."""
    return _rows("project", "name", [("type", "s"), ("metre_factor", "d")])


def changes():
    """The database's datum changes: dicts of key ("SOURCE>TARGET") and
    change_type ("bursawol", "smith" or "nadcon")."""
    return _rows("datumcha", "key", [("change_type", "s")])


def base_projections():
    """The projection keywords the library computes."""
    return _mpxlib.base_projections()
