#!/usr/bin/env bash
# The main job: builds the lmpack tool and shows a short tour of what it does.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
export CCACHE_NOHASHDIR=true
cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/main --target lmpack -j "$(nproc)"
lmpack=build/main/apps/lmpack/lmpack
work=build/tour
rm -rf "$work" && mkdir -p "$work"

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
