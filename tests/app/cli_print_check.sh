#!/bin/sh
# tarnwick-cli print through its helper program: a bank file becomes a PDF
# holding its names, a missing file fails with a message, a PDF that cannot
# be written whole or a stop leaves the older one as it was, and the command
# line itself loads no Qt library (that is why the helper exists).
# Usage: cli_print_check.sh TARNWICK-CLI
set -u
cli=$1
command -v pdftotext >/dev/null || { echo "pdftotext (poppler-utils) is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf '#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone Squelch;Select;Changed\r\n' >"$work/bank.txt"
printf '1;   3,650.00;80M NET   ;LSB;Normal;Simp;"";"";"";"";0\r\n' >>"$work/bank.txt"
printf '2;  14,195.00;CONTEST   ;USB;Normal;Simp;"";"";"";*2;0\r\n' >>"$work/bank.txt"

printf '3;"";"";"";"";"";"";"";"";"";0\r\n' >>"$work/bank.txt"
"$cli" print --in "$work/bank.txt" --out "$work/bank.pdf" --rig IC-7300 || fail "print exited $?"
text=$(pdftotext -layout "$work/bank.pdf" -) || fail "pdftotext"
for want in "80M NET" "14,195.00" "*2" "Frequency (kHz)"; do
  echo "$text" | grep -qF -- "$want" || fail "\"$want\" is not in the PDF"
done
# The empty memory 3 and the Changed column only when asked (Changed never).
echo "$text" | grep -qE '^ *3( |$)' && fail "an empty memory was printed"
echo "$text" | grep -qF Changed && fail "the Changed column was printed"
"$cli" print --in "$work/bank.txt" --out "$work/all.pdf" --rig IC-7300 --all-rows || fail "--all-rows"
pdftotext -layout "$work/all.pdf" - | grep -qE '^ *3( |$)' || fail "--all-rows left memory 3 out"

# A PDF that cannot be written whole fails and leaves the older one as it was.
cp "$work/bank.pdf" "$work/old.pdf"
(ulimit -f 4; "$cli" print --in "$work/bank.txt" --out "$work/bank.pdf" --all-rows) 2>/dev/null
[ $? -eq 2 ] || fail "a file too large for the disk should exit 2"
cmp -s "$work/bank.pdf" "$work/old.pdf" || fail "the older PDF was changed"
"$cli" print --in "$work/bank.txt" --out /dev/full 2>"$work/err"
[ $? -eq 2 ] || fail "--out /dev/full should exit 2"
ls -a "$work" | grep -q '\.tmp' && fail "a temporary file was left: $(ls -a "$work")"

# SIGTERM while the helper paints a long list: both end, nothing is left.
seq 20000 | awk '{ printf "%d;  14,%03d.00;CH%d;USB;Normal;Simp;\"\";\"\";\"\";\"\";0\r\n", $1, $1 % 1000, $1 }' >"$work/long.txt"
"$cli" print --in "$work/long.txt" --out "$work/bank.pdf" 2>"$work/err" &
pid=$!
# Once the helper runs (a fast machine prints short lists before any fixed pause ends).
for _ in $(seq 100); do pgrep -f "tarnwick-print $work" >/dev/null && break; sleep 0.05; done
sleep 0.2
kill -TERM $pid
wait $pid
rc=$?
[ $rc -eq 143 ] || fail "SIGTERM during print exited $rc: $(cat "$work/err")"
grep -q "Stopped by SIGTERM" "$work/err" || fail "the stop is not told"
sleep 0.2
pgrep -f "tarnwick-print $work" >/dev/null && fail "the print helper goes on"
cmp -s "$work/bank.pdf" "$work/old.pdf" || fail "the stopped print changed the PDF"
ls -a "$work" | grep -q '\.tmp' && fail "a temporary file was left: $(ls -a "$work")"

"$cli" print --in "$work/missing.txt" --out "$work/m.pdf" 2>"$work/err"
[ $? -eq 2 ] || fail "a missing file should exit 2"
grep -q "missing.txt" "$work/err" || fail "the message does not name the file"
[ ! -e "$work/m.pdf" ] || fail "a PDF was written for a missing file"

if command -v ldd >/dev/null && ldd "$cli" | grep -q Qt; then fail "tarnwick-cli links Qt"; fi
echo "PASS"
