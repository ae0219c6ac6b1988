#!/bin/bash
# check_printed_output.sh SAMPLE_EXE WORK_DIR
# Prints the sample documents to PostScript files under Wine, converts them with ps2pdf and checks
# the text pdftotext finds: lines, order, pages, and the first line 20 mm from the printable
# area's top-left corner.
set -u
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run"
sample=$1
work=$2
mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }

# run CASE -> $work/CASE.prn, .pdf, .txt; prints the sample's output
run_case() {
  local name=$1
  rm -f "$work/$name".*
  TOLVARINTH_PRINT_OUTPUT="$(windows_path "$work/$name.prn")" \
    "$wine_run" "$sample" --gtest_filter="PrintedOutputSample.$name" > "$work/$name.log" 2>&1
  local status=$?
  cat "$work/$name.log"
  [ $status = 0 ] || { fail "$name: the sample failed ($status)"; return 1; }
  [ -s "$work/$name.prn" ] || { fail "$name: no output file"; return 1; }
  ps2pdf "$work/$name.prn" "$work/$name.pdf" || { fail "$name: ps2pdf"; return 1; }
  pdftotext -layout "$work/$name.pdf" "$work/$name.txt" || { fail "$name: pdftotext"; return 1; }
}

# page_lines FILE N: the non-empty lines of page N, trailing blanks removed
page_lines() {
  awk -v want="$2" 'BEGIN { RS = "\f" } NR == want { print }' "$1" | sed -e 's/[[:space:]]*$//' -e '/^$/d'
}

pages() { awk 'BEGIN { RS = "\f" } /[^[:space:]]/ { n++ } END { print n + 0 }' "$1"; }

expected_lines() {
  echo "第一行 first line"
  for i in $(seq 2 70); do
    [ "$i" = 5 ] && continue
    if [ "$i" = 6 ]; then echo "tab here 6"; else echo "line $i"; fi
  done
}

# --- the whole document ---
if run_case WholeDocument; then
  txt="$work/WholeDocument.txt"
  [ "$(pages "$txt")" = 2 ] || fail "WholeDocument: $(pages "$txt") pages, expected 2"
  # Compared without blanks: how a tab shows depends on the font.
  { page_lines "$txt" 1; page_lines "$txt" 2; } | sed 's/[[:space:]]//g' > "$work/got.txt"
  expected_lines | sed 's/[[:space:]]//g' > "$work/expected.txt"
  diff -u "$work/expected.txt" "$work/got.txt" > "$work/lines.diff" || { fail "WholeDocument: lines differ"; cat "$work/lines.diff"; }
  first_page=$(page_lines "$txt" 1 | wc -l)
  echo "WholeDocument: $first_page + $(page_lines "$txt" 2 | wc -l) lines"

  # The empty line is one line high: from line 4 to line 6 is twice a line step.
  pdftotext -bbox "$work/WholeDocument.pdf" "$work/WholeDocument.html"
  read -r offset_x offset_y < <(sed -n 's/^printable-offset-mm \([0-9.]*\) \([0-9.]*\).*/\1 \2/p' "$work/WholeDocument.log" | tr -d '\r')
  first=$(grep -m1 '<word ' "$work/WholeDocument.html")
  x_min=$(sed -n 's/.*xMin="\([0-9.]*\)".*/\1/p' <<<"$first")
  y_min=$(sed -n 's/.*yMin="\([0-9.]*\)".*/\1/p' <<<"$first")
  awk -v x="$x_min" -v y="$y_min" -v ox="${offset_x:-0}" -v oy="${offset_y:-0}" 'BEGIN {
    mx = x * 25.4 / 72 - ox; my = y * 25.4 / 72 - oy;
    printf "first word at %.2f mm, %.2f mm from the printable corner\n", mx, my;
    exit !(mx > 19 && mx < 21 && my > 19 && my < 21) }' || fail "WholeDocument: first line not at 20 mm"
  y_of() { grep "<word [^>]*>$1</word>" "$work/WholeDocument.html" | head -1 | sed -n 's/.*yMin="\([0-9.]*\)".*/\1/p'; }
  awk -v l3="$(y_of 3)" -v l4="$(y_of 4)" -v t6="$(y_of tab)" 'BEGIN {
    step = l4 - l3; gap = t6 - l4;
    printf "line step %.2f pt, gap over the empty line %.2f pt\n", step, gap;
    exit !(step > 0 && gap > 1.9 * step && gap < 2.1 * step) }' || fail "WholeDocument: the empty line is not one line high"
fi

# --- stopped when page 2 starts: page 2 holds the one line that was being printed ---
if run_case StoppedOnPageTwo; then
  txt="$work/StoppedOnPageTwo.txt"
  [ "$(pages "$txt")" = 2 ] || fail "StoppedOnPageTwo: $(pages "$txt") pages, expected 2"
  last_on_first=$(page_lines "$txt" 1 | tail -1 | sed 's/[[:space:]]//g')
  second=$(page_lines "$txt" 2 | sed 's/[[:space:]]//g')
  expected_next=$(expected_lines | sed 's/[[:space:]]//g' | grep -A1 -x -F "$last_on_first" | sed -n 2p)
  echo "StoppedOnPageTwo: page 1 ends with '$last_on_first', page 2 holds '$second'"
  [ "$(printf '%s\n' "$second" | wc -l)" = 1 ] || fail "StoppedOnPageTwo: page 2 has more than one line"
  [ "$second" = "$expected_next" ] || fail "StoppedOnPageTwo: page 2 holds '$second', expected '$expected_next'"
fi

if [ $failures = 0 ]; then echo "printed output: all checks passed"; fi
exit $((failures > 0))
