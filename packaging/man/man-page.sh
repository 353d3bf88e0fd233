#!/bin/sh
# The manual pages of tarnwick-cli and civsim are their --help texts set in
# troff, so that the two cannot say different things. The pages are kept in
# the repository, next to this script; a test compares them with what the
# programs print.
#   man-page.sh PROGRAM > PAGE        e.g. build/test/cli/tarnwick-cli > packaging/man/tarnwick-cli.1
#   man-page.sh --check PROGRAM PAGE  exits 1, with the differences, when PAGE is out of date
set -eu

usage() {
  echo "usage: man-page.sh [--check] PROGRAM [PAGE]" >&2
  exit 2
}

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi
[ $# -ge 1 ] || usage
program=$1
name=$(basename "$program")

case "$name" in
  tarnwick-cli)
    summary="read, store and tune the memory channels of Icom radios over CI-V"
    see_also="tarnwick (1), civsim (1)" ;;
  civsim)
    summary="an Icom radio on a pseudo-terminal, for trying Tarnwick without a radio"
    see_also="tarnwick (1), tarnwick-cli (1)" ;;
  *) echo "man-page.sh: no manual page is made for $name" >&2
     exit 2 ;;
esac

page() {
  help=$("$program" --help) || { echo "man-page.sh: $program --help failed" >&2; exit 1; }
  printf '%s\n' "$help" | LC_ALL=C awk -v name="$name" -v summary="$summary" -v see_also="$see_also" '
    # Backslashes and hyphens as troff wants them, and no request at a line start.
    function esc(s) {
      gsub(/\\/, "\\e", s)
      gsub(/-/, "\\-", s)
      if (s ~ /^[.\047]/) s = "\\&" s
      return s
    }
    # Options in bold, their arguments (words in capitals) in italics.
    function marked(s,   n, words, i, w, lead, core, tail, out) {
      n = split(s, words, / +/)
      out = ""
      for (i = 1; i <= n; i++) {
        w = words[i]
        match(w, /^[[(|]*/); lead = substr(w, 1, RLENGTH)
        core = substr(w, length(lead) + 1)
        tail = core; sub(/^.*[^])|]/, "", tail)
        core = substr(core, 1, length(core) - length(tail))
        if (core ~ /^-/) core = "\\fB" esc(core) "\\fR"
        else if (core ~ /^[A-Z][A-Z0-9]*([.,][A-Za-z0-9,]+)?$/ && core != "") core = "\\fI" esc(core) "\\fR"
        else core = esc(core)
        out = out (i > 1 ? " " : "") esc(lead) core esc(tail)
      }
      return out
    }
    function indent(s) { match(s, /^ */); return RLENGTH }
    function flush_item() {
      if (tag != "") { print ".TP"; print marked(tag); print esc(text) }
      tag = ""; text = ""
    }
    function end_block() {
      flush_item()
      if (quoted) { print ".RE"; quoted = 0 }
      in_par = 0
    }
    BEGIN {
      print ".\\\" Made by packaging/man/man-page.sh from " name " --help; do not edit."
      print ".TH " toupper(esc(name)) " 1 \"\" \"Tarnwick\" \"User Commands\""
      print ".SH NAME"
      print esc(name) " \\- " esc(summary)
      print ".SH SYNOPSIS"
      print ".nh"
      print ".ad l"
      state = "usage"
    }
    state == "usage" {
      line = $0
      if (line ~ /^[Uu]sage:/) { sub(/^[Uu]sage: */, "", line); if (line == "") next }
      else if (line ~ /^ *$/ || indent(line) == 0) {
        state = "body"
        print ".ad"
        print ".hy"
        print ".SH DESCRIPTION"
        fresh = 1
      }
      if (state == "usage") {
        sub(/^ +/, "", line)
        if (index(line, name " ") == 1 || line == name) {
          if (synopsis++) print ".br"
          print "\\fB" esc(name) "\\fR " marked(substr(line, length(name) + 2))
        } else {
          print marked(line)
        }
        next
      }
    }
    /^ *$/ { end_block(); next }
    {
      n = indent($0)
      line = substr($0, n + 1)
      # More indented than the option before it: the option goes on.
      if (tag != "" && n > tag_indent) { text = text " " line; next }
      if (n == 0) {
        flush_item()
        if (quoted) end_block()
        if (line ~ /^[a-z]+:$/) {
          print ".SS " toupper(substr(line, 1, 1)) substr(line, 2, length(line) - 2)
          in_par = 0
          fresh = 1
          next
        }
        # A new paragraph, unless a heading has just begun one.
        if (!in_par && !fresh) print ".PP"
        in_par = 1
        fresh = 0
        print esc(line)
        next
      }
      # An option or argument: its name, two spaces (or the first word that
      # is not a name), then what it does.
      if (line ~ /^(-|[A-Z][A-Z])/) {
        flush_item()
        if (quoted) end_block()
        if (match(line, /  +/)) {
          tag = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH)
        } else {
          k = split(line, words, / /)
          tag = words[1]
          for (i = 2; i <= k && words[i] !~ /[a-z]/; i++) tag = tag " " words[i]
          text = ""
          for (; i <= k; i++) text = text (text == "" ? "" : " ") words[i]
        }
        tag_indent = n
        in_par = 0
        fresh = 0
        next
      }
      # Anything else indented (an example, a list of codes) is set in from
      # the text; an example command keeps a line of its own.
      flush_item()
      if (!quoted) { print ".RS"; quoted = 1 }
      fresh = 0
      print esc(line)
      if (index(line, name " ") == 1) print ".br"
    }
    END {
      end_block()
      print ".SH SEE ALSO"
      n = split(see_also, refs, /, /)
      for (i = 1; i <= n; i++) {
        split(refs[i], parts, / /)
        print ".BR " esc(parts[1]) " " parts[2] (i < n ? "," : "")
      }
    }
  '
}

if [ $check -eq 0 ]; then
  page
  exit 0
fi

[ $# -eq 2 ] || usage
expected=$2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
page >"$actual" || exit 1
if ! diff -u "$expected" "$actual"; then
  echo "$expected is not what $name --help says; make it again:" >&2
  echo "  packaging/man/man-page.sh $program > $expected" >&2
  exit 1
fi
