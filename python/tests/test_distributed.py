"""The dask layer on a local cluster of two worker processes (loopback
only): results equal to the local call bit for bit, statuses included."""
import numpy as np
import pytest

import mpxlib

dask = pytest.importorskip("dask")
distributed = pytest.importorskip("distributed")
pd = pytest.importorskip("pandas")
import dask.array as da  # noqa: E402
import dask.dataframe as dd  # noqa: E402

import mpxlib.dask as mdask  # noqa: E402

pytestmark = pytest.mark.distributed

SOURCE = ("ED50", "GEODETIC", "degrees")
TARGET = ("WGS84", "UTM31N", "")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(
        n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
        dashboard_address=None, death_timeout=60,
    )
    with cluster, distributed.Client(cluster, timeout=60) as c:
        yield c


def local(x, y, z=None, inverse=False):
    t = mpxlib.Transformer(mpxlib.CoordinateSystem(*SOURCE), mpxlib.CoordinateSystem(*TARGET))
    return t.transform(x, y, z, inverse=inverse)


def same(a, b):
    return a.dtype == b.dtype and np.array_equal(a.view(np.uint8), b.view(np.uint8))


def test_arrays_equal_the_local_call_bit_for_bit(client, points):
    lon, lat, h = points
    result = dask.compute(
        *mdask.transform(SOURCE, TARGET, da.from_array(lon, chunks=300),
                         da.from_array(lat, chunks=300), da.from_array(h, chunks=300)),
        scheduler=client,
    )
    assert all(same(a, b) for a, b in zip(result, local(lon, lat, h)))
    # Both workers took part, each with its own library.
    assert len(client.run(lambda: sorted(mdask._transformers))) == 2


def test_inverse_without_heights_equals_the_local_call(client, points):
    lon, lat, _ = points
    x, y, _, status = local(lon, lat)
    back = dask.compute(
        *mdask.transform(SOURCE, TARGET, da.from_array(x, chunks=500), da.from_array(y, chunks=500),
                         inverse=True),
        scheduler=client,
    )
    assert all(same(a, b) for a, b in zip(back, local(x, y, inverse=True)))
    assert np.count_nonzero(back[3] == 0) > 1900


def test_dataframe_columns_are_converted_and_others_pass_through(client, points):
    lon, lat, h = points
    frame = pd.DataFrame({"name": np.arange(lon.size), "lon": lon, "lat": lat, "h": h})
    df = dd.from_pandas(frame, npartitions=4)
    out = mdask.transform_dataframe(df, SOURCE, TARGET, columns=("lon", "lat", "h")).compute(
        scheduler=client
    )
    x, y, z, status = local(lon, lat, h)
    assert list(out.columns) == ["name", "lon", "lat", "h", "status"]
    assert (out["name"].to_numpy() == frame["name"].to_numpy()).all()
    for column, want in (("lon", x), ("lat", y), ("h", z), ("status", status)):
        assert same(out[column].to_numpy(), want)


def test_unknown_system_fails_the_computation_with_the_library_message(client):
    lazy = mdask.transform(("NOWHERE", "GEODETIC", ""), TARGET,
                           da.zeros(10, chunks=5), da.zeros(10, chunks=5))
    with pytest.raises(mpxlib.Error, match="Datum not found"):
        dask.compute(*lazy, scheduler=client)
    with pytest.raises(TypeError):
        mdask.transform(SOURCE, TARGET, da.zeros(10, dtype=int), da.zeros(10))
    frame = dd.from_pandas(pd.DataFrame({"x": [1.0], "y": [2.0], "z": [3.0]}), npartitions=1)
    with pytest.raises(ValueError, match="already has a column z"):
        mdask.transform_dataframe(frame, SOURCE, TARGET, columns=("x", "y"))
