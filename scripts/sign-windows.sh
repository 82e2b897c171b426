#!/usr/bin/env bash
# Signs Windows programs and installers in place (Authenticode, with osslsigncode), each
# signature carrying an RFC 3161 timestamp so that it stays valid after the certificate
# expires. Without a certificate in the environment it signs nothing and says so.
#
# usage: scripts/sign-windows.sh FILE...        (.exe or .msi)
#
# The certificate, from the environment (never from the repository):
#   QVBOOK_SIGN_CERT + QVBOOK_SIGN_KEY   the certificate (PEM or DER, with the chain up to
#                                        the root) and its private key, or
#   QVBOOK_SIGN_PKCS12                   a PKCS#12 (.p12, .pfx) file holding both;
#   QVBOOK_SIGN_PASSWORD                 the key's or the PKCS#12 file's password, if any
#                                        (handed to osslsigncode through a pipe, never on
#                                        its command line);
#   QVBOOK_SIGN_TIMESTAMP_URL            the RFC 3161 timestamp server, e.g. the one of the
#                                        certificate's issuer (required when signing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/apt-install.sh"

fail() { echo "sign-windows: $*" >&2; exit 1; }

if [ -n "${QVBOOK_SIGN_PKCS12:-}" ]; then
  key=(-pkcs12 "$QVBOOK_SIGN_PKCS12")
elif [ -n "${QVBOOK_SIGN_CERT:-}" ] && [ -n "${QVBOOK_SIGN_KEY:-}" ]; then
  key=(-certs "$QVBOOK_SIGN_CERT" -key "$QVBOOK_SIGN_KEY")
elif [ -n "${QVBOOK_SIGN_CERT:-}${QVBOOK_SIGN_KEY:-}" ]; then
  fail "QVBOOK_SIGN_CERT and QVBOOK_SIGN_KEY go together: one of them is not set"
else
  echo "sign-windows: not signed (no QVBOOK_SIGN_CERT and QVBOOK_SIGN_KEY, nor QVBOOK_SIGN_PKCS12):" \
       "$(for f in "$@"; do basename "$f"; done | paste -sd ' ')"
  exit 0
fi
[ -n "${QVBOOK_SIGN_TIMESTAMP_URL:-}" ] ||
  fail "QVBOOK_SIGN_TIMESTAMP_URL is not set: a signature without an RFC 3161 timestamp" \
       "ends with the certificate; name the timestamp server of the certificate's issuer"
install_missing_packages osslsigncode

for file in "$@"; do
  [ -f "$file" ] || fail "no file $file"
  signed=$file.signing
  rm -f "$signed"
  # The program's name in the signature is what Windows shows when it asks whether to run
  # a downloaded program.
  if ! osslsigncode sign "${key[@]}" ${QVBOOK_SIGN_PASSWORD:+-readpass /dev/stdin} \
         -h sha256 -n "Velmora-QV 電話帳ソフト" -ts "$QVBOOK_SIGN_TIMESTAMP_URL" \
         -in "$file" -out "$signed" <<<"${QVBOOK_SIGN_PASSWORD:-}" >"$signed.log" 2>&1; then
    cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    fail "$file could not be signed (it is left unsigned)"
  fi
  rm -f "$signed.log"
  mv "$signed" "$file"
  echo "sign-windows: signed $(basename "$file") with a timestamp from $QVBOOK_SIGN_TIMESTAMP_URL"
done
