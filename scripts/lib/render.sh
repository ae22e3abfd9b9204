# Shared by the scripts/render-* scripts (source it, then call render_pages):
#   render_pages TOOL OUT DPI HEADING [ARG ...]
# builds the printing tool TOOL (a path in the build directory, e.g.
# tools/sheets/marlex99-blatt; its base name is the CMake target), runs it
# off screen with --out OUT and the caller's arguments, in the caller's
# directory so that paths among the arguments are the caller's, and turns
# every page of each PDF the tool names on its output into a PNG of DPI dots
# per inch beside it (NAME.pdf gives NAME-1.png, ...). Returns the tool's
# status: a document it could not print is reported by the tool and the
# others are still written. OUT and MARLEX_BUILD_DIR (default build) may be
# relative to the source tree.
render_pages() {
  local tool=$1 out=$2 dpi=$3 heading=$4
  shift 4
  local callerdir root builddir
  callerdir=$(pwd)
  cd "$(dirname "${BASH_SOURCE[0]}")/../.."
  root=$(pwd)
  builddir=${MARLEX_BUILD_DIR:-build}
  case "$builddir" in /*) ;; *) builddir="$root/$builddir" ;; esac
  case "$out" in /*) ;; *) out="$root/$out" ;; esac

  scripts/install-deps
  if [ ! -f "$builddir/build.ninja" ]; then
    cmake -S . -B "$builddir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$builddir" --target "$(basename "$tool")"

  local status=0 pdfs pdf
  # An --out among the arguments comes later and wins.
  pdfs=$(cd "$callerdir" && QT_QPA_PLATFORM=offscreen "$builddir/$tool" --out "$out" "$@") || status=$?

  echo
  echo "$heading"
  while IFS= read -r pdf; do
    [ -n "$pdf" ] || continue
    # The pages of an earlier, longer document of the same name go first.
    rm -f "${pdf%.pdf}"-*.png
    pdftoppm -png -r "$dpi" "$pdf" "${pdf%.pdf}"
    echo "  $pdf" "$(cd "$(dirname "$pdf")" && ls -1 "$(basename "${pdf%.pdf}")"-*.png | tr '\n' ' ')"
  done <<< "$pdfs"
  return $status
}
