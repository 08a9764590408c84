# Sourced by build-cross and test-cross: folders unpacked from Debian packages of another
# architecture or another Debian release, with this machine's own package set left alone.
# Needs root, build_dir and arch set.
# shellcheck disable=SC2154 # root, build_dir and arch come from the script that sources this

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# system_apt ARGUMENT...: this machine's apt-get, for its own release's packages of ARCH.
system_apt() {
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        "${sudo_cmd[@]}" dpkg --add-architecture "$arch"
    fi
    if [ -z "${system_apt_updated:-}" ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        system_apt_updated=1
    fi
    apt-get "$@"
}

# old_apt ARGUMENT...: apt-get over Debian 11's packages for amd64, arm64 and armhf, with a
# configuration of its own in build-debian11/apt/ (sources, lists, cache, no installed
# packages), so that nothing of Debian 11 can reach this machine's own installs. The
# registry is the one this machine's apt uses. This machine's release is listed too, pinned
# so low that only what Debian 11 lacks comes from it (lodepng).
old_apt() {
    local dir=$root/build-debian11/apt
    local options=(
        -o "Dir::Etc::SourceList=$dir/sources.list" -o "Dir::Etc::SourceParts=$dir/none"
        -o "Dir::Etc::Preferences=$dir/preferences" -o "Dir::Etc::PreferencesParts=$dir/none"
        -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache"
        -o Dir::State::status=/dev/null -o Debug::NoLocking=1
        -o APT::Architectures::=amd64 -o APT::Architectures::=arm64 -o APT::Architectures::=armhf
    )
    # The source packages are listed too: the port builds some libraries from them.
    local codename uri sources
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' |
          awk -v release="$codename" '$2 == release { print $1; exit }')
    [ -n "$uri" ] || { echo "no apt source for $codename on this machine" >&2; return 1; }
    sources=$(printf 'deb [arch=amd64,arm64,armhf] %s %s main\ndeb-src %s %s main\n' \
              "$uri" bullseye "$uri" bullseye "$uri" "$codename" "$uri" "$codename")
    if [ ! -f "$dir/updated" ] || [ "$(cat "$dir/sources.list")" != "$sources" ]; then
        mkdir -p "$dir/none" "$dir/lists/partial" "$dir/cache/archives/partial"
        echo "$sources" >"$dir/sources.list"
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 1\n' "$codename" >"$dir/preferences"
        apt-get "${options[@]}" update -qq
        touch "$dir/updated"
    fi
    apt-get "${options[@]}" "$@"
}

# make_root DIR APT [--exact] PACKAGE...: DIR holds the files of the packages and, unless
# --exact, of everything they depend on, resolved by APT (system_apt or old_apt) as for an
# otherwise empty machine, so that what this machine has installed plays no part; and a
# dpkg database of them in var/lib/dpkg (their files at their DIR paths, their shlibs and
# symbols), so that dpkg-shlibdeps can name the packages a program needs. The packages are
# cached in build_dir/debs; a second run with the same list does nothing.
make_root() {
    local dir=$1 apt=$2 exact=
    shift 2
    [ "$1" != --exact ] || { exact=1 && shift; }
    local stamp=$dir/.packages key="$apt $exact $*"
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key" ] && return
    echo "making $dir"
    local wanted=() files=() name version arch_of
    if [ -n "$exact" ]; then
        local uri
        while read -r uri file _; do
            file=${file%.deb}
            name=${file%%_*} version=${file#*_} arch_of=${file##*_}
            version=${version%_*}
            wanted+=("$name=${version//%3a/:}" "$arch_of")
        done < <($apt download --print-uris "$@")
    else
        while read -r name version arch_of; do
            wanted+=("$name=$version" "$arch_of")
        done < <($apt -s -o Dir::State::status=/dev/null install --no-install-recommends "$@" |
                 sed -n 's/^Inst \([^ ]*\) (\([^ ]*\) [^[]*\[\([^]]*\)\].*/\1 \2 \3/p')
    fi
    ((${#wanted[@]})) || { echo "could not resolve the packages for $dir" >&2; exit 1; }

    local debs=$build_dir/debs missing=() i file
    mkdir -p "$debs"
    for ((i = 0; i < ${#wanted[@]}; i += 2)); do
        name=${wanted[i]%%=*} version=${wanted[i]#*=}
        file=$debs/${name%:*}_${version//:/%3a}_${wanted[i + 1]}.deb
        files+=("$file")
        [ -f "$file" ] || missing+=("${wanted[i]}")
    done
    if ((${#missing[@]})); then
        echo "downloading ${#missing[@]} packages"
        (cd "$debs" && $apt download -q "${missing[@]}" 2>&1 | grep -v unsandboxed) || true
    fi
    for file in "${files[@]}"; do
        [ -f "$file" ] || { echo "download of $file failed" >&2; exit 1; }
    done

    rm -rf "$dir.new"
    local db=$dir.new/var/lib/dpkg control=$dir.new/DEBIAN kind
    mkdir -p "$db/info" "$db/updates"
    echo 1 >"$db/info/format"
    for file in "${files[@]}"; do
        dpkg-deb -R "$file" "$dir.new"
        name=$(sed -n 's/^Package: //p' "$control/control")
        grep -qx 'Multi-Arch: same' "$control/control" && name+=:$(sed -n 's/^Architecture: //p' "$control/control")
        { grep -v '^$' "$control/control" && printf 'Status: install ok installed\n\n'; } >>"$db/status"
        for kind in shlibs symbols; do
            [ ! -f "$control/$kind" ] || mv "$control/$kind" "$db/info/$name.$kind"
        done
        rm -rf "$control"
        dpkg-deb --fsys-tarfile "$file" | tar -t | sed "s|^\./|$dir/|; s|/\$||" >"$db/info/$name.list"
    done
    # Links to absolute paths (libm.so -> /lib/...) would reach this machine's own
    # files: point them inside DIR.
    local link
    while IFS= read -r link; do
        ln -sfnr "$dir.new$(readlink "$link")" "$link"
    done < <(find "$dir.new" -lname '/*')
    echo "$key" >"$dir.new/.packages"
    rm -rf "$dir"
    mv "$dir.new" "$dir"
}
