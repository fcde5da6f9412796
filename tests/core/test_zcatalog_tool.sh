#!/usr/bin/env bash
# The publisher's road with the zcatalog tool, as the publishing guide gives
# it: a key pair, a signed catalogue that verifies with the public key, and
# one changed after signing or checked against another key that does not,
# and one holding more items than the program reads.
# Usage: test_zcatalog_tool.sh PATH_TO_ZCATALOG SHIPPED_CATALOGUE
set -uo pipefail
zcatalog=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
expect() {  # expect STATUS DESCRIPTION COMMAND...
    local status=$1 description=$2
    shift 2
    "$@" > out.txt 2>&1
    local actual=$?
    if [ "$actual" -ne "$status" ]; then
        failed=1
        echo "FAILED: $description (exit $actual, expected $status)"
        cat out.txt
    fi
}

mkdir keys other
expect 0 "keygen" "$zcatalog" keygen publisher.pem keys/publisher.pub.pem
expect 0 "another keygen" "$zcatalog" keygen other.pem other/other.pub.pem
sed 's/edition="[^"]*"/edition="2099.1"/' "$2" > orvane_catalog.xml
expect 0 "sign" "$zcatalog" sign publisher.pem orvane_catalog.xml
[ -s orvane_catalog.xml.sig ] || { failed=1; echo "FAILED: no signature file"; }
expect 0 "verify with the publisher's key" "$zcatalog" verify keys orvane_catalog.xml
grep -q "2099.1" out.txt || { failed=1; echo "FAILED: the edition is not named"; cat out.txt; }
expect 1 "verify with another key" "$zcatalog" verify other orvane_catalog.xml
echo "<!-- changed -->" >> orvane_catalog.xml
expect 1 "verify a catalogue changed after signing" "$zcatalog" verify keys orvane_catalog.xml

# More items than the program reads: refused when signed, and when signed by other means and verified.
mkdir big
{ sed '/<\/catalog>/d' orvane_catalog.xml
  for i in $(seq 1 500); do echo "<item kind=\"di\" code=\"ZX-X$i\" di=\"16\"/>"; done
  echo "</catalog>"; } > big/orvane_catalog.xml
expect 1 "sign a catalogue over the item limit" "$zcatalog" sign publisher.pem big/orvane_catalog.xml
grep -q "超过了程序能读取的 500 项" out.txt || { failed=1; echo "FAILED: the item limit is not named"; cat out.txt; }
openssl pkeyutl -sign -rawin -inkey publisher.pem -in big/orvane_catalog.xml | base64 -w0 > big/orvane_catalog.xml.sig
expect 1 "verify a catalogue over the item limit" "$zcatalog" verify keys big/orvane_catalog.xml
grep -q "超过了程序能读取的 500 项" out.txt || { failed=1; echo "FAILED: the item limit is not named"; cat out.txt; }
exit $failed
