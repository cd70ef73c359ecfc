#!/bin/sh
# Fails when a quoted include runs against the layers, which go bottom up:
#   0 platform/ (text rules, runtime interface, description language)
#   1 platform/win32/ (the Win32 form runtime)
#   2 app/controls.h (control names)
#   3 handlers: search/, results/, help/, app/settings.*; each folder only
#     its own files among the handlers, except that results/ (which reviews
#     what a search left) may use search/
#   4 app/window.* (the main window's description)
#   5 the rest of app/ (the start)
#   6 tests/, bench/, tools/
# A file may include its own layer or a lower one.
cd "$(dirname "$0")/.." || exit 2

layer() {
    case $1 in
        platform/win32/*) echo 1 ;;
        platform/*) echo 0 ;;
        app/controls.h) echo 2 ;;
        app/settings.*|search/*|results/*|help/*) echo 3 ;;
        app/window.*) echo 4 ;;
        app/*) echo 5 ;;
        *) echo 6 ;;
    esac
}

bad=0
checked=0
for file in $(find platform app search results help tests bench tools -name '*.h' -o -name '*.cpp' | sort); do
    from=$(layer "$file")
    for inc in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
        [ -f "$inc" ] || continue
        checked=$((checked + 1))
        to=$(layer "$inc")
        if [ "$to" -gt "$from" ]; then
            echo "$file includes $inc: layer $to above layer $from"
            bad=1
        elif [ "$to" = 3 ] && [ "$from" = 3 ] && [ "${file%%/*}" != "${inc%%/*}" ] &&
             [ "${file%%/*}/${inc%%/*}" != results/search ]; then
            echo "$file includes $inc: one handler folder reaching into another"
            bad=1
        fi
    done
done
[ "$checked" -gt 0 ] || { echo "no includes found: wrong folder?"; exit 2; }
[ "$bad" = 0 ] && echo "includes run one way ($checked checked)"
exit $bad
