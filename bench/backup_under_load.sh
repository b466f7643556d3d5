#!/usr/bin/env bash
# Backups taken while the till posts sales, each restored and checked; restores of damaged and
# foreign files, each refused with pos.mdb and its log left byte for byte. See bench/README.md.
#
#   bench/backup_under_load.sh [--build DIR] [--backups N] [--work DIR] [--keep]
#                              [--products N] [--headers N] [--members N] [--gap SECONDS]
#
# Exits 0 when every backup restored and passed and every bad file was refused without a
# change to the shop, 1 otherwise, 2 on a usage or set-up error.
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD=build
BACKUPS=20
WORK=
KEEP=0
PRODUCTS=50000
HEADERS=100000
MEMBERS=5000
GAP=0.3

usage() {
    sed -n '5,6p' "$0" | sed 's/^#  *//'
    exit 2
}
while [ $# -gt 0 ]; do
    case "$1" in
    --build) BUILD=$2; shift 2 ;;
    --backups) BACKUPS=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --products) PRODUCTS=$2; shift 2 ;;
    --headers) HEADERS=$2; shift 2 ;;
    --members) MEMBERS=$2; shift 2 ;;
    --gap) GAP=$2; shift 2 ;;
    *) usage ;;
    esac
done

BIN=$(cd "$BUILD/bin" && pwd)
for p in make_shop bench_till pos-setup; do
    [ -x "$BIN/$p" ] || { echo "backup_under_load: $BIN/$p is missing; build first (./test.sh or cmake --build $BUILD)" >&2; exit 2; }
done

# The checks read the files with the sqlite3 shell; installed like the till's own packages.
if ! command -v sqlite3 >/dev/null 2>&1; then
    . scripts/deps.sh
    POS_PACKAGES=sqlite3 pos_install_packages || { echo "backup_under_load: cannot install sqlite3" >&2; exit 2; }
fi

if [ -z "$WORK" ]; then
    WORK=$(mktemp -d /tmp/backup-under-load.XXXXXX)
else
    mkdir -p "$WORK"
    [ -z "$(ls -A "$WORK")" ] || { echo "backup_under_load: $WORK is not empty" >&2; exit 2; }
fi
SHOP=$WORK/shop
TILL=
cleanup() {
    if [ -n "$TILL" ] && kill -0 "$TILL" 2>/dev/null; then
        kill "$TILL" 2>/dev/null || true
        wait "$TILL" 2>/dev/null || true
    fi
    if [ "$KEEP" = 0 ]; then
        rm -rf "$WORK"
    else
        echo "files kept in $WORK"
    fi
}
trap cleanup EXIT

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
sha() { if [ -e "$1" ]; then sha256sum "$1" | cut -c1-64; else echo absent; fi; }
# Median and maximum of a list of numbers.
stats() { sort -g | awk '{ v[NR] = $1 } END { if (NR) printf "median %.3f s, max %.3f s", v[int((NR + 1) / 2)], v[NR] }'; }
q() { sqlite3 -batch -noheader "$@"; }

echo "== synthetic shop: $PRODUCTS products, $HEADERS sales vouchers, $MEMBERS members"
mkdir -p "$SHOP"
"$BIN/make_shop" "$SHOP" --products "$PRODUCTS" --headers "$HEADERS" --members "$MEMBERS" >"$WORK/make_shop.log" 2>&1 ||
    { cat "$WORK/make_shop.log"; exit 2; }
START_BOX=$(q "$SHOP/pos.mdb" "select je from boxje")
START_ID=$(q "$SHOP/pos.mdb" "select ifnull(max(ID),0) from xiaoshoud")
echo "shop file $(du -h "$SHOP/pos.mdb" | cut -f1), cash box $START_BOX, last sale ID $START_ID"

# The till posts sales for as long as the backups run (far more vouchers than it gets through).
POS_RECEIPT_DEVICE="$WORK/LPT1" "$BIN/bench_till" "$SHOP" --vouchers 1000000 --lines 5 >"$WORK/till.log" 2>&1 &
TILL=$!
posted() { q -readonly "$SHOP/pos.mdb" "select count(*) from xiaoshoud where ID > $START_ID" 2>/dev/null || echo 0; }
for _ in $(seq 1 300); do
    [ "$(posted)" -gt 0 ] && break
    kill -0 "$TILL" 2>/dev/null || { echo "bench_till stopped:"; cat "$WORK/till.log"; exit 2; }
    sleep 0.1
done
[ "$(posted)" -gt 0 ] || { echo "bench_till posted nothing in 30 s"; exit 2; }

echo "== $BACKUPS backups with pos-setup --backup while bench_till posts"
mkdir -p "$WORK/backups" "$WORK/restored"
: >"$WORK/backup.times"
for i in $(seq 1 "$BACKUPS"); do
    kill -0 "$TILL" 2>/dev/null || { echo "bench_till stopped during the backups:"; cat "$WORK/till.log"; exit 1; }
    t0=$(now)
    POS_HOME=$SHOP "$BIN/pos-setup" --backup "$WORK/backups/b$i.bak" >/dev/null 2>"$WORK/backup.err" ||
        { echo "backup $i failed: $(cat "$WORK/backup.err")"; exit 1; }
    echo "$(seconds "$t0" "$(now)")" >>"$WORK/backup.times"
    sleep "$GAP"
done
kill -0 "$TILL" 2>/dev/null || { echo "bench_till stopped during the backups:"; cat "$WORK/till.log"; exit 1; }
kill "$TILL"
wait "$TILL" 2>/dev/null || true
TILL=
TOTAL_POSTED=$(q "$SHOP/pos.mdb" "select count(*) from xiaoshoud where ID > $START_ID")

echo "== each backup restored with pos-setup --restore into a folder of its own and checked"
printf '%-8s %9s %9s %9s %12s %14s  %s\n' backup size backup restore "sales held" "cash box" check
passed=0
: >"$WORK/restore.times"
held_list=
for i in $(seq 1 "$BACKUPS"); do
    b=$WORK/backups/b$i.bak
    r=$WORK/restored/r$i
    mkdir -p "$r"
    t0=$(now)
    if ! POS_HOME=$r "$BIN/pos-setup" --restore "$b" >/dev/null 2>"$WORK/restore.err"; then
        echo "b$i: restore failed: $(cat "$WORK/restore.err")"
        continue
    fi
    rt=$(seconds "$t0" "$(now)")
    echo "$rt" >>"$WORK/restore.times"
    integrity=$(q "$r/pos.mdb" "pragma integrity_check" | head -3 | tr '\n' ' ' | sed 's/ $//')
    read -r held box diff < <(q -separator ' ' "$r/pos.mdb" \
        "select count(*), (select je from boxje), round((select je from boxje) - ($START_BOX + total(hjje)), 6)
           from xiaoshoud where ID > $START_ID")
    ok=FAIL
    if [ "$integrity" = ok ] && awk -v d="$diff" 'BEGIN { exit !(d < 0.005 && d > -0.005) }'; then
        ok=ok
        passed=$((passed + 1))
    fi
    held_list="$held_list $held"
    printf '%-8s %9s %8ss %8ss %12s %14s  %s\n' "b$i" "$(du -h "$b" | cut -f1)" "$(sed -n "${i}p" "$WORK/backup.times")" \
        "$rt" "$held" "$box" "$ok (integrity: $integrity; box - start - sales = $diff)"
    [ "$KEEP" = 1 ] || rm -rf "$r"
done
distinct=$(echo $held_list | tr ' ' '\n' | sort -un | wc -l)
echo "sales posted by the till while the backups ran: $TOTAL_POSTED; the backups hold $distinct different counts (first $(echo $held_list | cut -d' ' -f1), last $(echo $held_list | awk '{ print $NF }'))"
echo "backup under load: $(stats <"$WORK/backup.times"); restore into an empty folder: $(stats <"$WORK/restore.times")"
echo "RESULT backups: $passed of $BACKUPS backups restored and passed (integrity_check ok, cash box = start + sales held)"

echo "== restores of damaged and foreign files over a shop with a write-ahead log of its own"
GOOD=$WORK/backups/b$BACKUPS.bak
VICTIM=$WORK/victim
mkdir -p "$VICTIM" "$WORK/bad"
POS_HOME=$VICTIM "$BIN/pos-setup" --restore "$GOOD" >/dev/null
# A member still only in the log: the shell leaves the log as a till that was cut off would.
q "$VICTIM/pos.mdb" ".dbconfig no_ckpt_on_close on" "insert into hyinfo(hykh,hyxm) values('LOG0001','日志里的会员')" >/dev/null
[ -s "$VICTIM/pos.mdb-wal" ] || { echo "the shop has no write-ahead log to watch"; exit 2; }

P=$(q "$GOOD" "pragma page_size")
S=$(stat -c %s "$GOOD")
V=$(q "$GOOD" "pragma user_version")
bad=$WORK/bad
head -c 100 "$GOOD" >"$bad/header-only.bak"
head -c "$P" "$GOOD" >"$bad/first-page.bak"
head -c $((S / P / 2 * P)) "$GOOD" >"$bad/half.bak"
head -c $((S / P / 3 * P + 1234)) "$GOOD" >"$bad/mid-page.bak"
head -c $((S - P)) "$GOOD" >"$bad/one-page-short.bak"
head -c $((S - 1)) "$GOOD" >"$bad/one-byte-short.bak"
: >"$bad/empty.bak"
head -c "$S" /dev/urandom >"$bad/random.bak"
printf '这不是数据库，只是一个文本文件。%.0s\n' $(seq 1 4000) >"$bad/text.bak"
zero_page() { # file page
    dd if=/dev/zero of="$1" bs="$P" seek=$(($2 - 1)) count=1 conv=notrunc status=none
}
cp "$GOOD" "$bad/zeroed-root-page.bak"
zero_page "$bad/zeroed-root-page.bak" "$(q "$GOOD" "select rootpage from sqlite_master where name='spinfo'")"
cp "$GOOD" "$bad/zeroed-sales-page.bak"
zero_page "$bad/zeroed-sales-page.bak" \
    "$(q "$GOOD" "select pageno from dbstat where name='xiaoshoud' and pagetype='leaf' order by pageno limit 1 offset 20")"
# One page more than the data uses, counted in the header: only the integrity check sees it.
cp "$GOOD" "$bad/stray-page.bak"
head -c "$P" /dev/zero >>"$bad/stray-page.bak"
printf "$(printf '\\%03o' $(((S / P + 1) >> 24 & 255)) $(((S / P + 1) >> 16 & 255)) $(((S / P + 1) >> 8 & 255)) $(((S / P + 1) & 255)))" |
    dd of="$bad/stray-page.bak" bs=1 seek=28 conv=notrunc status=none
cp "$GOOD" "$bad/broken-header-name.bak"
printf 'MySQL ' | dd of="$bad/broken-header-name.bak" bs=1 seek=0 conv=notrunc status=none
cp "$GOOD" "$bad/broken-page-size.bak"
printf '\003\000' | dd of="$bad/broken-page-size.bak" bs=1 seek=16 conv=notrunc status=none
q "$bad/other-program.bak" "create table notes(id integer primary key, t text); insert into notes(t) values('购物清单')"
q "$bad/look-alike.bak" "create table userlogin(yhbh text); create table xtsz(gsmc text); pragma user_version=1"
cp "$GOOD" "$bad/newer-version.bak"
q "$bad/newer-version.bak" "pragma user_version=$((V + 1))"
cp "$GOOD" "$bad/missing-table.bak"
q "$bad/missing-table.bak" "drop table hyinfo"

refused=0
identical=0
cases=0
printf '%-24s %-9s %-10s %s\n' file answer "pos.mdb" reason
for f in "$bad"/*.bak "$bad/no-such-file.bak"; do
    cases=$((cases + 1))
    name=$(basename "$f" .bak)
    before="$(sha "$VICTIM/pos.mdb") $(sha "$VICTIM/pos.mdb-wal")"
    set +e
    POS_HOME=$VICTIM "$BIN/pos-setup" --restore "$f" >/dev/null 2>"$WORK/refusal.err"
    status=$?
    set -e
    after="$(sha "$VICTIM/pos.mdb") $(sha "$VICTIM/pos.mdb-wal")"
    answer="exit $status"
    [ "$status" = 1 ] && grep -q '恢复失败' "$WORK/refusal.err" && answer=refused && refused=$((refused + 1))
    same=changed
    if [ "$before" = "$after" ] && [ -z "$(find "$VICTIM" -maxdepth 1 \( -name 'pos-恢复前-*' -o -name '.pos-restore-*' \))" ]; then
        same=identical
        identical=$((identical + 1))
    fi
    printf '%-24s %-9s %-10s %s\n' "$name" "$answer" "$same" "$(grep -m1 '恢复失败' "$WORK/refusal.err" | sed 's/^pos-setup: 恢复失败：//')"
done
echo "RESULT refusals: $refused of $cases refused with a reason; pos.mdb and pos.mdb-wal byte-identical after $identical of $cases"

# The control: the good backup is taken, over a shop that has data of its own.
t0=$(now)
POS_HOME=$VICTIM "$BIN/pos-setup" --restore "$GOOD" >/dev/null
rt=$(seconds "$t0" "$(now)")
control=FAIL
if [ "$(q "$VICTIM/pos.mdb" "pragma integrity_check")" = ok ] &&
    [ "$(q "$VICTIM/pos.mdb" "select count(*) from hyinfo where hykh='LOG0001'")" = 0 ] &&
    [ "$(q "$(ls "$VICTIM"/pos-恢复前-*.bak | head -1)" "select count(*) from hyinfo where hykh='LOG0001'")" = 1 ]; then
    control=ok
fi
echo "RESULT control: the good backup restored over the shop in $rt s (its data before kept beside it): $control"

[ "$passed" = "$BACKUPS" ] && [ "$refused" = "$cases" ] && [ "$identical" = "$cases" ] && [ "$control" = ok ]
