"""Points per second of the Python package: the C API's array call, the
local call, and a local dask.distributed cluster of 1, 2 and 4 worker
processes (one thread each), on the same conversion: ED50 degrees to
WGS 84 / UTM zone 31N (Bursa-Wolfe datum change, then Transverse Mercator).

    PYTHONPATH=build/python /usr/bin/python3 python/bench/scaling.py [POINTS]

On the cluster the points are made on the workers and the results stay
there (persisted), as when each worker reads and writes its own tiles; the
time is from submission to the last block done, cluster start excluded
(printed apart). Best of three runs of each.
"""

import ctypes
import os
import sys
import time

import numpy as np

import mpxlib

SOURCE = ("ED50", "GEODETIC", "degrees")
TARGET = ("WGS84", "UTM31N", "")
RUNS = 3
CHUNK = 500_000
# Every run draws new points (new task keys): a run must not find the
# results of the previous one still in the workers' memory.
_seeds = iter(range(1, 1_000_000))


def points(n, seed=0):
    rng = np.random.default_rng(seed)
    return rng.uniform(-5.0, 10.0, n), rng.uniform(38.0, 60.0, n), rng.uniform(0.0, 500.0, n)


def best(work, clock=time.perf_counter):
    times = []
    for _ in range(RUNS):
        start = clock()
        work()
        times.append(clock() - start)
    return min(times)


def both_clocks(work):
    """Wall time and CPU time of this process (the machine may be shared)."""
    return best(work), best(work, time.process_time)


def c_array_call(n):
    """mpx_trans_array on one interleaved array, through ctypes (one call)."""
    lib = ctypes.CDLL(os.path.join(os.path.dirname(mpxlib._mpxlib.__file__), "..", "..",
                                   "libmpxlib.so.0"))
    lib.mpx_crelock_coord_sys.argtypes = [ctypes.c_char_p] * 3
    s = ctypes.c_int(lib.mpx_crelock_coord_sys(*(v.encode() for v in SOURCE)))
    t = ctypes.c_int(lib.mpx_crelock_coord_sys(*(v.encode() for v in TARGET)))
    lib.mpx_set_source(ctypes.byref(s))
    lib.mpx_set_target(ctypes.byref(t))
    data = np.ascontiguousarray(np.stack(points(n), axis=1))
    out = np.empty_like(data)
    count = ctypes.c_int(n)
    dp = ctypes.POINTER(ctypes.c_double)

    def run():
        if lib.mpx_trans_array(ctypes.byref(count), data.ctypes.data_as(dp), out.ctypes.data_as(dp)):
            raise RuntimeError("mpx_trans_array failed")

    return both_clocks(run)


def local_call(n):
    t = mpxlib.Transformer(mpxlib.CoordinateSystem(*SOURCE), mpxlib.CoordinateSystem(*TARGET))
    x, y, z = points(n)
    return both_clocks(lambda: t.transform(x, y, z))


def cluster_call(n, workers):
    import dask.array as da
    from distributed import Client, LocalCluster, wait

    import mpxlib.dask as mdask

    start = time.perf_counter()
    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                           host="127.0.0.1", dashboard_address=None)
    client = Client(cluster)
    started = time.perf_counter() - start
    try:
        def run():
            rs = da.random.RandomState(next(_seeds))
            x = rs.uniform(-5.0, 10.0, n, chunks=CHUNK)
            y = rs.uniform(38.0, 60.0, n, chunks=CHUNK)
            z = rs.uniform(0.0, 500.0, n, chunks=CHUNK)
            result = client.persist(list(mdask.transform(SOURCE, TARGET, x, y, z)))
            wait(result)
            del result

        # The first run also starts each worker's library and database.
        return best(run), started
    finally:
        client.close()
        cluster.close()


def generation_only(n, workers):
    """The cost of making the random points on the cluster, to subtract."""
    import dask.array as da
    from distributed import Client, LocalCluster, wait

    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                           host="127.0.0.1", dashboard_address=None)
    client = Client(cluster)
    try:
        def run():
            rs = da.random.RandomState(next(_seeds))
            parts = [rs.uniform(0.0, 1.0, n, chunks=CHUNK) for _ in range(3)]
            result = client.persist(parts)
            wait(result)
            del result

        return best(run)
    finally:
        client.close()
        cluster.close()


def main():
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 10_000_000
    print("points %d, load average %s, %d cores" % (n, os.getloadavg(), os.cpu_count()))
    for name, call in (("C API mpx_trans_array", c_array_call), ("Transformer.transform", local_call)):
        wall, cpu = call(n)
        print("%-24s %8.3f s  %12.0f points/s  %6.1f ns/point  (CPU %.1f ns/point)"
              % (name, wall, n / wall, 1e9 * wall / n, 1e9 * cpu / n))
    for workers in (1, 2, 4):
        t, started = cluster_call(n, workers)
        g = generation_only(n, workers)
        print("cluster of %d workers     %8.3f s  %12.0f points/s  (start %.1f s; making the points"
              " alone %.3f s)" % (workers, t, n / t, started, g))


if __name__ == "__main__":
    main()
