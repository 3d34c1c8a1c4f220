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

# A class: three children in two lesson folders, with lines of the older
# format (no child) among them; the card-picking game's letters.
lesson2="$work/さる組"
mkdir -p "$lesson2"
{
  printf '\xEF\xBB\xBF日時,ゲーム,絵,問い,選んだもの,正誤,秒,回目,まぎらわしい文字の数,カードの数,答え方,場面,問いの文字,選んだ文字,児童\r\n'
  printf '2026-12-03T09:00:00+09:00,スヴァン選び,ねこ.jpg,ねこ,めだか.jpg,不正解,3.000,1,,2,クリック,答え,ね,め,はなこ\r\n'
  printf '2026-12-03T09:00:09+09:00,スヴァン選び,ねこ.jpg,ねこ,ねこ.jpg,正解,1.000,2,,2,クリック,答え,ね,ね,はなこ\r\n'
  printf '2026-12-03T09:10:00+09:00,オルタ文字,いぬ.jpg,い,い,正解,1.000,1,2,,クリック,答え,,,"<b>たろう</b>"\r\n'
  printf '2026-12-03T09:20:00+09:00,オルタ文字,うし.jpg,う,つ,不正解,1.000,1,2,,クリック,答え,,,Ana María\r\n'
} > "$lesson2/学習記録.csv"
"$report" "$lesson" "$lesson2" "$work/class.html" > /dev/null
browse --dump-dom "file://$work/class.html" > "$work/class-dom.html"
grep -q '<h1>学習記録：くま組・さる組</h1>' "$work/class-dom.html" || fail "the two folders are not combined"
# The chooser links to a section for each child, and one for the older lines.
[ "$(grep -o '<a href="#child-[0-9]*">' "$work/class-dom.html" | wc -l)" -eq 4 ] || fail "the chooser does not list four"
[ "$(grep -o '<section class="child"' "$work/class-dom.html" | wc -l)" -eq 4 ] || fail "not a section per child"
grep -q '<h2 class="child-name">&lt;b&gt;たろう&lt;/b&gt;</h2>' "$work/class-dom.html" || fail "a child's name is not escaped"
grep -q '<h2 class="child-name">なまえなし</h2>' "$work/class-dom.html" || fail "the older lines have no section"
# The card-picking game's confusion ね -> め reaches the first heat map.
heat=$(perl -0ne 'print $1 if /<table class="heat">(.*?)<\/table>/s' "$work/class-dom.html")
grep -q 'title="ね → め：1回"' <<< "$heat" || fail "the card-picking game's letters are not in the heat map"

# One child's page holds that child alone.
"$report" "$lesson" "$lesson2" --child はなこ "$work/hanako.html" > /dev/null
browse --dump-dom "file://$work/hanako.html" > "$work/hanako-dom.html"
[ "$(grep -o '<section class="child' "$work/hanako-dom.html" | wc -l)" -eq 1 ] || fail "the child's page has other sections"
grep -q 'はなこ' "$work/hanako-dom.html" || fail "the child's page does not name her"
if grep -q 'たろう' "$work/hanako-dom.html"; then fail "another child is on her page"; fi
if "$report" "$lesson" --child だれか "$work/nobody.html" 2> /dev/null; then fail "an unknown child wrote a page"; fi

# Printed on A4: each child's section starts a page of its own. The PDF's
# named destinations (the chooser's links) give the page each section starts
# on and where on it: four sections, four different pages after the
# overview's, each at the top of its page.
pages() { grep -a -c '/Type /Page\b' "$1"; }
browse --print-to-pdf="$work/hanako.pdf" --no-pdf-header-footer "file://$work/hanako.html" > /dev/null
browse --print-to-pdf="$work/class.pdf" --no-pdf-header-footer "file://$work/class.html" > /dev/null
[ "$(pages "$work/hanako.pdf")" -eq 1 ] || fail "one child's page prints on $(pages "$work/hanako.pdf") pages"
grep -a -q '/MediaBox \[0 0 59[45][.0-9]* 84[12][.0-9]*\]' "$work/class.pdf" || fail "the print is not A4"
starts=$(perl -0777 -ne 'my ($kids) = /\/Type \/Pages.*?\/Kids \[([^\]]*)\]/s; my @kids = $kids =~ /(\d+) 0 R/g;
  my %at; @at{@kids} = (0 .. $#kids); print join(" ", map { $at{$_} } /child-\d+ \[(\d+) 0 R/g)' "$work/class.pdf")
perl -e 'my @p = @ARGV; my $rising = !grep { $p[$_] <= $p[$_ - 1] } 1 .. $#p; exit(@p == 4 && $p[0] > 0 && $rising ? 0 : 1)' $starts ||
  fail "the children's sections do not each start a page: pages $starts"
tops=$(grep -a -o 'child-[0-9]* \[[0-9]* 0 R /XYZ [0-9.]* [0-9.]*' "$work/class.pdf" | awk '$NF > 835 { n++ } END { print n + 0 }')
[ "$tops" -eq 4 ] || fail "only $tops of the children's sections start at the top of a page"
echo "rendered: $size; printed: $(pages "$work/class.pdf") pages, the children's sections starting on pages $starts"
