#!/usr/bin/env bash
# The installed launcher: installs the build into a temporary prefix and starts varnel-start with a
# temporary home folder (the program only prints its version, so no window is needed). Argument: the
# build folder.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
export HOME=$work/home QT_QPA_PLATFORM=offscreen FIREBIRD_LOCK=$work/lock
mkdir -p "$HOME" "$FIREBIRD_LOCK"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
mode() { stat -c %a "$1"; }
count() {   # count(*) of a table of a database, read with isql-fb
    printf 'SELECT count(*) FROM %s;\n' "$2" |
        isql-fb -q -user SYSDBA -password quarzline "$1" | awk 'NF == 1 && $1 ~ /^[0-9]+$/ { print $1 }'
}

# First start: the working folder, an empty database with the base rows, the templates beside it.
version=$("$prefix/bin/varnel-start" --version)
[[ $version == *3.0.0.0* ]] || fail "the program did not run: $version"
folder=$HOME/Varnel
[ "$(mode "$folder")" = 700 ] || fail "working folder mode $(mode "$folder")"
[ "$(mode "$folder/VARNEL2013.FDB")" = 600 ] || fail "database mode $(mode "$folder/VARNEL2013.FDB")"
[ "$(count "$folder/VARNEL2013.FDB" bizszam)" = 1 ] || fail "no counter row in the new database"
[ "$(count "$folder/VARNEL2013.FDB" cikk)" = 0 ] || fail "the new database is not empty"
for template in "$prefix"/share/varnel/templates/*; do
    [ -f "$folder/${template##*/}" ] || fail "${template##*/} was not copied"
done

# The desktop entry's icon: the SVG and the theme's fixed sizes.
for size in 16 32 48 64 128 256; do
    [ -f "$prefix/share/icons/hicolor/${size}x$size/apps/varnel.png" ] || fail "no $size pixel icon"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/varnel.svg" ] || fail "no scalable icon"

# Next start: the database stays; a template the user changed stays; one the package added arrives.
sum=$(md5sum <"$folder/VARNEL2013.FDB")
echo changed >"$folder/VarnelCikk.frf"
echo new >"$prefix/share/varnel/templates/VarnelUj.frf"
"$prefix/bin/varnel-start" --version >/dev/null
[ "$(md5sum <"$folder/VARNEL2013.FDB")" = "$sum" ] || fail "the database was touched"
[ "$(cat "$folder/VarnelCikk.frf")" = changed ] || fail "a changed template was overwritten"
[ "$(cat "$folder/VarnelUj.frf")" = new ] || fail "a template the package added was not copied"

# The demo has a folder of its own.
"$prefix/bin/varnel-start" --demo --version >/dev/null
[ "$(count "$HOME/Varnel-bemutato/VARNEL2013.FDB" cikk)" -gt 0 ] || fail "the demo database has no items"

# With a server database no local database is made.
rm -rf "$folder"
"$prefix/bin/varnel-start" --database 127.0.0.1/1:VARNEL2013.FDB --version >/dev/null
[ -d "$folder" ] && [ ! -e "$folder/VARNEL2013.FDB" ] || fail "a local database was made in server mode"
echo "launcher: all checks passed"
