#!/usr/bin/env bash
# Signs files in place with Authenticode (SHA-256), with Debian's osslsigncode, by the
# certificate and private key in the PKCS#12 file TILLERDOCK_SIGN_PFX, whose password is in
# TILLERDOCK_SIGN_PASSWORD; time-stamped by the RFC 3161 server TILLERDOCK_TIMESTAMP_URL when it
# is set, so that the signatures stay valid after the certificate expires.
#   scripts/sign.sh FILE...
# scripts/release.sh runs it for the program, the custom action and the Windows Installer
# package, and makensis for the installer and its uninstaller (packaging/NSIS.template.in).
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
: "${TILLERDOCK_SIGN_PFX:?names no certificate}"
for file; do
    # The password is read from a pipe, never given on a command line that others can list.
    osslsigncode sign -pkcs12 "$TILLERDOCK_SIGN_PFX" \
        -readpass <(printf '%s' "${TILLERDOCK_SIGN_PASSWORD:-}") -h sha256 \
        -n Tillerdock -i https://tillerdock.example/ \
        ${TILLERDOCK_TIMESTAMP_URL:+-ts "$TILLERDOCK_TIMESTAMP_URL"} \
        -in "$file" -out "$file.signed" >/dev/null
    mv "$file.signed" "$file"
done
