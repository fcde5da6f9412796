#!/usr/bin/env bash
# orvane --export run as a script runs it, with the real player and movie and
# no display at all: a two-rack selection as AutomationML (valid against the
# CAEX 2.15 schema, its racks and order numbers) and as CSV; the failures
# with their exit status and one line on standard error.
# Usage: test_command_line_export.sh PROGRAM_FOLDER ZSR_TOOL SCHEMA_FOLDER
set -uo pipefail
bin=$1 zsr=$2 schemas=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/log XDG_DATA_HOME=$work/data
mkdir -p "$TMPDIR"
unset DISPLAY WAYLAND_DISPLAY

failed=0
fail() { echo "FAILED: $*"; failed=1; }
export_to() {  # export_to EXPECTED_STATUS INPUT OUTPUT [--caex VERSION]: runs the export, checks status and the reason's one line
    "$bin/orvane" --export "$2" "$3" "${@:4}" 2>"$work/stderr"
    local status=$?
    [ "$status" -eq "$1" ] || fail "$2 -> $3: exit status $status, expected $1: $(cat "$work/stderr")"
    local lines
    lines=$(wc -l <"$work/stderr")
    if [ "$1" -eq 0 ]; then [ "$lines" -eq 0 ] || fail "$3: standard error not quiet: $(cat "$work/stderr")"
    else [ "$lines" -eq 1 ] || fail "$3: $lines lines on standard error: $(cat "$work/stderr")"; fi
}

printf 'TZSEL/3\nmode=module\nname=%%E4%%BA%%8C%%E5%%8F%%B7%%E7%%BA%%BF\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B04\nrack=ZB-E06/ZP-P15\nqty=ZX-DI16:6' |
    "$zsr" encode "$work/two racks.zsr" || fail "zsr encode"

export_to 0 "$work/two racks.zsr" "$work/out.aml"
xmllint --noout --schema "$schemas/CAEX_ClassModel_V2.15.xsd" "$work/out.aml" 2>"$work/xmllint" ||
    fail "out.aml is not valid CAEX 2.15: $(cat "$work/xmllint")"
grep -q '<InternalElement ID="[0-9a-f-]*" Name="二号线">' "$work/out.aml" || fail "out.aml: no project 二号线"
grep -q 'Name="扩展基板 1"' "$work/out.aml" || fail "out.aml: no expansion rack"
[ "$(grep -c '<Value>OrderNumber:TZ-D1016-00</Value>' "$work/out.aml")" -eq 6 ] || fail "out.aml: not six ZX-DI16"
[ "$(grep -c 'Name="Channel_DI_' "$work/out.aml")" -eq 96 ] || fail "out.aml: not 96 input channels"

export_to 0 "$work/two racks.zsr" "$work/out3.aml" --caex 3.0
xmllint --noout --schema "$schemas/CAEX_ClassModel_V.3.0.xsd" "$work/out3.aml" 2>"$work/xmllint" ||
    fail "out3.aml is not valid CAEX 3.0: $(cat "$work/xmllint")"

export_to 0 "$work/two racks.zsr" "$work/out.CSV"
grep -q '^1,TZ-C0220-00,ZC-220,' "$work/out.CSV" || fail "out.CSV: no CPU line: $(head -c 600 "$work/out.CSV")"

head -c 200 /dev/urandom >"$work/damaged.zsr"
export_to 4 "$work/damaged.zsr" "$work/damaged.aml"
printf 'TZSEL/9\nmode=module' | "$zsr" encode "$work/later.zsr"
export_to 4 "$work/later.zsr" "$work/later.csv"
export_to 3 "$work/missing.zsr" "$work/missing.aml"
export_to 2 "$work/two racks.zsr" "$work/out.txt"
export_to 2 "$work/two racks.zsr" "$work/caex.csv" --caex 3.0
export_to 2 "$work/two racks.zsr" "$work/caex.aml" --caex 4.0
export_to 6 "$work/two racks.zsr" "$work/no folder/out.aml"
[ ! -e "$work/damaged.aml" ] && [ ! -e "$work/later.csv" ] && [ ! -e "$work/out.txt" ] && [ ! -e "$work/caex.aml" ] || fail "a failed export left a file"
exit $failed
