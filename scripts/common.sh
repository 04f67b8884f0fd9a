# Shared by scripts/run and scripts/test (sourced, not a command of its own).
# install_deps: installs the Debian packages Mervane needs, only those that are missing,
# non-interactively, through sudo when not run as root.
# build_mervane: configures and builds into build/.

mervane_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

install_deps() {
  local packages=(
    cmake g++ libgtest-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev   # Widgets, PrintSupport, Network
    fonts-liberation fonts-dejavu-core          # the same font metrics everywhere
    poppler-utils                               # pdftotext: the print tests read their PDFs back
    libcups2-dev                                # mervane-cli prints to a queue through libcups
    cups printer-driver-cups-pdf                # a PDF print queue the queue tests print to
    unrtf      # the tests read the exported letters with a real RTF reader
    python3    # and the exported web pages with python3's own HTML parser
    clang-14 libclang-rt-14-dev                 # libFuzzer and its sanitizers (scripts/fuzz)
    qtkeychain-qt6-dev  # Synchronize keeps the CardDAV password in the desktop's secret store
    radicale            # a real CardDAV server the sync tests start on 127.0.0.1
  )
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
}

build_mervane() {
  cmake -S "$mervane_root" -B "$mervane_root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$mervane_root/build" -j "$(nproc)"
}

# The same tests once more from build-asan/: every target with ASan and UBSan, and the
# first report of either fails the run.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$mervane_root/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
build_sanitized() {
  cmake -S "$mervane_root" -B "$mervane_root/build-asan" -DCMAKE_BUILD_TYPE=Debug \
    -DMERVANE_SANITIZE=ON -DMERVANE_BENCHMARKS=OFF >/dev/null
  cmake --build "$mervane_root/build-asan" -j "$(nproc)"
}
