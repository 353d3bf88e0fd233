"""Reads civsim's IC-7610 and IC-7300 with CHIRP's own CI-V drivers and with
tarnwick-cli, and compares memory by memory: frequency, base mode, tone mode,
the tone in use and the name. CHIRP finds the radio with the ID request
(19 00) first.

CHIRP's IC-7610 driver declares the 25-byte layout of our table, so every
memory it can read must agree. Its IC-7300 driver agrees only where it
declares the 39-byte layout with the transmit block; older CHIRP releases
(Debian's of 2022) read the IC-7300 with the 25-byte layout, and then the
name they show is the start of the transmit block: that is reported, not
counted as a disagreement.

Exit status 0 when everything compared agrees, 1 when not, 77 when CHIRP
cannot be imported (set CHIRP_PYTHONPATH to an unpacked CHIRP otherwise).
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

for extra in reversed(os.environ.get("CHIRP_PYTHONPATH", "").split(os.pathsep)):
    if extra:
        sys.path.insert(0, extra)
try:
    import serial
    from chirp.drivers import icomciv
except ImportError as e:
    print(f"skipped: CHIRP's CI-V driver cannot be imported ({e})")
    sys.exit(77)

BASE_MODE = {"LSB": "LSB", "USB": "USB", "AM": "AM", "CW": "CW", "RTTY": "RTTY", "FM": "FM",
             "CW-r": "CWR", "RTTY-r": "RTTYR", "LSB-D": "LSB", "USB-D": "USB", "AM-D": "AM",
             "FM-D": "FM"}
NUMBERS = list(range(1, 100)) + ["P1", "P2"]


def chirp_read(device, radio_class):
    pipe = serial.Serial(port=device, baudrate=115200, timeout=0.5)
    found = icomciv.probe_model(pipe)
    radio = radio_class(pipe)
    memories = {}
    for number in NUMBERS:
        try:
            memories[number] = radio.get_memory(number)
        except Exception as e:  # the driver's own limits (its mode list, a split memory)
            memories[number] = e
    pipe.close()
    return found, memories


def our_read(cli, device, model, folder):
    out = os.path.join(folder, model + ".txt")
    env = dict(os.environ, XDG_STATE_HOME=folder, XDG_DATA_HOME=folder)
    subprocess.run([cli, "read", "--device", device, "--rig", model, "--baud", "115200",
                    "--out", out], check=True, env=env, capture_output=True)
    rows = [line.split(";") for line in
            open(out, encoding="latin-1").read().splitlines()[1:]]
    return dict(zip(NUMBERS, rows))


def compare(model, ours, theirs, compare_names):
    agree, differ, unreadable = 0, [], []
    for number in NUMBERS:
        row, mem = ours[number], theirs[number]
        if isinstance(mem, Exception):
            unreadable.append(f"{number} ({type(mem).__name__}: {mem})")
            continue
        if mem.empty or row[1] == '""':
            same = mem.empty and row[1] == '""'
        else:
            tone_mode = "Tone" if row[7] != '""' else "TSQL" if row[8] != '""' else ""
            tone = float(row[7] if tone_mode == "Tone" else row[8]) if tone_mode else None
            same = (round(float(row[1].strip().replace(",", "")) * 1000) == mem.freq and
                    BASE_MODE[row[3]] == mem.mode and tone_mode == mem.tmode and
                    (tone is None or tone == (mem.rtone if tone_mode == "Tone" else mem.ctone)) and
                    (not compare_names or row[2].rstrip() == mem.name.rstrip()))
        if same:
            agree += 1
        else:
            differ.append(f"{number}: ours {';'.join(row)} | CHIRP {mem.freq} {mem.mode} "
                          f"{mem.tmode!r} {mem.name!r}")
    print(f"{model}: {agree} memories agree, {len(differ)} differ, "
          f"{len(unreadable)} CHIRP cannot read")
    for line in unreadable:
        print("  CHIRP cannot read memory", line)
    for line in differ:
        print("  differ", line)
    return not differ


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--civsim", required=True)
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    # Our table's IC-7300 layout carries the transmit block after the tones.
    long_7300 = "freq_tx" in icomciv.MEM_IC7300_FORMAT or "tx_freq" in icomciv.MEM_IC7300_FORMAT
    ok = True
    with tempfile.TemporaryDirectory() as folder:
        for model, radio_class in (("IC-7610", icomciv.Icom7610Radio),
                                   ("IC-7300", icomciv.Icom7300Radio)):
            link = os.path.join(folder, model)
            sim = subprocess.Popen([args.civsim, "--model", model, "--baud", "115200",
                                    "--link", link], stdout=subprocess.PIPE,
                                   stdin=subprocess.DEVNULL)
            try:
                sim.stdout.readline()  # the device path: it serves from now on
                found, theirs = chirp_read(link, radio_class)
                print(f"{model}: CHIRP's probe (19 00) finds {found.MODEL if found else None}")
                ok = ok and found is not None and found.MODEL == model
                ours = our_read(args.cli, link, model, folder)
            finally:
                sim.terminate()
                sim.wait()
            names = model == "IC-7610" or long_7300
            if not names:
                print("IC-7300: this CHIRP reads the IC-7300 with the older 25-byte layout "
                      "(no transmit block); its names are the start of the transmit block, "
                      "so names are not compared")
            ok = compare(model, ours, theirs, names) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
