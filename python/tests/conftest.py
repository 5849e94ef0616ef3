import ctypes
import os

import numpy as np
import pytest

import mpxlib


def pytest_configure(config):
    config.addinivalue_line("markers", "distributed: runs a local dask.distributed cluster")


@pytest.fixture(scope="session")
def clib():
    """The C library itself, the same one the extension uses (same process
    state), to compare the binding with the C API."""
    path = os.environ.get("MPX_LIBRARY", "libmpxlib.so.0")
    lib = ctypes.CDLL(path)
    p = ctypes.POINTER
    lib.mpx_crelock_coord_sys.argtypes = [ctypes.c_char_p] * 3
    lib.mpx_set_source.argtypes = [p(ctypes.c_int)]
    lib.mpx_set_target.argtypes = [p(ctypes.c_int)]
    lib.mpx_delete_coord_sys.argtypes = [p(ctypes.c_int)]
    lib.mpx_transform.argtypes = [p(ctypes.c_double)] * 6
    lib.mpx_trans_array.argtypes = [p(ctypes.c_int), p(ctypes.c_double), p(ctypes.c_double)]
    return lib


@pytest.fixture()
def points():
    """Points over Europe in degrees, with hostile ones mixed in."""
    rng = np.random.default_rng(7)
    lon = rng.uniform(-12.0, 25.0, 2000)
    lat = rng.uniform(35.0, 70.0, 2000)
    h = rng.uniform(-50.0, 3000.0, 2000)
    lon[[3, 50, 51]] = [np.nan, np.inf, -1e300]
    lat[[4, 60]] = [95.0, -np.inf]
    return lon, lat, h


def system(text):
    parts = text.split(",") + [""]
    return mpxlib.CoordinateSystem(parts[0], parts[1], parts[2])
