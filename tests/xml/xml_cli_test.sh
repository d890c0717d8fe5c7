#!/bin/bash
# The lmpack xml subcommands as a user runs them: output, exit codes and messages.
set -u
LMPACK="$1"
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
failures=0
passes=0

check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        passes=$((passes + 1))
    else
        echo "FAIL $1"; echo "  expected: $2"; echo "  actual:   $3"
        failures=$((failures + 1))
    fi
}

# Documents are Windows-1251 bytes; the tool prints UTF-8.
printf '<?xml version="1.0" encoding="windows-1251"?><doc a="1"><name>\xD2\xEE\xE2\xE0\xF0 &amp; Co</name><list><item code="7"/></list></doc>' > "$DIR/in.xml"

"$LMPACK" xml roundtrip "$DIR/in.xml" "$DIR/out.xml"
check "roundtrip exit" 0 $?
expected=$(printf '<?xml version="1.0" encoding="windows-1251" ?>\r\n<doc a="1">\r\n  <name>\xD2\xEE\xE2\xE0\xF0 &amp; Co</name>\r\n  <list>\r\n    <item code="7"/>\r\n  </list>\r\n</doc>\r\n' | od -An -tx1)
check "roundtrip bytes" "$expected" "$(od -An -tx1 < "$DIR/out.xml")"

check "get text" "Товар & Co" "$("$LMPACK" xml get "$DIR/in.xml" name)"
check "get attribute" "7" "$("$LMPACK" xml get "$DIR/in.xml" 'list/item[@code=7]/@code')"
check "get missing" "" "$("$LMPACK" xml get "$DIR/in.xml" nothing)"

printf '<a><b></a>' > "$DIR/bad.xml"
err=$("$LMPACK" xml get "$DIR/bad.xml" x 2>&1 >/dev/null)
check "parse error exit" 1 $?
check "parse error message" 'Строка № 0, Ошибка порядка тегов. Тег: "b" Нет закрывающего тега </b> code: <a><b></a>' "$err"

printf '<s><d name="doc"><element type="list" minOccurs="1" maxOccurs="1"/><element type="x" minOccurs="1" maxOccurs="*"/></d></s>' > "$DIR/schema.xml"
err=$("$LMPACK" xml validate "$DIR/in.xml" "$DIR/schema.xml" 2>&1 >/dev/null)
check "validate violation exit" 1 $?
check "validate violation" "Invalid SubElement x count (0) in element doc" "$err"
printf '<s><d name="doc"><element type="list" minOccurs="1" maxOccurs="1"/></d></s>' > "$DIR/schema.xml"
check "validate ok" "ok" "$("$LMPACK" xml validate "$DIR/in.xml" "$DIR/schema.xml")"

printf '<xsd:schema><xsd:element name="r"><xsd:complexType><xsd:sequence><xsd:element name="a" type="xsd:int"/><xsd:element name="b" type="xsd:int" minOccurs="0"/></xsd:sequence></xsd:complexType></xsd:element></xsd:schema>' > "$DIR/x.xsd"
check "template" "<r><a/></r>" "$("$LMPACK" xml template "$DIR/x.xsd" r)"
check "template optional" "<r><a/><b/></r>" "$("$LMPACK" xml template "$DIR/x.xsd" r --with-optional)"
"$LMPACK" xml template "$DIR/x.xsd" nope 2>/dev/null
check "template unknown element exit" 1 $?

: > "$DIR/empty.xml"
err=$("$LMPACK" xml roundtrip "$DIR/empty.xml" "$DIR/empty.out" 2>&1)
check "empty file exit" 1 $?
check "empty file message" "< ожидаемый" "$err"
check "empty file writes nothing" "no" "$([ -e "$DIR/empty.out" ] && echo yes || echo no)"
printf '<!DOCTYPE r>\r\n<r><!WHAT></r>' > "$DIR/bang.xml"
err=$("$LMPACK" xml roundtrip "$DIR/bang.xml" "$DIR/bang.out" 2>&1)
check "unknown construct exit" 1 $?
check "unknown construct message" 'Строка № 2, номер символа 17 :Неизвестная конструкция "<!"' "$err"

"$LMPACK" xml get "$DIR/missing.xml" x 2>/dev/null
check "missing file exit" 1 $?
"$LMPACK" xml frobnicate 2>/dev/null
check "usage exit" 2 $?

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
