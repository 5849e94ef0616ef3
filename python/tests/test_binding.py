import ctypes
import os
import subprocess
import sys

import numpy as np
import pytest

import mpxlib
from conftest import system

# Pairs over the bundled database: projection backward and forward, datum
# changes by Bursa-Wolfe and through WGS 84, geocentric on either side.
PAIRS = [
    ("ED50,GEODETIC,degrees", "WGS84,UTM31N"),
    ("ED50,GEODETIC,degrees", "WGS84,GEOCENTRIC"),
    ("OSGB36,GEODETIC,degrees", "OSGB36,BNG"),
    ("ED50,GEODETIC,degrees", "ED50,GEODETIC,grads"),
]


def c_api_per_point(clib, source, target, x, y, z):
    """mpx_transform point by point through ctypes: outputs and statuses."""
    sid = ctypes.c_int(clib.mpx_crelock_coord_sys(*(s.encode() for s in source)))
    tid = ctypes.c_int(clib.mpx_crelock_coord_sys(*(s.encode() for s in target)))
    assert sid.value > 0 and tid.value > 0
    clib.mpx_set_source(ctypes.byref(sid))
    clib.mpx_set_target(ctypes.byref(tid))
    out = np.full((3, len(x)), np.nan)
    status = np.zeros(len(x), dtype=np.int32)
    a, b, c = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
    for i in range(len(x)):
        xi, yi, zi = ctypes.c_double(x[i]), ctypes.c_double(y[i]), ctypes.c_double(z[i])
        s = clib.mpx_transform(
            ctypes.byref(xi), ctypes.byref(yi), ctypes.byref(zi),
            ctypes.byref(a), ctypes.byref(b), ctypes.byref(c),
        )
        status[i] = s
        if s == 0:
            out[:, i] = a.value, b.value, c.value
    clib.mpx_delete_coord_sys(ctypes.byref(sid))
    clib.mpx_delete_coord_sys(ctypes.byref(tid))
    return out, status


def split(text):
    parts = text.split(",") + [""]
    return parts[0], parts[1], parts[2]


@pytest.mark.parametrize("source,target", PAIRS)
def test_results_and_statuses_equal_the_c_api_bit_for_bit(clib, points, source, target):
    lon, lat, h = points
    t = mpxlib.Transformer(system(source), system(target))
    x, y, z, status = t.transform(lon, lat, h)
    expected, expected_status = c_api_per_point(clib, split(source), split(target), lon, lat, h)
    np.testing.assert_array_equal(status, expected_status)
    for got, want in zip((x, y, z), expected):
        assert np.array_equal(got.view(np.int64), want.view(np.int64)) or np.array_equal(
            got, want, equal_nan=True
        )
    # Failed points are NaN, converted ones finite: never a silent non-number.
    assert np.all(np.isfinite(x[status == 0])) and np.all(np.isnan(x[status != 0]))
    assert np.count_nonzero(status) >= 4


def test_good_points_agree_with_the_c_array_call(clib, points):
    lon, lat, h = points
    t = mpxlib.Transformer(system("ED50,GEODETIC,degrees"), system("WGS84,UTM31N"))
    good = t.transform(lon, lat, h)[3] == 0
    lon, lat, h = lon[good], lat[good], h[good]
    x, y, z, status = t.transform(lon, lat, h)
    sid = ctypes.c_int(clib.mpx_crelock_coord_sys(b"ED50", b"GEODETIC", b"degrees"))
    tid = ctypes.c_int(clib.mpx_crelock_coord_sys(b"WGS84", b"UTM31N", b""))
    clib.mpx_set_source(ctypes.byref(sid))
    clib.mpx_set_target(ctypes.byref(tid))
    interleaved = np.ascontiguousarray(np.stack((lon, lat, h), axis=1))
    out = np.empty_like(interleaved)
    n = ctypes.c_int(len(lon))
    dp = ctypes.POINTER(ctypes.c_double)
    assert clib.mpx_trans_array(ctypes.byref(n), interleaved.ctypes.data_as(dp), out.ctypes.data_as(dp)) == 0
    assert not status.any()
    # The array call's vector kernels agree with the per-point call (which
    # the binding runs, bit for bit) to well under a micrometre.
    np.testing.assert_allclose(np.stack((x, y, z), axis=1), out, rtol=1e-12, atol=1e-8)
    clib.mpx_delete_coord_sys(ctypes.byref(sid))
    clib.mpx_delete_coord_sys(ctypes.byref(tid))


def test_published_example_on_the_british_national_grid():
    # EPSG Guidance Note 7-2, Transverse Mercator example: 0.5 E 50.5 N on
    # OSGB36 gives E 577274.99 N 69740.50.
    t = mpxlib.Transformer(system("OSGB36,GEODETIC,degrees"), system("OSGB36,BNG"))
    x, y, z, status = t.transform(np.array([0.5]), np.array([50.5]))
    assert status[0] == 0 and z[0] == 0.0
    assert abs(x[0] - 577274.99) < 0.01 and abs(y[0] - 69740.50) < 0.01
    back = t.transform(x, y, inverse=True)
    # The classic series inverse: about 0.1 mm.
    assert abs(back[0][0] - 0.5) < 1e-8 and abs(back[1][0] - 50.5) < 1e-8


def test_any_layout_gives_the_same_results(points):
    lon, lat, h = points
    t = mpxlib.Transformer(system("ED50,GEODETIC,degrees"), system("WGS84,UTM31N"))
    flat = t.transform(lon, lat, h)
    strided = t.transform(lon[::2], lat[::2], h[::2])
    for a, b in zip(flat, strided):
        np.testing.assert_array_equal(a[::2], b)
    grid = t.transform(*(np.asfortranarray(v.reshape(40, 50)) for v in (lon, lat, h)))
    for a, b in zip(flat, grid):
        assert b.shape == (40, 50)
        np.testing.assert_array_equal(a.reshape(40, 50), b)
    x, y, z, status = t.transform(np.float64(2.0), np.float64(48.0))
    assert x.shape == () and np.isfinite(z) and status == 0
    empty = t.transform(np.empty(0), np.empty(0))
    assert all(a.size == 0 for a in empty)


@pytest.mark.parametrize(
    "x,y,z,error,text",
    [
        (np.arange(3), np.zeros(3), None, TypeError, "x must hold float64 values, not int64"),
        (np.zeros(3, np.float32), np.zeros(3), None, TypeError, "float32"),
        (np.zeros(3), np.zeros(4), None, ValueError, "y has shape (4,), x has (3,)"),
        (np.zeros(3), np.zeros(3), np.zeros((3, 1)), ValueError, "z has shape (3, 1)"),
        (np.zeros(3), ["a", "b", "c"], None, TypeError, "y must hold float64 values"),
    ],
)
def test_bad_arrays_raise_clear_exceptions(x, y, z, error, text):
    t = mpxlib.Transformer(system("WGS84,GEODETIC,degrees"), system("WGS84,UTM31N"))
    with pytest.raises(error) as caught:
        t.transform(x, y, z)
    assert text in str(caught.value)


def test_unknown_names_raise_the_library_message_chain():
    with pytest.raises(mpxlib.Error) as caught:
        mpxlib.CoordinateSystem("NO_SUCH_DATUM", "GEODETIC", "degrees")
    assert str(caught.value) == "U1:Datum not found\nS3:(mpx_crelock_coord_sys) database load error"
    with pytest.raises(mpxlib.Error) as caught:
        mpxlib.CoordinateSystem("WGS84", "NO_SUCH_GRID")
    assert "U1:Projection not found" in str(caught.value)
    with pytest.raises(mpxlib.Error, match="Name too big"):
        mpxlib.CoordinateSystem("A" * 20, "GEODETIC")
    with pytest.raises(TypeError):
        mpxlib.CoordinateSystem("WGS84", None)
    with pytest.raises(TypeError):
        mpxlib.Transformer("WGS84", "ED50")


def test_systems_are_released_with_their_last_python_object():
    # The library holds 19 systems: creating and dropping many must not
    # exhaust its table.
    for _ in range(60):
        t = mpxlib.Transformer(system("ED50,GEODETIC,degrees"), system("WGS84,UTM31N"))
        assert t.transform(np.array([2.0]), np.array([48.0]))[3][0] == 0
        del t
    kept = [system("WGS84,UTM%dN" % zone) for zone in range(1, 13)]
    assert len({s.attributes()["projection"]["name"] for s in kept}) == 12


def test_attributes_read_the_library_record():
    utm = system("ED50,UTM31N").attributes()
    assert utm["datum"]["name"] == "ED50" and utm["datum"]["radius"] == 6378388.0
    assert utm["units"]["horizontal_label"] == "metres"
    assert utm["projection"]["name"] == "UTM31N" and utm["projection"]["zone"] == 31
    assert "false_east" not in utm["projection"]
    derived = system("ED50,UTM31N").attributes(derived=True)["projection"]
    assert derived["false_east"] == 500000.0 and derived["scale_factor"] == 0.9996
    assert system("WGS84,GEODETIC,grads").attributes()["projection"] == {}
    assert system("WGS84,GEODETIC,grads").attributes()["units"]["horizontal_label"] == "grads"


def test_listings_show_the_database():
    assert {"name": "WGS84", "radius": 6378137.0} .items() <= mpxlib.datums()[0].items()
    assert any(p["name"] == "BNG" and p["type"] == "tranmerc" for p in mpxlib.projections())
    assert {"key": "OSGB36>WGS84", "change_type": "bursawol"} in mpxlib.changes()
    assert "tranmerc" in mpxlib.base_projections()


def test_start_up_choices_after_first_use_are_refused(tmp_path):
    system("WGS84,GEODETIC")
    with pytest.raises(mpxlib.Error, match="already in use"):
        mpxlib.set_database(tmp_path)
    with pytest.raises(mpxlib.Error, match="not found"):
        mpxlib.set_database(tmp_path / "absent")
    with pytest.raises(mpxlib.Error):
        mpxlib.setup(exact=True)
    mpxlib.set_database(os.environ["TORVA_ORTIX_DIR"])  # what is in force: accepted


def run_python(code, **env):
    return subprocess.run(
        [sys.executable, "-c", code], capture_output=True, text=True, timeout=120,
        env=dict(os.environ, **env),
    )


def test_exact_forms_and_database_are_chosen_before_first_use(tmp_path):
    # 20 degrees from the central meridian the classic series is metres
    # off; the exact form agrees with PROJ's etmerc to a millimetre there.
    code = (
        "import numpy as np, mpxlib, sys\n"
        "mpxlib.setup(sys.argv[1] if len(sys.argv) > 1 else None, exact=%s)\n"
        "t = mpxlib.Transformer(mpxlib.CoordinateSystem('WGS84', 'GEODETIC'),"
        " mpxlib.CoordinateSystem('WGS84', 'UTM31N'))\n"
        "print(repr(t.transform(np.array([23.0]), np.array([60.0]))[0][0]))\n"
    )
    classic = run_python(code % "False")
    exact = run_python(code % "True")
    assert classic.returncode == 0 and exact.returncode == 0, classic.stderr + exact.stderr
    assert abs(float(classic.stdout) - float(exact.stdout)) > 1.0
    empty = run_python(
        "import mpxlib\nmpxlib.set_database(%r)\nmpxlib.CoordinateSystem('WGS84', 'GEODETIC')"
        % str(tmp_path)
    )
    assert "GDB:opening the file" in empty.stderr or "Datum not found" in empty.stderr
