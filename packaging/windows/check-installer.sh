#!/usr/bin/env bash
# Installs and uninstalls the Windows installer silently under Wine, in a fresh Wine prefix
# of its own, and checks what each step leaves:
#   ./check-installer.sh rukanoba3-VERSION-setup.exe [STAGE]
# With STAGE, the install folder must hold exactly STAGE's files plus uninstall.exe.
# Two rounds: a first install and its uninstall, with the tables' extensions already held
# by another program; then, with .hy3 held by another program too, an install over the
# same version (so the old uninstaller runs first) and its uninstall. After each uninstall
# the drive and both registry hives must be as before the install.
# Needs wine (64-bit) and python3; no display.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "使い方: $0 SETUP_EXE [STAGE]" >&2
    exit 2
fi
setup=$(realpath "$1")
stage=${2:+$(realpath "$2")}
[ -f "$setup" ] || { echo "$setup がありません" >&2; exit 2; }
version=$(basename "$setup" | sed -n 's/^rukanoba3-\(.*\)-setup\.exe$/\1/p')

work=$(mktemp -d /tmp/rukanoba3-wine.XXXXXX)
# Everything Wine writes stays in the work folder: menu entries and icons would otherwise
# go to the host's ~/.local and ~/.config (winemenubuilder is off as well).
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"
finish() {
    local status=$?
    wineserver -k 2>/dev/null || true
    if [ $status -eq 0 ]; then
        rm -rf "$work"
    else
        echo "（調べられるよう Wine の環境を残しました: $WINEPREFIX）" >&2
    fi
}
trap finish EXIT

fail() {
    echo "== 失敗: $*" >&2
    exit 1
}

# Runs a Windows program and waits for every process it started, and for the registry to
# be written out.
run() {
    local status=0
    wine "$@" || status=$?
    wineserver -w
    return $status
}

echo "== Wine の環境を作ります: $WINEPREFIX" >&2
run wineboot -i >/dev/null 2>&1 || fail "wineboot が失敗しました"
# The first program that asks for the desktop has Wine rewrite a few device keys of its
# own (the installer would be that program); one that only does that goes first.
run rundll32 user32.dll,GetDesktopWindow >/dev/null 2>&1 || true
user=$(cd "$WINEPREFIX/drive_c/users" && ls | grep -vx Public | head -n 1)
[ -n "$user" ] || fail "Wine のユーザーフォルダーがありません"
profile=$WINEPREFIX/drive_c/users/$user
instdir=$profile/AppData/Local/Programs/Rukanoba3
instdir_win="C:\\users\\$user\\AppData\\Local\\Programs\\Rukanoba3"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ルカノバ 3.lnk"

# What Wine itself changes between two runs and is ignored: the time stamps of registry
# keys, the driver date Wine writes anew at every start, and the empty ~nsuN.tmp folder
# the uninstaller's temporary copy leaves in Temp (NSIS has Windows delete the copy and
# the folder at the next restart; Wine's restart deletes only the file).
ignored_temp="^d \./users/$user/Temp/~nsu[0-9A-Za-z]*\.tmp\$"
snapshot() {
    local hive
    for hive in user system; do
        sed -E 's/^(\[.*\]) [0-9]+$/\1/; /^#time=/d; /^"DriverDateData"=/d' \
            "$WINEPREFIX/$hive.reg" >"$work/$1.$hive.reg"
    done
    (cd "$WINEPREFIX/drive_c" && find . -printf '%y %p\n' | LC_ALL=C sort) |
        grep -v -- "$ignored_temp" >"$work/$1.files" || true
}

# Checks the current user's registry against "key<TAB>name<TAB>value" rows on stdin: name
# @ is the key's default value, value * any value, - no value; DWORDs read dword:%08x.
check_registry() {
    python3 -c '
import re, sys

def unescape(text):
    def one(m):
        s = m.group(1)
        if s[0] == "x":
            return chr(int(s[1:], 16))
        return {"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(s, s)
    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", one, text)

keys, key = {}, None
with open(sys.argv[1], encoding="utf-8") as f:
    for line in f:
        line = line.rstrip("\n")
        m = re.match(r"^\[(.*)\](?: \d+)?$", line)
        if m:
            key = keys.setdefault(unescape(m.group(1)).lower(), {})
            continue
        m = re.match(r"^(@|\"(?:[^\"\\]|\\.)*\")=(.*)$", line)
        if key is not None and m:
            name = "@" if m.group(1) == "@" else unescape(m.group(1)[1:-1])
            value = m.group(2)
            if value.startswith("\"") and value.endswith("\""):
                value = unescape(value[1:-1])
            key[name.lower()] = value

failures = 0
for row in sys.stdin.read().splitlines():
    path, name, want = row.split("\t")
    got = keys.get(path.lower(), {}).get(name.lower())
    ok = got is None if want == "-" else got is not None and want in ("*", got)
    if not ok:
        failures += 1
        print(f"  {path} の {name}: {got!r}（期待: {want}）", file=sys.stderr)
sys.exit(1 if failures else 0)
' "$WINEPREFIX/user.reg"
}

check_installed() {
    local hy3_default=$1
    if [ -n "$stage" ]; then
        diff <({ (cd "$stage" && find . -mindepth 1 -printf '%y %P\n'); echo "f uninstall.exe"; } | LC_ALL=C sort) \
            <(cd "$instdir" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) >&2 ||
            fail "インストール先のファイルが STAGE と違います（< STAGE, > インストール先）"
    else
        for file in rukanoba3.exe hy3conv.exe rukanoba3.ico uninstall.exe; do
            [ -f "$instdir/$file" ] || fail "インストール先に $file がありません"
        done
    fi
    [ -f "$shortcut" ] || fail "スタートメニューのショートカットがありません: $shortcut"

    local classes='Software\Classes'
    local uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall\Rukanoba3'
    local open="\"$instdir_win\\rukanoba3.exe\" \"%1\""
    local icon="\"$instdir_win\\rukanoba3.ico\""
    {
        printf '%s\t%s\t%s\n' \
            "$classes\\Rukanoba3.hy3" @ "運賃表示器データ (Ver3)" \
            "$classes\\Rukanoba3.hy3\\DefaultIcon" @ "$icon,0" \
            "$classes\\Rukanoba3.hy3\\shell\\open\\command" @ "$open" \
            "$classes\\.hy3" @ "$hy3_default" \
            "$classes\\.hy3\\OpenWithProgids" Rukanoba3.hy3 "" \
            "$classes\\Rukanoba3.table\\shell\\open\\command" @ "$open" \
            "$classes\\Applications\\rukanoba3.exe" FriendlyAppName "ルカノバ 3" \
            "$classes\\Applications\\rukanoba3.exe\\shell\\open\\command" @ "$open" \
            "$classes\\Applications\\rukanoba3.exe\\SupportedTypes" .hy3 "" \
            "$classes\\.csv" @ Other.csv \
            "$classes\\.csv\\OpenWithProgids" Other.csv "" \
            "$uninstall" DisplayName "ルカノバ 3" \
            "$uninstall" DisplayVersion "${version:-*}" \
            "$uninstall" Publisher "Rukanoba3 project" \
            "$uninstall" DisplayIcon "$icon" \
            "$uninstall" InstallLocation "$instdir_win" \
            "$uninstall" UninstallString "\"$instdir_win\\uninstall.exe\"" \
            "$uninstall" QuietUninstallString "\"$instdir_win\\uninstall.exe\" /S" \
            "$uninstall" NoModify dword:00000001 \
            "$uninstall" NoRepair dword:00000001 \
            "$uninstall" EstimatedSize '*'
        for ext in .csv .txt .xlsx .ods; do
            printf '%s\t%s\t%s\n' \
                "$classes\\$ext\\OpenWithProgids" Rukanoba3.table "" \
                "$classes\\Applications\\rukanoba3.exe\\SupportedTypes" "$ext" ""
        done
        # The tables' own defaults are never written.
        for ext in .txt .xlsx .ods; do
            printf '%s\t%s\t%s\n' "$classes\\$ext" @ -
        done
    } | check_registry || fail "レジストリが期待どおりではありません（上記）"
}

install() {
    local status=0
    run "$setup" /S || status=$?
    [ $status -eq 0 ] || fail "インストーラーが終了コード $status で終わりました"
}

uninstall() {
    local status=0
    [ -f "$instdir/uninstall.exe" ] || fail "uninstall.exe がありません"
    # As Apps & features does: the uninstaller copies itself to Temp and returns at once;
    # run waits for the copy. Then a restart, for the copy to be deleted.
    run "$instdir/uninstall.exe" /S || status=$?
    [ $status -eq 0 ] || fail "アンインストーラーが終了コード $status で終わりました"
    run wineboot -r >/dev/null 2>&1 || true
}

check_as_before() {
    snapshot after
    local name
    for name in files user.reg system.reg; do
        diff "$work/before.$name" "$work/after.$name" >&2 ||
            fail "アンインストール後、$name がインストール前と違います（< 前, > 後）"
    done
    local leftover
    leftover=$(cd "$WINEPREFIX/drive_c" && find . -printf '%y %p\n' | grep -- "$ignored_temp" || true)
    [ -z "$leftover" ] || echo "   （無視: NSIS の一時フォルダー ${leftover#d ./}）" >&2
}

# Another program's claim on .csv, which must survive both rounds.
run reg add 'HKCU\Software\Classes\.csv' /ve /d Other.csv /f >/dev/null
run reg add 'HKCU\Software\Classes\.csv\OpenWithProgids' /v Other.csv /d "" /f >/dev/null

echo "== 1 回目: インストールします" >&2
snapshot before
started=$SECONDS
install
echo "   インストール: $((SECONDS - started)) 秒" >&2
check_installed Rukanoba3.hy3
# What the program writes once a table window has been closed: its size, to open at next time.
run reg add 'HKCU\Software\rukanoba3\rukanoba3\TableWindow' /v size /d '@Size(900 700)' /f \
    >/dev/null
echo "== 1 回目: アンインストールします" >&2
started=$SECONDS
uninstall
echo "   アンインストール: $((SECONDS - started)) 秒" >&2
check_as_before

echo "== 2 回目: .hy3 が他のプログラムのものでも、同じ版の上にもう一度インストールします" >&2
run reg add 'HKCU\Software\Classes\.hy3' /ve /d Other.hy3 /f >/dev/null
snapshot before
install
install
check_installed Other.hy3
echo "== 2 回目: アンインストールします" >&2
uninstall
check_as_before

echo "== インストーラーの確認が終わりました（問題なし、$SECONDS 秒）" >&2
