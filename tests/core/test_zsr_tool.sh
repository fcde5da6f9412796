#!/usr/bin/env bash
# Command-line checks of the zsr tool: round trips of any bytes, the exit
# statuses of damaged, truncated and missing files, the size limit, usage,
# and error records.
# Usage: test_zsr_tool.sh PATH_TO_ZSR
set -uo pipefail
zsr=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/log
mkdir -p "$TMPDIR"

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
    local description=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $description"
    fi
}
status_is() {  # status_is EXPECTED COMMAND...
    local expected=$1
    shift
    "$@"
    local actual=$?
    [ "$actual" -eq "$expected" ] || { echo "  exit status $actual, expected $expected"; return 1; }
}
log_lines() { cat "$TMPDIR"/_ERROR*.log 2>/dev/null | wc -l; }
file_size() { stat -c %s "$1"; }
# flip_bit FILE OFFSET: inverts the lowest bit of the byte at OFFSET.
flip_bit() {
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# --- round trips ---------------------------------------------------------
printf '' > "$work/empty.txt"
printf 'A&B<C>D"E\r\nF\t中文 \xf0\x9f\x98\x80\n' > "$work/text.txt"
for i in $(seq 0 255); do printf "$(printf '\\%03o' "$i")"; done > "$work/all-bytes.txt"
printf 'a\0\0b\0' > "$work/nul.txt"
head -c 300000 /dev/urandom > "$work/random.txt"
for name in empty text all-bytes nul random; do
    plain=$work/$name.txt
    check "encode $name" status_is 0 "$zsr" encode "$work/$name.zsr" < "$plain"
    check "$name file is N + 24 bytes" test "$(file_size "$work/$name.zsr")" -eq $(($(file_size "$plain") + 24))
    check "decode $name" status_is 0 "$zsr" decode "$work/$name.zsr" > "$work/$name.out"
    check "$name round-trips byte for byte" cmp -s "$plain" "$work/$name.out"
    check "verify $name" status_is 0 "$zsr" verify "$work/$name.zsr" > "$work/$name.verify"
    check "verify $name prints no text" grep -qx "$work/$name.zsr: ok, $(file_size "$plain") bytes of selection text" "$work/$name.verify"
done
check "empty selection gives the 24-byte file" test "$(file_size "$work/empty.zsr")" -eq 24
check "successes write no record" test "$(log_lines)" -eq 0

# Saving over a longer file replaces all of it.
check "encode over a longer file" status_is 0 "$zsr" encode "$work/random.zsr" < "$work/text.txt"
check "file is exactly the new size" test "$(file_size "$work/random.zsr")" -eq $(($(file_size "$work/text.txt") + 24))
"$zsr" decode "$work/random.zsr" > "$work/over.out"
check "new text read back" cmp -s "$work/text.txt" "$work/over.out"

# --- content check failures: 4, no text, reason on stderr ----------------
expect_content_bad() {  # DESCRIPTION FILE
    local records_before
    records_before=$(log_lines)
    check "$1: decode exits 4" status_is 4 "$zsr" decode "$2" > "$work/bad.out" 2> "$work/bad.err"
    check "$1: no text written" test ! -s "$work/bad.out"
    check "$1: one-line reason" test "$(wc -l < "$work/bad.err")" -eq 1
    check "$1: verify exits 4" status_is 4 "$zsr" verify "$2" > /dev/null 2>&1
    check "$1: tool records each failure" test "$(log_lines)" -eq $((records_before + 2))
}
cp "$work/text.zsr" "$work/flip-cipher.zsr"
flip_bit "$work/flip-cipher.zsr" 30
expect_content_bad "bit flipped in the ciphertext" "$work/flip-cipher.zsr"
cp "$work/text.zsr" "$work/flip-digest.zsr"
flip_bit "$work/flip-digest.zsr" 4
expect_content_bad "bit flipped in the digest" "$work/flip-digest.zsr"
cp "$work/text.zsr" "$work/trailing.zsr"
printf 'x' >> "$work/trailing.zsr"
expect_content_bad "trailing byte" "$work/trailing.zsr"
cp "$work/text.zsr" "$work/short-body.zsr"
truncate -s -1 "$work/short-body.zsr"
expect_content_bad "truncated body" "$work/short-body.zsr"

# --- read failures: 1, records written ------------------------------------
expect_read_failed() {  # DESCRIPTION FILE
    local records_before
    records_before=$(log_lines)
    check "$1: decode exits 1" status_is 1 "$zsr" decode "$2" > "$work/bad.out" 2> "$work/bad.err"
    check "$1: no text written" test ! -s "$work/bad.out"
    check "$1: one-line reason" test "$(wc -l < "$work/bad.err")" -eq 1
    check "$1: one record" test "$(log_lines)" -eq $((records_before + 1))
    check "$1: the record names the file" grep -qF "$2" <(tail -n 1 "$TMPDIR"/_ERROR*.log)
    check "$1: verify exits 1" status_is 1 "$zsr" verify "$2" > /dev/null 2>&1
}
expect_read_failed "missing file" "$work/missing.zsr"
head -c 7 "$work/text.zsr" > "$work/seven.zsr"
expect_read_failed "7-byte file" "$work/seven.zsr"
head -c 12 "$work/text.zsr" > "$work/short-digest.zsr"
expect_read_failed "file cut inside the digest" "$work/short-digest.zsr"
expect_read_failed "a folder" "$work"

# Many failing runs at once: a record never waits for the log, so one that
# meets another writer is dropped; each run points to the log only when its
# own record is there.
records_before=$(log_lines)
for i in $(seq 1 50); do "$zsr" decode "$work/missing.zsr" > /dev/null 2> "$work/parallel-$i.err" & done
wait
pointed=$(cat "$work"/parallel-*.err | grep -c 'details in the error log')
told=$(cat "$work"/parallel-*.err | grep -c 'could not be written')
check "each parallel run tells where its record is, or that it has none" test $((pointed + told)) -eq 50
check "as many records as runs pointing to them" test "$(log_lines)" -eq $((records_before + pointed))
# A log that cannot be written (something else at its name) is not pointed to.
log=$TMPDIR/_ERROR$(date +%d).log
mv "$log" "$log.kept" && mkfifo "$log"
"$zsr" decode "$work/missing.zsr" > /dev/null 2> "$work/unlogged.err"
check "no claim of a record that was not written" grep -q 'could not be written' "$work/unlogged.err"
rm -f "$log" && mv "$log.kept" "$log"

# --- write failures -------------------------------------------------------
check "encode into a missing folder exits 1" status_is 1 "$zsr" encode "$work/no/such/x.zsr" < "$work/text.txt" 2> /dev/null
check "no file left behind" test ! -e "$work/no/such/x.zsr"
truncate -s 5G "$work/huge.txt"
check "selection over 4 GiB - 1 is refused" status_is 1 "$zsr" encode "$work/huge.zsr" < "$work/huge.txt" 2> "$work/huge.err"
check "refusal names the limit" grep -q '64 MiB' "$work/huge.err"
check "nothing written for it" test ! -e "$work/huge.zsr"
# A text the program would refuse to open is never written, from a pipe either.
check "selection one byte over 64 MiB is refused" status_is 1 "$zsr" encode "$work/over.zsr" < <(head -c $((64 * 1024 * 1024 + 1)) /dev/zero) 2> /dev/null
check "nothing written for it" test ! -e "$work/over.zsr"
check "closed standard output exits 1" status_is 1 "$zsr" decode "$work/text.zsr" >&- 2> /dev/null

# --- usage ----------------------------------------------------------------
check "--help exits 0" status_is 0 "$zsr" --help > "$work/help.out"
check "--help prints usage" grep -q '^Usage: zsr decode FILE' "$work/help.out"
check "no arguments exit 2" status_is 2 "$zsr" 2> /dev/null
check "unknown command exits 2" status_is 2 "$zsr" show "$work/text.zsr" 2> /dev/null
check "missing FILE exits 2" status_is 2 "$zsr" decode 2> /dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
