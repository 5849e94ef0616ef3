#!/usr/bin/env python3
"""Writes the UTM records of the bundled database.

data/utm.dat gets one record per zone and hemisphere (zones 1 to 60, north
and south: WGS 84 / UTM zone 1N to 60S are EPSG:32601-32660 and
EPSG:32701-32760). In data/project.dat the UTM records are replaced and every
other record is kept, so the script can be run again at any time:

    python3 tools/gen_utm_tables.py [DATA_DIR]
"""
import os
import sys

ZONES = range(1, 61)
HEMISPHERES = (("N", 32600), ("S", 32700))  # letter, EPSG code base


def utm_names():
    for hemisphere, code_base in HEMISPHERES:
        for zone in ZONES:
            yield f"UTM{zone}{hemisphere}", zone, hemisphere, code_base + zone


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "data")
    project_path = os.path.join(data_dir, "project.dat")
    with open(project_path) as project:
        header, *records = project.read().splitlines()
    kept = [r for r in records if r.split(",")[1:2] != ["utm"]]
    with open(project_path, "w", newline="\n") as project:
        project.write(header + "\n")
        for record in kept:
            project.write(record + "\n")
        for name, _, _, code in utm_names():
            # Valid on any datum: no radius or eccentricity to compare.
            project.write(f"{name},utm,1,,,GREENWICH,EPSG:{code}\n")
    with open(os.path.join(data_dir, "utm.dat"), "w", newline="\n") as utm:
        # hemisphere is not the last column: a last column keeps the line end.
        utm.write("name,zone,hemisphere,source\n")
        for name, zone, hemisphere, code in utm_names():
            utm.write(f"{name},{zone},{hemisphere},EPSG:{code}\n")


if __name__ == "__main__":
    main()
