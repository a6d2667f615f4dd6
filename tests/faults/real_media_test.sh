#!/usr/bin/env bash
# Writes onto real FAT, exFAT and NTFS images mounted through FUSE (fusefat, exfat-fuse,
# ntfs-3g), as root and as an ordinary user, beside `cp` on the same medium:
#   real_media_test.sh HY3CONV
# Prints one line per medium, mount options, user and operation. Fails where hy3conv fails
# and `cp` did not, where the bytes written are wrong, where a failure changed the old file,
# where a temporary file is left after a kill and a following run, or where a message is
# not one line of UTF-8. Exits 77 (skipped) with the reason where this machine cannot mount.
set -u
export LC_ALL=C.UTF-8

hy3conv=${1:?usage: real_media_test.sh HY3CONV}
hy3conv=$(realpath "$hy3conv")
nobody=65534
writers=4321 # the write group of the group-mounted media

skip() {
    echo "SKIPPED: $*"
    exit 77
}

[ "$(id -u)" -eq 0 ] || skip "mounting disk images needs root"
[ -c /dev/fuse ] || skip "this machine has no /dev/fuse"
missing=()
for tool in mkfs.vfat mkfs.exfat mkntfs fusefat mount.exfat-fuse ntfs-3g losetup setpriv iconv; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ ${#missing[@]} -eq 0 ] ||
    skip "missing ${missing[*]} (packages dosfstools exfatprogs ntfs-3g fusefat exfat-fuse)"

work=$(mktemp -d /tmp/real-media.XXXXXX)
chmod 755 "$work"
mounted=""
loop=""
finish() {
    [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
    [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

# The inputs and, written on the local disk, the bytes each operation must give.
in=$work/in
mkdir "$in"
printf '停留所,1,150,160\r\n地名２,2,170\r\n' | iconv -f UTF-8 -t CP932 >"$in/table.txt"
cp "$in/table.txt" "$in/Table.txt"
printf 'a,1,99999\r\n' >"$in/bad.txt"
# About 18 MB to read, long enough for a kill to find the temporary file on disk, but only
# 92 KB to write: fusefat takes minutes for megabytes. Leading spaces are no part of a name.
row=$(head -c 60000 /dev/zero | tr '\0' ' ')
for _ in $(seq 301); do printf '%sa,1,150\r\n' "$row"; done >"$in/large.txt"
ref=$work/ref
mkdir "$ref"
"$hy3conv" --quiet "$in/table.txt" "$ref/table.hy3" &&
    "$hy3conv" --quiet --to-text "$ref/table.hy3" "$ref/table.txt" &&
    "$hy3conv" --template "$ref/template.txt" || {
    echo "FAILED: hy3conv does not even write on the local disk"
    exit 1
}
chmod -R a+rX "$in" "$ref"
old="OLD FILE THE USER RELIES ON"

failures=0
report() { # config, operation, result of hy3conv, result of cp, whether that is a failure
    printf '%-40s %-22s %-34s %s\n' "$1" "$2" "$3" "$4"
    if [ "$5" = bad ]; then failures=$((failures + 1)); fi
}

# Runs a command as the configuration's user; its error output goes to $work/err.
user=root
as_user() {
    if [ "$user" = root ]; then
        "$@" 2>"$work/err"
    else
        setpriv --reuid=$nobody --regid=$nobody --groups=$writers -- "$@" 2>"$work/err"
    fi
}

# The first message of hy3conv, shortened, for the table.
said() {
    local first
    first=$(head -n 1 "$work/err" | sed 's/^hy3conv: //; s/^[^:]*: \([0-9]\)/\1/')
    echo "${first:0:40}"
}

messages_are_lines() {
    iconv -f UTF-8 -t UTF-8 "$work/err" >/dev/null 2>&1 || return 1
    ! grep -q "$(printf '\r')" "$work/err"
}

leftovers() { find "$1" -maxdepth 1 -name '.hy3-*' | wc -l; }

# Replaces an existing file (after `cp` did the same, on a file of its own) and checks bytes.
replace_case() { # config, operation, expected file, output, hy3conv arguments...
    local config=$1 operation=$2 expected=$3 output=$4
    shift 4
    as_user sh -c "printf '%s' '$old' >'$output.cp' && printf '%s' '$old' >'$output'"
    local cp_result=ok
    as_user cp "$expected" "$output.cp" || cp_result="fails: $(head -c 60 "$work/err")"
    as_user "$hy3conv" "$@"
    local status=$?
    if [ $status -eq 0 ] && cmp -s "$expected" "$output"; then
        report "$config" "$operation" ok "$cp_result" good
    elif [ $status -eq 0 ]; then
        report "$config" "$operation" "wrong bytes" "$cp_result" bad
    elif [ "$cp_result" = ok ] || [ "$(cat "$output")" != "$old" ]; then
        report "$config" "$operation" "fails: $(said)" "$cp_result" bad
    else
        report "$config" "$operation" "fails as cp: $(said)" "$cp_result" good
    fi
}

run_operations() { # config, folder on the medium, whether the medium ignores case
    local config=$1 dir=$2 ignores_case=$3
    replace_case "$config" convert "$ref/table.hy3" "$dir/table.hy3" --quiet "$in/table.txt" "$dir/table.hy3"
    replace_case "$config" --to-text "$ref/table.txt" "$dir/back.txt" --quiet --to-text "$ref/table.hy3" "$dir/back.txt"
    replace_case "$config" --template "$ref/template.txt" "$dir/template.txt" --template "$dir/template.txt"
    as_user mkdir -p "$dir/batch"
    replace_case "$config" "batch -o" "$ref/table.hy3" "$dir/batch/table.hy3" --quiet -o "$dir/batch" "$in/table.txt"
    as_user rm -f "$dir/batch/table.hy3.cp"

    # A failed conversion keeps the old file byte for byte.
    as_user sh -c "printf '%s' '$old' >'$dir/kept.hy3'"
    as_user "$hy3conv" --quiet "$in/bad.txt" "$dir/kept.hy3"
    if [ $? -eq 1 ] && [ "$(cat "$dir/kept.hy3")" = "$old" ] && [ "$(leftovers "$dir")" -eq 0 ]; then
        report "$config" "failure keeps old" "ok: $(said)" - good
    else
        report "$config" "failure keeps old" "old file changed or left behind" - bad
    fi

    # SIGKILL while the new file is written, then a following run: nothing is left behind.
    local pid waited=0
    if [ "$user" = root ]; then
        "$hy3conv" --quiet "$in/large.txt" "$dir/table.hy3" 2>/dev/null &
    else
        setpriv --reuid=$nobody --regid=$nobody --groups=$writers -- \
            "$hy3conv" --quiet "$in/large.txt" "$dir/table.hy3" 2>/dev/null &
    fi
    pid=$!
    while [ "$(leftovers "$dir")" -eq 0 ] && kill -0 $pid 2>/dev/null && [ $waited -lt 500 ]; do
        sleep 0.01
        waited=$((waited + 1))
    done
    local seen
    seen=$(leftovers "$dir")
    kill -9 $pid 2>/dev/null
    wait $pid 2>/dev/null
    local after_kill
    after_kill=$(leftovers "$dir")
    # As if the next run came a minute later: a younger one may still be written elsewhere.
    find "$dir" -maxdepth 1 -name '.hy3-*' -exec touch -d '1 minute ago' {} +
    as_user "$hy3conv" --quiet "$in/table.txt" "$dir/table.hy3"
    if [ "$(leftovers "$dir")" -eq 0 ] && cmp -s "$ref/table.hy3" "$dir/table.hy3"; then
        report "$config" "kill -9, run again" "ok ($after_kill left by kill)" - good
    else
        report "$config" "kill -9, run again" "$(leftovers "$dir") left (seen $seen): $(said)" - bad
    fi

    # The kernel forgets the old file during a run (FUSE numbers it anew): no swap for that.
    # Not on fusefat, whose rename spins for minutes in a folder grown this full (the unit
    # test of the swap check drops the caches on a fresh fusefat image).
    if [ "$kind" != fat ]; then
    as_user sh -c "printf '%s' '$old' >'$dir/table.hy3'"
    if [ "$user" = root ]; then
        "$hy3conv" --quiet "$in/large.txt" "$dir/table.hy3" 2>"$work/err" &
    else
        setpriv --reuid=$nobody --regid=$nobody --groups=$writers -- \
            "$hy3conv" --quiet "$in/large.txt" "$dir/table.hy3" 2>"$work/err" &
    fi
    pid=$!
    waited=0
    while [ "$(leftovers "$dir")" -eq 0 ] && kill -0 $pid 2>/dev/null && [ $waited -lt 500 ]; do
        sleep 0.01
        waited=$((waited + 1))
    done
    echo 2 >/proc/sys/vm/drop_caches
    wait $pid
    if [ $? -eq 0 ]; then
        report "$config" "caches dropped mid-run" ok - good
    else
        report "$config" "caches dropped mid-run" "fails: $(said)" - bad
    fi
    fi

    # Two inputs whose outputs differ only in case: one file where the medium ignores case.
    as_user mkdir -p "$dir/case"
    as_user "$hy3conv" --quiet -o "$dir/case" "$in/table.txt" "$in/Table.txt"
    local status=$? count
    count=$(find "$dir/case" -maxdepth 1 -iname 'table.hy3' | wc -l)
    if [ "$ignores_case" = yes ] && [ $status -eq 2 ] && [ "$count" -eq 0 ]; then
        report "$config" "batch table/Table" "refused: one file here" - good
    elif [ "$ignores_case" = no ] && [ $status -eq 0 ] && [ "$count" -eq 2 ]; then
        report "$config" "batch table/Table" "ok: two files" - good
    else
        report "$config" "batch table/Table" "exit $status, $count files" - bad
    fi

    # Input and output one file, the output spelled in another case.
    as_user cp "$in/table.txt" "$dir/same.txt"
    as_user "$hy3conv" --quiet "$dir/same.txt" "$dir/SAME.TXT"
    status=$?
    if ! cmp -s "$in/table.txt" "$dir/same.txt"; then
        report "$config" "same file, other case" "the input was destroyed" - bad
    elif [ "$ignores_case" = yes ] && [ $status -ne 1 ]; then
        report "$config" "same file, other case" "exit $status" - bad
    else
        report "$config" "same file, other case" "input kept: $(said)" - good
    fi

    # Names the medium may not store: Japanese, Shift-JIS bytes, a character FAT refuses.
    local name
    for name in "運賃.hy3" "$(printf '\x89\x5e\x92\x80').hy3" "a?b.hy3"; do
        local cp_result=ok
        as_user cp "$ref/table.hy3" "$dir/$name" || cp_result="fails"
        as_user rm -f "$dir/$name"
        as_user "$hy3conv" --quiet "$in/table.txt" "$dir/$name"
        status=$?
        local shown
        shown=$(printf '%q' "$name" | cut -c 1-20)
        if ! messages_are_lines; then
            report "$config" "name $shown" "message not one line of UTF-8" "$cp_result" bad
        elif [ $status -eq 0 ] && cmp -s "$ref/table.hy3" "$dir/$name"; then
            report "$config" "name $shown" ok "$cp_result" good
        elif [ $status -eq 1 ] && [ "$cp_result" != ok ] && grep -q 'この媒体' "$work/err"; then
            report "$config" "name $shown" "fails: $(said)" "$cp_result" good
        else
            report "$config" "name $shown" "exit $status: $(said)" "$cp_result" bad
        fi
        as_user rm -f "$dir/$name"
    done
}

# Makes a fresh image of the kind, mounts it with the options and runs every operation.
medium() { # kind, mount options, user (root or user)
    local kind=$1 options=$2
    user=$3
    local image=$work/$kind.img point=$work/mnt
    mkdir -p "$point"
    rm -f "$image"
    truncate -s 40M "$image"
    local mount_status
    case $kind in
        fat)
            mkfs.vfat "$image" >/dev/null
            fusefat -o "rw+,$options" "$image" "$point" >/dev/null 2>&1
            mount_status=$?
            ;;
        exfat)
            mkfs.exfat "$image" >/dev/null
            loop=$(losetup -f --show "$image") || {
                report "$kind $options" "mount" "no loop device: skipped" - good
                loop=""
                return
            }
            mount.exfat-fuse -o "$options" "$loop" "$point" >/dev/null 2>&1
            mount_status=$?
            ;;
        ntfs)
            mkntfs -F -Q "$image" >/dev/null 2>&1
            ntfs-3g -o "$options" "$image" "$point" >/dev/null 2>&1
            mount_status=$?
            ;;
    esac
    if [ $mount_status -ne 0 ]; then
        skip "the $kind image cannot be mounted through FUSE here"
    fi
    mounted=$point
    local dir=$point/work
    as_user mkdir "$dir"
    as_user touch "$dir/probe"
    local ignores_case=no
    [ -e "$dir/PROBE" ] && ignores_case=yes
    as_user rm -f "$dir/probe"
    kind=$kind run_operations "$kind $options as $user" "$dir" $ignores_case
    umount "$point"
    mounted=""
    if [ -n "$loop" ]; then
        losetup -d "$loop"
        loop=""
    fi
}

printf '%-40s %-22s %-34s %s\n' "medium, options, user" operation hy3conv cp
medium fat "allow_other" root
medium fat "allow_other,umask=000" user
medium exfat "allow_other" root
medium exfat "umask=000" user
medium exfat "gid=$writers,umask=002" user
medium ntfs "allow_other" root
medium ntfs "umask=000" user
medium ntfs "gid=$writers,umask=002" user

if [ $failures -gt 0 ]; then
    echo "FAILED: $failures cases"
    exit 1
fi
echo "all cases hold"
