# Shared by the scripts: package installation and the three builds.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Installs the Debian packages that are not there yet: apt-get update first,
# then only what is missing.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

NATIVE_PACKAGES=(cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev binutils)
# The Windows builds compile with clang for the platform's C++ ABI and link
# with lld-link against import libraries made by llvm-dlltool; the mingw-w64
# compilers are there for their C and libstdc++ headers.
WINDOWS_PACKAGES=(clang lld llvm g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64)
SCREEN_PACKAGES=(xvfb x11-utils xdotool imagemagick)
VM_PACKAGES=(qemu-system-x86 mmdebstrap e2fsprogs)

build_native() {  # [TARGET...]: only these; everything without
  local targets=(); [ $# -gt 0 ] && targets=(--target "$@")
  cmake -S "$ROOT" -B "$ROOT/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$ROOT/build/native" -j "$JOBS" "${targets[@]}"
}

build_windows() {  # win32 | win64 [TARGET...]: only these; everything without
  local variant=$1 arch targets=(); shift
  [ "$variant" = win32 ] && arch=i686 || arch=x86_64
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake -S "$ROOT" -B "$ROOT/build/$variant" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/clang-msvc-$arch.cmake" >/dev/null
  cmake --build "$ROOT/build/$variant" -j "$JOBS" "${targets[@]}"
}
