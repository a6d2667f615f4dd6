#!/usr/bin/env bash
# Pulls the memory card the moment hy3conv says it converted: boots the machine's Debian kernel
# under QEMU with a small initramfs, mounts a FAT32 or exFAT disk image in the guest, converts a
# table onto it and, as soon as hy3conv exits 0, kills QEMU with SIGKILL (no sync, no unmount).
# The image is then read back (mtools for FAT, a read-only boot of the same kernel for exFAT) and
# must hold the new bytes under the name given, in every pull:
#   power_cut_test.sh [HY3CONV] [PULLS]    (defaults: build/src/programs/hy3conv, 10)
# Prints one row per medium, mount options and operation with what the pulls left on the card,
# then each pull that did not hold with the files on its card. Exits 0 only when every
# pull held the new file, 1 otherwise, 77 where QEMU or its kernel cannot run here. Not run by
# ctest: each pull is a boot, 15 to 40 seconds under TCG (40 minutes for the matrix of 10 pulls
# on a busy two-core machine), a few seconds with a KVM that works.
set -u
export LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1

root=$(cd "$(dirname "$0")/../.." && pwd)
hy3conv=${1:-$root/build/src/programs/hy3conv}
pulls=${2:-10}
name=route123.hy3 # the file on the card

skip() {
    echo "SKIPPED: $*"
    exit 77
}
[ -x "$hy3conv" ] || {
    echo "usage: power_cut_test.sh [HY3CONV] [PULLS]; no hy3conv at $hy3conv" >&2
    exit 2
}
hy3conv=$(realpath "$hy3conv")
[[ $pulls =~ ^[1-9][0-9]*$ ]] || {
    echo "usage: power_cut_test.sh [HY3CONV] [PULLS]; PULLS is a count" >&2
    exit 2
}
# What the check needs comes from Debian, installed here where root may install it.
packages=(qemu-system-x86 busybox-static cpio dosfstools exfatprogs mtools linux-image-amd64)
absent=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        absent+=("$package")
done
if [ ${#absent[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
    echo "installing ${absent[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "${absent[@]}" </dev/null >/dev/null
fi
missing=()
for tool in qemu-system-x86_64 busybox cpio mkfs.vfat mkfs.exfat mcopy mtype mdir ldd iconv; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ ${#missing[@]} -eq 0 ] || skip "missing ${missing[*]} (packages qemu-system-x86" \
    "busybox-static cpio dosfstools exfatprogs mtools)"
ldd "$(command -v busybox)" >/dev/null 2>&1 && skip "busybox is not static (busybox-static)"
kernel=$(find /boot -maxdepth 1 -name 'vmlinuz-*' | sort -V | tail -n 1)
[ -n "$kernel" ] || skip "no kernel in /boot (package linux-image-amd64)"
[ -r "$kernel" ] || skip "$kernel cannot be read (run as root)"
modules=/lib/modules/${kernel#/boot/vmlinuz-}
[ -f "$modules/modules.dep" ] || skip "no $modules/modules.dep for $kernel"

work=$(mktemp -d /tmp/power-cut.XXXXXX)
keep=no
qemu_pid=""
finish() {
    [ -n "$qemu_pid" ] && kill -9 "$qemu_pid" 2>/dev/null
    if [ $keep = yes ]; then echo "consoles and cards kept in $work"; else rm -rf "$work"; fi
}
trap finish EXIT

# The table, and the card's old file: the same route with one fare raised. Both converted on the
# local disk give the bytes to compare with.
in=$work/in
mkdir -p "$in"
"$hy3conv" --template "$in/table.txt" >/dev/null &&
    iconv -f CP932 -t UTF-8 "$in/table.txt" | sed 's/^\(地名３,2,\)150/\1160/' |
    iconv -f UTF-8 -t CP932 >"$in/old.txt" &&
    "$hy3conv" --quiet "$in/table.txt" "$work/new.hy3" &&
    "$hy3conv" --quiet "$in/old.txt" "$in/old.hy3" &&
    ! cmp -s "$work/new.hy3" "$in/old.hy3" || {
    echo "FAILED: hy3conv does not convert the template on the local disk"
    exit 1
}
new_sum=$(sha256sum <"$work/new.hy3" | cut -d ' ' -f 1)
old_sum=$(sha256sum <"$in/old.hy3" | cut -d ' ' -f 1)

# The initramfs: static busybox, the block and file system modules with what they depend on,
# hy3conv with its libraries, the inputs and /init.
stage=$work/initramfs
mkdir -p "$stage"/{bin,dev,proc,sys,mnt,modules}
cp "$(command -v busybox)" "$stage/bin/busybox"
for applet in $(busybox --list); do
    [ "$applet" = busybox ] || ln -s busybox "$stage/bin/$applet"
done
mknod "$stage/dev/console" c 5 1 2>/dev/null
declare -A added=()
count=0
add_module() { # path in modules.dep; its dependencies first
    local path=$1 dependency
    [ -n "${added[$path]:-}" ] && return
    added[$path]=1
    for dependency in $(grep -m 1 "^$path:" "$modules/modules.dep" | cut -d : -f 2); do
        add_module "$dependency"
    done
    count=$((count + 1))
    local target
    target=$stage/modules/$(printf '%02d' $count)-$(basename "${path%%.ko*}").ko
    case $path in
        *.ko.xz) xz -dc "$modules/$path" >"$target" ;;
        *.ko.zst) zstd -qdc "$modules/$path" >"$target" ;;
        *.ko.gz) gzip -dc "$modules/$path" >"$target" ;;
        *) cp "$modules/$path" "$target" ;;
    esac
}
for module in virtio_pci virtio_blk fat vfat exfat nls_cp437 nls_ascii nls_utf8 nls_iso8859-1; do
    path=$(grep -oE "^([^:]*/)?$module\.ko(\.xz|\.zst|\.gz)?:" "$modules/modules.dep" | tr -d :)
    if [ -n "$path" ]; then
        add_module "$path"
    elif ! grep -qE "/$module\.ko" "$modules/modules.builtin"; then
        skip "the kernel has no module $module"
    fi
done
cp "$hy3conv" "$stage/bin/hy3conv"
for library in $(ldd "$hy3conv" | grep -oE '/[^ ]+'); do
    mkdir -p "$stage$(dirname "$library")"
    cp -L "$library" "$stage$library"
done
cp -r "$in" "$stage/in"
cat >"$stage/init" <<EOF
#!/bin/sh
# pcmode=pull: converts onto the card, says CONVERTED on exit 0 and waits for the cut.
# pcmode=prepare: puts the old file on the card and unmounts. pcmode=check: lists the card.
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
arg() { sed -n "s/.* \$1=\([^ ]*\).*/\1/p" /proc/cmdline; }
mode=\$(arg pcmode) fs=\$(arg pcfs) options=\$(arg pcoptions) nonce=\$(arg pcnonce)
say() { echo "PC-\$1-\$nonce \$2"; }
for module in /modules/*.ko; do insmod "\$module" || say FAILED "insmod \$module"; done
tries=0
while [ \$(ls /dev/vd* 2>/dev/null | wc -l) -lt \$(arg pcdisks) ] && [ \$tries -lt 100 ]; do
    sleep 0.1
    tries=\$((tries + 1))
done
# No writeback of the kernel's own: only what the program forces reaches the card.
echo 0 >/proc/sys/vm/dirty_writeback_centisecs
echo 360000 >/proc/sys/vm/dirty_expire_centisecs
case \$mode in
    pull)
        if ! mount -t "\$fs" -o "\$options" /dev/vda /mnt; then
            say FAILED "mount -o \$options"
        elif /bin/hy3conv /in/table.txt /mnt/$name; then
            say CONVERTED
        else
            say FAILED "hy3conv exit \$?"
        fi
        while :; do sleep 3600; done ;;
    prepare)
        mount -t "\$fs" -o "\$options" /dev/vda /mnt && cp /in/old.hy3 /mnt/$name &&
            umount /mnt && say PREPARED ;;
    check)
        for disk in /dev/vd*; do
            mount -t "\$fs" -o ro "\$disk" /mnt || continue
            for file in /mnt/* /mnt/.*; do
                [ -f "\$file" ] || continue
                say FILE "\$(cat /sys/block/\${disk#/dev/}/serial) \$(sha256sum <"\$file" | cut -d ' ' -f 1) \$(stat -c %s "\$file") \${file#/mnt/}"
            done
            umount /mnt
        done
        say CHECKED ;;
esac
poweroff -f
EOF
chmod 755 "$stage/init"
(cd "$stage" && find . | cpio -o -H newc --quiet >"$work/initramfs.cpio") || {
    echo "FAILED: the initramfs cannot be made"
    exit 1
}

# boot MODE FS OPTIONS IMAGE...: boots with the images as virtio disks (serial numbers card1,
# card2...). Sets `said` to the guest's last word (CONVERTED, FAILED, PREPARED, CHECKED or
# nothing); on CONVERTED, QEMU is killed that moment. The console is left in $work/console, the
# files a check found ("card sha256 size name") in $work/guest-files.
boot() {
    local mode=$1 fs=$2 options=$3 nonce=$RANDOM$RANDOM line disks=() disk=0 image
    shift 3
    for image in "$@"; do
        disk=$((disk + 1))
        disks+=(-drive "file=$image,if=none,id=card$disk,format=raw,cache=writeback"
            -device "virtio-blk-pci,drive=card$disk,serial=card$disk")
    done
    rm -f "$work/serial"
    mkfifo "$work/serial"
    qemu-system-x86_64 -nodefaults -no-user-config -machine "accel=$accel" -cpu "$cpu" -m 256 \
        -smp 1 -display none -no-reboot -serial stdio -kernel "$kernel" \
        -initrd "$work/initramfs.cpio" "${disks[@]}" -append "console=ttyS0 quiet panic=-1 \
pcmode=$mode pcfs=$fs pcoptions=$options pcdisks=$disk pcnonce=$nonce" \
        </dev/null >"$work/serial" 2>"$work/qemu.err" &
    qemu_pid=$!
    exec 3<"$work/serial"
    : >"$work/console"
    said=""
    local until=$((SECONDS + boot_seconds))
    while [ $SECONDS -lt $until ] && IFS= read -r -t $boot_seconds line <&3; do
        printf '%s\n' "$line" >>"$work/console"
        case $line in
            *"PC-CONVERTED-$nonce"*)
                kill -9 $qemu_pid
                said=CONVERTED
                break
                ;;
            *"PC-FAILED-$nonce"* | *"PC-PREPARED-$nonce"* | *"PC-CHECKED-$nonce"*)
                said=${line#*PC-}
                said=${said%%-*}
                break
                ;;
        esac
    done
    kill -9 $qemu_pid 2>/dev/null
    wait $qemu_pid 2>/dev/null
    qemu_pid=""
    exec 3<&-
    sed -n "s/.*PC-FILE-$nonce //p" "$work/console" | tr -d '\r' >"$work/guest-files"
}

# KVM where it starts the kernel (a nested machine may offer /dev/kvm that does not), else TCG.
accel=tcg
cpu=qemu64
boot_seconds=900
if [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    accel=kvm
    cpu=host
    boot_seconds=30
    truncate -s 1M "$work/probe.img"
    boot check vfat ro "$work/probe.img"
    if [ "$said" = CHECKED ]; then
        boot_seconds=120
    else
        accel=tcg
        cpu=qemu64
        boot_seconds=900
        echo "KVM does not start the kernel here: TCG, 15 seconds or more a boot"
    fi
fi

# files_on FS IMAGE...: "card sha256 size name" for each file in the root folder of each card
# (card1 the first image), as mtools reads FAT and as the guest kernel reads exFAT.
files_on() {
    local fs=$1 disk=0 image file
    shift
    if [ "$fs" != vfat ]; then
        boot check "$fs" ro "$@"
        [ "$said" = CHECKED ] && cat "$work/guest-files"
        return # the status of the check boot
    fi
    for image in "$@"; do
        disk=$((disk + 1))
        mdir -i "$image" -a -b ::/ 2>/dev/null | while IFS= read -r file; do
            mtype -i "$image" "$file" >"$work/file" 2>/dev/null || continue
            echo "card$disk $(sha256sum <"$work/file" | cut -d ' ' -f 1) $(wc -c <"$work/file") \
${file#::/}"
        done
    done
}

# What card CARD of a listing holds under the name: held, old, empty (nothing or 0 bytes), other.
verdict() {
    local card sum size file
    while read -r card sum size file; do
        [ "$card" = "$1" ] && [ "${file,,}" = "$name" ] || continue
        if [ "$sum" = "$new_sum" ]; then
            echo held
        elif [ "$sum" = "$old_sum" ]; then
            echo old
        elif [ "$size" -eq 0 ]; then
            echo empty
        else
            echo other
        fi
        return
    done
    echo empty
}

# The files of card CARD in a listing, each with what its bytes are.
described() {
    local card sum size file what
    while read -r card sum size file; do
        [ "$card" = "$1" ] || continue
        what="other bytes"
        [ "$sum" = "$new_sum" ] && what="the new bytes"
        [ "$sum" = "$old_sum" ] && what="the old bytes"
        [ "$size" -eq 0 ] && what="empty"
        printf '      %-16s %6s bytes, %s\n' "$file" "$size" "$what"
    done
    true
}

# new_bytes_at IMAGE: the first cluster of a FAT32 card made here that begins the new bytes whole,
# named or not (the first 256 clusters: a fresh card fills from the front), or nothing.
new_bytes_at() {
    local image=$1 sector per_cluster reserved fats fat_size start cluster
    sector=$(od -An -tu2 -j 11 -N 2 "$image")
    per_cluster=$(od -An -tu1 -j 13 -N 1 "$image")
    reserved=$(od -An -tu2 -j 14 -N 2 "$image")
    fats=$(od -An -tu1 -j 16 -N 1 "$image")
    fat_size=$(od -An -tu4 -j 36 -N 4 "$image")
    start=$(((reserved + fats * fat_size) * sector))
    for cluster in $(seq 0 255); do
        cmp -s -i "$((start + cluster * per_cluster * sector)):0" -n "$(wc -c <"$work/new.hy3")" \
            "$image" "$work/new.hy3" && echo $((cluster + 2)) && return
    done
}

# A fresh card of the kind, with the old file on it for a replacement.
make_card() { # fs options operation image
    local fs=$1 options=$2 operation=$3 image=$4
    rm -f "$image"
    truncate -s 64M "$image"
    if [ "$fs" = vfat ]; then
        mkfs.vfat -F 32 -n CARD "$image" >/dev/null || return 1
        [ "$operation" = new ] || mcopy -i "$image" "$in/old.hy3" "::/$name" || return 1
    else
        mkfs.exfat -L CARD "$image" >/dev/null || return 1
        [ "$operation" = new ] && return 0
        boot prepare "$fs" "$options" "$image"
        [ "$said" = PREPARED ] || return 1
    fi
    [ "$operation" = new ] || [ "$(files_on "$fs" "$image" | verdict card1)" = old ]
}

format='%-6s %-9s %-8s %5s %5s %5s %14s %6s\n'
rows_failed=0
details=$work/details
: >"$details"
started=$SECONDS
echo "hy3conv: $hy3conv"
echo "kernel: $kernel ($accel), $pulls pulls a row; the card is pulled when hy3conv exits 0"
printf "$format" medium options operation pulls held old empty/missing other
for medium in "vfat rw" "vfat rw,flush" "exfat rw"; do
    read -r fs options <<<"$medium"
    for operation in new replace; do
        row="$fs $options $operation"
        if ! make_card "$fs" "$options" "$operation" "$work/fresh.img"; then
            echo "FAILED: no $fs card for '$operation' can be made; console:"
            cat "$work/console"
            keep=yes
            exit 1
        fi
        images=()
        answers=()
        for pull in $(seq "$pulls"); do
            cp --sparse=always "$work/fresh.img" "$work/pull$pull.img"
            boot pull "$fs" "$options" "$work/pull$pull.img"
            images+=("$work/pull$pull.img")
            answers+=("${said:-no answer}")
            cp "$work/console" "$work/pull$pull.console"
        done
        files_on "$fs" "${images[@]}" >"$work/listing" || {
            echo "FAILED: the boot that reads the cards did not answer; console:"
            cat "$work/console"
            keep=yes
            exit 1
        }
        declare -A tally=([held]=0 [old]=0 [empty]=0 [other]=0)
        first_bad=""
        for pull in $(seq "$pulls"); do
            answer=${answers[pull - 1]}
            result=other
            [ "$answer" = CONVERTED ] && result=$(verdict "card$pull" <"$work/listing")
            tally[$result]=$((tally[$result] + 1))
            [ "$result" = held ] && continue
            # Every pull that does not hold is told; the first is kept and read by the guest too.
            kept=$work/${row// /-}-pull$pull
            mv "$work/pull$pull.img" "$kept.img"
            mv "$work/pull$pull.console" "$kept.console"
            {
                echo "$row, pull $pull: $result; the guest said $answer"
                if [ "$answer" != CONVERTED ]; then
                    tail -n 5 "$kept.console" | tr -d '\r' | sed 's/^/      console: /'
                else
                    described "card$pull" <"$work/listing"
                fi
                if [ "$answer" = CONVERTED ] && [ -z "$first_bad" ] && [ "$fs" = vfat ]; then
                    echo "    as the guest kernel reads it:"
                    boot check vfat ro "$kept.img"
                    described card1 <"$work/guest-files"
                    at=$(new_bytes_at "$kept.img")
                    echo "    the new bytes whole in the data area: ${at:+cluster }${at:-nowhere}"
                fi
            } >>"$details"
            [ -n "$first_bad" ] && rm -f "$kept.img"
            first_bad=${first_bad:-$pull}
        done
        printf "$format" "$fs" "$options" "$operation" "$pulls" "${tally[held]}" "${tally[old]}" \
            "${tally[empty]}" "${tally[other]}"
        unset tally
        [ -n "$first_bad" ] && rows_failed=$((rows_failed + 1))
        rm -f "$work"/pull*.img "$work"/pull*.console
    done
done
echo "$((SECONDS - started)) seconds"
if [ $rows_failed -gt 0 ]; then
    echo
    cat "$details"
    keep=yes
    echo "FAILED: $rows_failed rows where a card pulled after the success message lacks the new file"
    exit 1
fi
echo "every pull held the new file"
