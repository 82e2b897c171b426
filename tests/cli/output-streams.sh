#!/usr/bin/env bash
# qvbook-cli's standard streams as a shell leaves them: a full disk behind standard output,
# closed descriptors, an option after the files, a file named like an option, and a file
# name that is not UTF-8. Each case checks the exit status, the message on standard error
# and the files left behind.
# usage: output-streams.sh QVBOOK_CLI
set -uo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_RUNTIME_DIR=$work/run && mkdir -m 700 run
printf '0001,a,,0311112222,,,1\r\n0002,b,,0322223333,,,2\r\n' >book.csv
cp book.csv original.csv
failures=0

# expect NAME STATUS PATTERN: the last command's status and a pattern in err.txt.
expect() {
  local name=$1 want=$2 pattern=$3
  if [ "$status" -ne "$want" ]; then
    echo "FAIL $name: exit $status, wanted $want"; cat err.txt; failures=$((failures + 1))
  elif [ -n "$pattern" ] && ! grep -qF -- "$pattern" err.txt; then
    echo "FAIL $name: no \"$pattern\" on standard error"; cat err.txt; failures=$((failures + 1))
  fi
}

"$cli" show book.csv >/dev/full 2>err.txt; status=$?
expect "show into a full disk" 74 "standard output: No space left on device"
"$cli" --help >/dev/full 2>err.txt; status=$?
expect "help into a full disk" 74 "standard output: No space left on device"
"$cli" import book.csv book.csv out.csv >/dev/full 2>err.txt; status=$?
expect "import summary into a full disk" 74 "standard output: No space left on device"
# A closed standard output is one the table cannot be written to, not a number free for
# the program's own files to take.
"$cli" show book.csv >&- 2>err.txt; status=$?
expect "show with standard output closed" 74 "standard output: Bad file descriptor"
"$cli" show book.csv <&- >&- 2>&-; status=$?
: >err.txt
expect "show with every standard stream closed" 74 ""
rm -f out.csv

# Help is asked for alone; after the files an option is a mistake, and "--" ends options.
"$cli" convert book.csv -h >out.txt 2>err.txt; status=$?
expect "help after the files" 64 "usage: qvbook-cli convert"
"$cli" convert book.csv out.csv --frobnicate >out.txt 2>err.txt; status=$?
expect "unknown option after the files" 64 "usage: qvbook-cli convert"
[ ! -e -h ] && [ ! -e out.csv ] || { echo "FAIL a refused command wrote a file"; failures=$((failures + 1)); }
"$cli" convert book.csv out.csv --vcard-version 2.1 >out.txt 2>err.txt; status=$?
expect "an option that does not fit the files" 64 "usage"
"$cli" convert -- book.csv -h.csv >out.txt 2>err.txt; status=$?
expect "a file named -h.csv after --" 0 ""
cmp -s -- -h.csv original.csv || { echo "FAIL -h.csv is not the converted book"; failures=$((failures + 1)); }
"$cli" import book.csv book.csv out.csv --duplicates=add >out.txt 2>err.txt; status=$?
expect "an option after the files" 0 ""

# A Shift-JIS file name (電話帳.csv) in a UTF-8 message: its bytes as escapes.
"$cli" show $'\x93\x64\x98\x62\x92\xA0.csv' >out.txt 2>err.txt; status=$?
expect "a Shift-JIS name" 66 '\x93d\x98b\x92\xA0.csv: No such file or directory'
iconv -f UTF-8 -t UTF-8 err.txt >/dev/null 2>&1 || { echo "FAIL the message is not UTF-8"; failures=$((failures + 1)); }

cmp -s book.csv original.csv || { echo "FAIL book.csv changed"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "all cases passed"
exit "$failures"
