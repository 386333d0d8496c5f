#!/usr/bin/env bash
# The transfer program on a bench-scale back office (10,000 principals and customers, 100,000
# items, about 200,000 prices, 20,000 relations, 100,000 customer items), in rows per second,
# beside a bare copy of the same back-office rows into one SQLite file with the sqlite3 tool.
#
#   bench/transfer/transfer_bench.sh GVTDCONV [FOLDER]
#
# GVTDCONV is a release build of the program (cmake --build build/release --target
# transfer_bench runs it with the right one). FOLDER (default: a new temporary folder) keeps the
# generated back office between runs. "Rows" are the back-office rows a run reads whole:
# Principal, Customer, Items, Pr_Ct and Cst_Item (the price lookups read Prices by key on top).
set -euo pipefail
gvtdconv=$(readlink -f "$1")
top=$(cd "$(dirname "$0")/../.." && pwd)
dir=${2:-$(mktemp -d)}
mkdir -p "$dir"
cd "$dir"

if [[ ! -f GRANVEL.DB ]]; then
  echo "generating the back office (bench scale) ..."
  /usr/bin/python3 "$top/tools/backoffice/generate.py" --sqlite GRANVEL.DB --scale bench
fi
rows=$(sqlite3 GRANVEL.DB "select (select count(*) from Principal)+(select count(*) from Customer)
  +(select count(*) from Items)+(select count(*) from Pr_Ct)+(select count(*) from Cst_Item)")
prices=$(sqlite3 GRANVEL.DB "select count(*) from Prices")

now() { date +%s.%N; }
rate() { awk -v n="$1" -v a="$2" -v b="$3" 'BEGIN { t = b - a; printf "%.2f s, %.0f rows/s", t, n / t }'; }

# The transfer, from empty catalog files.
rm -f ./*.DAT ./*.tps ./*-journal
printf 'press &Ok\n' > script.txt
t0=$(now)
TDX_SCRIPT=script.txt "$gvtdconv" > transcript.txt
t1=$(now)
echo "gvtdconv:       $rows rows ($prices prices looked up by key): $(rate "$rows" "$t0" "$t1")"

# A second run over the same data: everything is looked up, nothing added in steps 1-3.
printf 'press &Ok\nanswer Yes\n' > script.txt
t0=$(now)
TDX_SCRIPT=script.txt "$gvtdconv" > transcript2.txt
t1=$(now)
echo "gvtdconv again: $rows rows: $(rate "$rows" "$t0" "$t1")"

# The bare copy: the same tables (and Prices) into one SQLite file, one transaction.
rm -f copy.db
copied=$((rows + prices))
t0=$(now)
sqlite3 copy.db <<SQL
ATTACH 'GRANVEL.DB' AS bo;
BEGIN;
CREATE TABLE Principal AS SELECT * FROM bo.Principal;
CREATE TABLE Customer AS SELECT * FROM bo.Customer;
CREATE TABLE Items AS SELECT * FROM bo.Items;
CREATE TABLE Prices AS SELECT * FROM bo.Prices;
CREATE TABLE Pr_Ct AS SELECT * FROM bo.Pr_Ct;
CREATE TABLE Cst_Item AS SELECT * FROM bo.Cst_Item;
COMMIT;
SQL
t1=$(now)
echo "sqlite3 copy:   $copied rows (prices included): $(rate "$copied" "$t0" "$t1")"
