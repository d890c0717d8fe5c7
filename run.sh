#!/usr/bin/env bash
# The main job: builds the demo application and the lmpack tool. With a display it opens the
# demo (the pharmacy goods screen); without one, or with --tour, it runs the demo's scripted
# tour offscreen and writes its screenshots, workbooks, PDF and log into demo-out/. A short
# tour of the lmpack command line comes first.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
export CCACHE_NOHASHDIR=true CCACHE_BASEDIR="$PWD"
cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/main --target lmpack lmpack-demo -j "$(nproc)"
lmpack=build/main/apps/lmpack/lmpack
work=build/tour
rm -rf "$work" && mkdir -p "$work"

echo "== The lmpack command line"

tour() {
  echo "\$ lmpack $*"
  "$lmpack" "$@" || echo "(exit code $?)"
  echo
}

echo "== Amounts in words and transliteration"
tour words rur 21.01
tour words rur 2000000
tour words usd 1,21
tour translit re Щука
tour translit er schuka

echo "== XML documents"
printf '<?xml version="1.0" encoding="windows-1251"?>\n<order no="17"><item qty="2">\xc0\xf1\xef\xe8\xf0\xe8\xed</item><item qty="1"/></order>' \
  > "$work/order.xml"
tour xml get "$work/order.xml" 'item'
tour xml roundtrip "$work/order.xml" "$work/order-saved.xml"
iconv -f cp1251 -t utf-8 "$work/order-saved.xml"; echo

echo "== User filters over the demo pharmacy database (embedded Firebird)"
tour demo-db "$work/demo.fdb" --rows 5000
query="SELECT G.ID, G.NAME, G.PRICE, G.ACTIVE FROM GOODS G"
labels=(--label NAME=Наименование --label PRICE=Цена --label ACTIVE=Активен)
tour filter --db "$work/demo.fdb" --query "$query" "${labels[@]}" --run "[Наименование] = '*ин*' И [Цена] > 100,5"
tour filter --db "$work/demo.fdb" --query "$query" "${labels[@]}" --sql-enabled --prefer-sql --run "[Активен] И НЕ [Цена] = ПУСТО"
tour filter --db "$work/demo.fdb" --query "$query" "${labels[@]}" --ignore-case "[Наименование] = 'аспирин*'"
tour filter --db "$work/demo.fdb" --query "$query" "${labels[@]}" "[Наименование] = = 5"

demo=build/main/apps/lmpack-demo/lmpack-demo
if [[ "${1:-}" != "--tour" && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
  echo "== The demo application (the database is made on first start in your data folder)"
  exec "$demo" "$@"
fi

echo "== The demo application's tour (offscreen)"
out=demo-out
rm -rf "$out" && mkdir -p "$out"
# The tour works on a database and settings of its own, so it never touches the user's.
status=0
XDG_DATA_HOME="$PWD/$out/home" LMPACK_REGISTRY="$PWD/$out/home/registry.db" QT_QPA_PLATFORM=offscreen \
  "$demo" --tour --out "$out" || status=$?
if command -v soffice >/dev/null; then
  echo
  echo "== LibreOffice reads the exported workbooks"
  for book in "$out"/goods.xlsx "$out"/goods.ods; do
    [[ -f "$book" ]] || continue
    soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$out/csv" "$book" >/dev/null 2>&1 || true
    csv="$out/csv/$(basename "${book%.*}").csv"
    if [[ -f "$csv" ]]; then echo "$book: $(wc -l < "$csv") lines as CSV"; else echo "$book: LibreOffice could not convert it"; status=1; fi
  done
fi
exit $status
