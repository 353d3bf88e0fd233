#!/bin/sh
# tarnwick-cli print through its helper program: a bank file becomes a PDF
# holding its names, a missing file fails with a message, and the command
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

"$cli" print --in "$work/bank.txt" --out "$work/bank.pdf" --rig IC-7300 || fail "print exited $?"
text=$(pdftotext "$work/bank.pdf" -) || fail "pdftotext"
for want in "80M NET" "14,195.00" "*2"; do
  echo "$text" | grep -qF -- "$want" || fail "\"$want\" is not in the PDF"
done

"$cli" print --in "$work/missing.txt" --out "$work/m.pdf" 2>"$work/err"
[ $? -eq 2 ] || fail "a missing file should exit 2"
grep -q "missing.txt" "$work/err" || fail "the message does not name the file"
[ ! -e "$work/m.pdf" ] || fail "a PDF was written for a missing file"

if command -v ldd >/dev/null && ldd "$cli" | grep -q Qt; then fail "tarnwick-cli links Qt"; fi
echo "PASS"
