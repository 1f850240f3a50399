#!/usr/bin/env bash
# Only the Win32 backend and the Windows-only programs may include the system's headers.
set -euo pipefail
cd "$(dirname "$0")/.."
hits=$(grep -rlE '#\s*include\s*[<"](windows|winuser|winbase|shellapi|shlobj|wtsapi32|commctrl)\.h[>"]' \
         src tools tests bench fuzz 2>/dev/null \
       | grep -vE '^(src/platform/win32/|tools/win32/|tests/wine/programs/|bench/wine/|tests/win32/)' || true)
if [ -n "$hits" ]; then
  echo "system headers included outside the Win32 backend:" >&2
  echo "$hits" >&2
  exit 1
fi
echo "seam ok"
