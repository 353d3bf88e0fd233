#!/bin/sh
# Runs chirp_peer_check.py with a python3 that can import CHIRP (the Debian
# package installs it for the system's python3), or skips, saying why.
cli="$1"
here="$(dirname "$0")"
for py in python3 /usr/bin/python3; do
  if "$py" -c "import chirp.drivers.generic_csv" >/dev/null 2>&1; then
    exec "$py" "$here/chirp_peer_check.py" --cli "$cli" --data "$here/data"
  fi
done
echo "skipped: CHIRP is not importable from python3 (apt-get install chirp to run this check)"
exit 77
