"""Checks tarnwick-cli's CHIRP CSV import and export against CHIRP itself.

Every stock list CHIRP ships, and our own fixtures, are imported for every
radio model into both kinds of table: the report must account for each row
of the list. The resulting file is exported, and CHIRP's own CSV driver
must read that list back with the same channels as our table, and, for rows
imported unchanged, the same channels as the list we started from.
"""

import argparse
import builtins
import csv
import glob
import logging
import os
import re
import subprocess
import sys
import tempfile

from chirp import chirp_common
from chirp.drivers import generic_csv


def open_without_universal_newlines(path, mode="r", *args, **kwargs):
    # CHIRP 20221106 opens lists with mode "rU", which Python 3.11 refuses.
    if "b" not in mode:
        kwargs.setdefault("encoding", "utf-8")
    return builtins.open(path, mode.replace("U", ""), *args, **kwargs)


generic_csv.open = open_without_universal_newlines

MODELS = ["IC-746", "IC-746Pro", "IC-756Pro", "IC-756ProII", "IC-910", "IC-R75"]
SUMMARY = re.compile(r"^Imported (\d+) of (\d+) rows? of .* (\d+) left out, (\d+) changed$")
ROW_LINE = re.compile(r" line (\d+) \(Location [^)]*\)(?: \".*\")?: (left out|changed): ")
# Our modes with their filter as CHIRP names them.
CHIRP_MODE = {("FM", True): "NFM", ("AM", True): "NAM", ("CW", True): "NCW",
              ("CW-r", True): "NCWR", ("CW-r", False): "CWR", ("RTTY-r", False): "RTTYR",
              ("USB-D", False): "DIG", ("USB-D", True): "DIG", ("FM-D", False): "PKT",
              ("FM-D", True): "PKT"}

failures = []
compared = {"table": 0, "source": 0}


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def stock_lists():
    candidates = ["/usr/share/chirp/stock_configs",
                  os.path.join(os.path.dirname(chirp_common.__file__), "stock_configs"),
                  os.path.join(os.path.dirname(chirp_common.__file__), "share", "stock_configs")]
    for folder in candidates:
        lists = sorted(glob.glob(os.path.join(folder, "*.csv")))
        if lists:
            return lists
    sys.exit("CHIRP is installed but its stock_configs folder was not found")


def data_rows(path):
    """(line, fields) of each row of a list that holds anything, header excluded."""
    with builtins.open(path, encoding="utf-8-sig", newline="") as f:
        reader = csv.reader(f)
        rows = []
        first = True
        start = 1
        for fields in reader:
            line, start = start, reader.line_num + 1
            if not any(x.strip(" \t") for x in fields):
                continue
            if first:
                first = False
                continue
            rows.append((line, fields))
        return rows


def hz_of_cell(text):
    """A Frequency cell written under the C locale, in hertz."""
    text = text.strip().replace(",", "")
    whole, _, frac = text.partition(".")
    return int(whole or 0) * 1000 + int((frac + "000")[:3])


def memory_list(path):
    with builtins.open(path, encoding="latin-1", newline="") as f:
        return [line.split(";") for line in f.read().split("\r\n")[1:] if line]


def load_with_chirp(path):
    radio = generic_csv.CSVRadio(None)
    radio.load(path)
    return radio


def expected_chirp_mode(mode, filt):
    return CHIRP_MODE.get((mode, filt == "Narrow"),
                          {"LSB-D": "LSB", "AM-D": "NAM" if filt == "Narrow" else "AM"}.get(mode, mode))


def strip_quotes(cell):
    return "" if cell == '""' else cell


def compare_with_table(table_row, mem, where):
    """CHIRP's memory against the row of our memory list it was exported from."""
    compared["table"] += 1
    cells = [strip_quotes(c) for c in table_row]
    rx = hz_of_cell(cells[1])
    check(mem.freq == rx, f"{where}: frequency {mem.freq} != {rx}")
    check(mem.name == cells[2].rstrip(" "), f"{where}: name {mem.name!r} != {cells[2]!r}")
    check(mem.mode == expected_chirp_mode(cells[3], cells[4]),
          f"{where}: mode {mem.mode} for {cells[3]} {cells[4]}")
    tx = hz_of_cell(cells[6]) if cells[6] else 0
    duplex = {"DUP-": "-", "DUP+": "+", "Split": "split"}.get(cells[5], "")
    check(mem.duplex == duplex, f"{where}: duplex {mem.duplex!r} for {cells[5]}")
    if duplex in ("-", "+"):
        check(mem.offset == abs(tx - rx), f"{where}: offset {mem.offset} for tx {tx}")
    elif duplex == "split":
        check(mem.offset == tx, f"{where}: split to {mem.offset}, not {tx}")
    if cells[8]:
        check(mem.tmode == "TSQL" and mem.ctone == float(cells[8]), f"{where}: TSQL {mem.ctone}")
    elif cells[7]:
        check(mem.tmode == "Tone" and mem.rtone == float(cells[7]), f"{where}: Tone {mem.rtone}")
    else:
        check(mem.tmode == "", f"{where}: tone mode {mem.tmode!r} for no tone")


def compare_with_source(source, mem, where):
    """A row imported unchanged is the same channel as in the list it came from."""
    compared["source"] += 1
    for attr in ("freq", "name", "mode", "duplex", "tmode"):
        check(getattr(mem, attr) == getattr(source, attr),
              f"{where}: {attr} {getattr(mem, attr)!r} != {getattr(source, attr)!r}")
    if source.duplex in ("-", "+", "split"):
        check(mem.offset == source.offset, f"{where}: offset {mem.offset} != {source.offset}")
    if source.tmode == "Tone":
        check(mem.rtone == source.rtone, f"{where}: rtone {mem.rtone} != {source.rtone}")
    if source.tmode == "TSQL":
        check(mem.ctone == source.ctone, f"{where}: ctone {mem.ctone} != {source.ctone}")


def run(cli, args, env):
    return subprocess.run([cli] + args, capture_output=True, text=True, env=env)


def check_list(cli, source, model, into_rig, work, env):
    name = os.path.basename(source)
    where = f"{name} into the {'rig table' if into_rig else 'permanent file'} of the {model}"
    table = os.path.join(work, "table.txt")
    exported = os.path.join(work, "exported.csv")
    for path in (table, exported):
        if os.path.exists(path):
            os.remove(path)

    target = ["--out", table] if into_rig else ["--permanent", table]
    result = run(cli, ["import", "--rig", model, "--in", source] + target, env)
    lines = result.stderr.splitlines()
    summary = SUMMARY.match(lines[-1]) if lines else None
    if not check(summary, f"{where}: no summary in {result.stderr!r}"):
        return
    imported, total, left_out, changed = map(int, summary.groups())
    rows = data_rows(source)
    check(total == len(rows), f"{where}: report counts {total} rows, the list has {len(rows)}")
    check(imported + left_out == total, f"{where}: {imported} + {left_out} != {total}")
    named = {}
    for line in lines[:-1]:
        m = ROW_LINE.search(line)
        if check(m, f"{where}: unexpected report line {line!r}"):
            named[int(m.group(1))] = m.group(2)
    check(sum(1 for v in named.values() if v == "left out") == left_out,
          f"{where}: {left_out} left out, but not each named")
    check(sum(1 for v in named.values() if v == "changed") == changed,
          f"{where}: {changed} changed, but not each named")
    check(result.returncode == (5 if left_out else 0),
          f"{where}: exit {result.returncode} with {left_out} left out")
    if imported == 0:
        return

    ours = memory_list(table)
    occupied = [i + 1 for i, row in enumerate(ours) if strip_quotes(row[1]).strip()]
    check(len(occupied) == imported, f"{where}: {len(occupied)} rows hold channels, not {imported}")

    result = run(cli, ["export", "--rig", model, "--in", table, "--out", exported], env)
    if not check(result.returncode == 0, f"{where}: export failed: {result.stderr}"):
        return
    radio = load_with_chirp(exported)
    check(not radio.errors, f"{where}: CHIRP could not read rows of our list: {radio.errors}")
    mems = {m.number: m for m in radio.memories if not m.empty}
    check(sorted(mems) == occupied, f"{where}: CHIRP read rows {sorted(mems)}, we wrote {occupied}")
    for number in occupied:
        if number in mems:
            compare_with_table(ours[number - 1], mems[number], f"{where}, row {number}")

    try:
        original = load_with_chirp(source)
    except Exception:
        return  # CHIRP itself cannot read this list
    kept = [(line, fields) for line, fields in rows if named.get(line) != "left out"]
    header = next(csv.reader(builtins.open(source, encoding="utf-8-sig")))
    location = [h.strip().lower() for h in header].index("location")
    for index, (line, fields) in enumerate(kept):
        if line in named:
            continue  # changed, and said so
        number = int(fields[location]) if into_rig else index + 1
        source_mem = original.memories[int(fields[location])]
        if number in mems and not source_mem.empty:
            compare_with_source(source_mem, mems[number], f"{where}, line {line}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    logging.disable(logging.CRITICAL)  # CHIRP logs each row it cannot read
    env = dict(os.environ, LC_ALL="C")
    lists = stock_lists() + sorted(glob.glob(os.path.join(args.data, "*.csv")))
    with tempfile.TemporaryDirectory() as work:
        for source in lists:
            for model in MODELS:
                for into_rig in (True, False):
                    check_list(args.cli, source, model, into_rig, work, env)
    for f in failures[:50]:
        print("FAIL:", f)
    print(f"{len(lists)} lists, {len(MODELS)} models, both tables: CHIRP read back "
          f"{compared['table']} channels as we wrote them, {compared['source']} as in their "
          f"list: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
