# Sourced by the tools that drive kiro-cli: sets $cli to the kiro-cli to use, the one given
# as the script's first argument or build/bin/kiro-cli, built when it is missing.
#   source "$root/tools/kiro_cli.sh" "${1:-}"
cli=${1:-}
if [ -z "$cli" ]; then
    cli="$root/build/bin/kiro-cli"
    if [ ! -x "$cli" ]; then
        cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DKIRO_BUILD_TESTS=OFF -DKIRO_BUILD_BENCH=OFF >/dev/null
        cmake --build "$root/build" --target kiro-cli
    fi
fi
