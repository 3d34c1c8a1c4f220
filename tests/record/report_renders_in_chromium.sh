#!/usr/bin/env bash
# The report page as a real browser renders it: headless Chromium reads the
# file, and the rendered DOM and a screenshot are checked.
# Usage: report_renders_in_chromium.sh KANAE_REPORT CHROMIUM
set -euo pipefail
report=$1
chromium=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lesson="$work/くま組"
mkdir -p "$lesson"

{
  printf '\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面\r\n'
  printf '2026-12-01T09:00:00+09:00,オルタ文字,さかな.jpg,さ,ち,不正解,2.000,1,2,,クリック,答え\r\n'
  printf '2026-12-01T09:00:10+09:00,オルタ文字,さかな.jpg,さ,さ,正解,4.000,2,2,,クリック,答え\r\n'
  printf '2026-12-02T10:00:00+09:00,オルタ文字,"<い,ぬ>.jpg",ぬ,め,不正解,3.000,1,2,,クリック,答え\r\n'
  printf '2026-12-02T10:00:09+09:00,ペンブル,ねこ.jpg,ね,わ,不正解,1.000,1,2,,触れる,答え\r\n'
} > "$lesson/学習記録.csv"

"$report" "$lesson" "$work/report.html" > /dev/null

browse() {
  "$chromium" --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --user-data-dir="$work/profile" "$@" 2> "$work/chromium.log"
}
browse --dump-dom "file://$work/report.html" > "$work/dom.html"

fail() { echo "FAIL: $*" >&2; exit 1; }
grep -q '<h1>学習記録：くま組</h1>' "$work/dom.html" || fail "the title is not rendered in Japanese"
grep -q '&lt;い,ぬ&gt;.jpg' "$work/dom.html" || fail "the odd picture name is not shown escaped"
[ "$(grep -o '<svg' "$work/dom.html" | wc -l)" -ge 3 ] || fail "the charts are missing"
# Four letters asked or chosen among さ ち ぬ め ね わ: a 6 x 6 heat map and its header row.
heat=$(perl -0ne 'print $1 if /<table class="heat">(.*?)<\/table>/s' "$work/dom.html")
[ "$(grep -o '<tr>' <<< "$heat" | wc -l)" -eq 7 ] ||
  fail "the confusion table does not have 7 rows"

browse --screenshot="$work/page.png" --window-size=1000,1800 "file://$work/report.html" > /dev/null
[ -s "$work/page.png" ] || fail "no screenshot"
# A PNG's width and height are big-endian at bytes 16-23.
size=$(od -An -tu1 -j16 -N8 "$work/page.png" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
[ "$size" = "1000x1800" ] || fail "the screenshot is $size"
# A blank page compresses to almost nothing; a drawn report does not.
[ "$(stat -c %s "$work/page.png")" -gt 30000 ] || fail "the screenshot looks empty"
echo "rendered: $size"
