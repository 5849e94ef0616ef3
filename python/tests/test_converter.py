"""python3 -m mpxlib against the converter mpxcs on the bundled samples."""
import os
import subprocess
import sys

import pytest

SAMPLES = os.path.join(os.environ.get("MPX_PYTHON_TEST_DATA", ""), "samples")


def run(args, stdin):
    return subprocess.run([sys.executable, "-m", "mpxlib"] + args, input=stdin,
                          capture_output=True, text=True, timeout=120)


@pytest.mark.parametrize("sample,source,target", [
    ("utm31n_ed50.txt", "ED50,UTM31N", "WGS84,GEODETIC"),
    ("europe_ed50.txt", "ED50,GEODETIC", "WGS84,GEODETIC"),
])
def test_csv_output_equals_mpxcs(sample, source, target):
    mpxcs = os.environ.get("MPXCS")
    if not mpxcs or not os.path.isdir(SAMPLES):
        pytest.skip("mpxcs or the samples not given")
    lines = [l.split() for l in open(os.path.join(SAMPLES, sample)) if l.strip() and l[0] != "#"]
    names = ["x", "y", "z", "name"] if len(lines[0]) == 4 else ["x", "y", "name"]
    csv_text = ",".join(["id"] + names) + "\n" + "".join(
        ",".join([str(i)] + l) + "\n" for i, l in enumerate(lines))
    got = run([source, target], csv_text)
    assert got.returncode == 0, got.stderr
    want = subprocess.run([mpxcs, source, target, os.path.join(SAMPLES, sample)],
                          capture_output=True, text=True, timeout=60).stdout
    want = [l.split() for l in want.splitlines() if l.strip() and l[0] != "#"]
    rows = [r.split(",") for r in got.stdout.splitlines()]
    assert rows[0] == ["id"] + names
    for i, (row, expected) in enumerate(zip(rows[1:], want)):
        assert row[0] == str(i) and row[-1] == expected[-1]
        assert row[1:-1] == expected[:-1]


def test_failed_points_are_marked_and_the_run_goes_on():
    got = run(["-e", "NA", "--columns", "e,n", "OSGB36,GEODETIC", "OSGB36,BNG"],
              "n,e,code\n50.5,0.5,a\nx,1,b\n50.5,nan,c\n")
    assert got.returncode == 2
    assert got.stdout.splitlines() == ["n,e,code", "69740.492,577274.984,a", "NA,NA,b", "NA,NA,c"]
    assert got.stderr.splitlines() == [
        "mpxlib: -:3: a coordinate is missing or not a number",
        "mpxlib: -:4: a coordinate is not finite",
    ]


def test_usage_and_database_errors_exit_1():
    assert run(["WGS84", "WGS84,GEODETIC"], "x,y\n").returncode == 1
    bad = run(["NOWHERE,GEODETIC", "WGS84,GEODETIC"], "x,y\n1,2\n")
    assert bad.returncode == 1 and "Datum not found" in bad.stderr
    missing = run(["WGS84,GEODETIC", "WGS84,UTM31N"], "lon,lat\n1,2\n")
    assert missing.returncode == 1 and "no column named x, y" in missing.stderr
