# Code signing as the tests run it, without a network: a certificate authority made for
# this run alone, a code-signing certificate and a timestamp authority issued by it, and a
# local RFC 3161 timestamp server (timestamp-responder.py). Sourced by the Windows test
# scripts:
#   start_throwaway_signing DIR    the keys in DIR (made anew): signer.pem + signer.key,
#                                  signer.p12 with the password in DIR/password; starts
#                                  the server and exports QVBOOK_SIGN_TIMESTAMP_URL
#   verify_throwaway_signature FILE...   the signature and its timestamp must check with
#                                  only that authority trusted
#   stop_throwaway_signing

start_throwaway_signing() {
  signing_dir=$1
  local d=$1 name
  rm -rf "$d" && mkdir -p "$d"
  head -c 18 /dev/urandom | base64 > "$d/password"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$d/ca.key" -out "$d/ca.pem" -days 2 \
    -subj "/CN=qvbook throw-away test authority" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
  for name in signer:codeSigning tsa:critical,timeStamping; do
    openssl req -newkey rsa:2048 -nodes -keyout "$d/${name%%:*}.key" -out "$d/request.csr" \
      -subj "/CN=qvbook throw-away ${name%%:*}" 2>/dev/null
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "${name#*:}" > "$d/extensions"
    openssl x509 -req -in "$d/request.csr" -CA "$d/ca.pem" -CAkey "$d/ca.key" -days 2 \
      -set_serial "0x$(openssl rand -hex 8)" -extfile "$d/extensions" -out "$d/${name%%:*}.pem" 2>/dev/null
  done
  openssl pkcs12 -export -in "$d/signer.pem" -inkey "$d/signer.key" -out "$d/signer.p12" \
    -passout "file:$d/password"
  echo 01 > "$d/tsa.serial"
  printf '%s\n' '[ tsa ]' 'default_tsa = throwaway' '[ throwaway ]' "serial = $d/tsa.serial" \
    "signer_cert = $d/tsa.pem" "signer_key = $d/tsa.key" "certs = $d/ca.pem" 'signer_digest = sha256' \
    'default_policy = 1.3.6.1.4.1.0.1' 'digests = sha256' 'ess_cert_id_alg = sha256' > "$d/tsa.cnf"
  python3 "$(dirname "${BASH_SOURCE[0]}")/timestamp-responder.py" "$d/tsa.cnf" "$d/port" &
  timestamp_server=$!
  for _ in $(seq 100); do
    [ -s "$d/port" ] || { kill -0 "$timestamp_server" 2>/dev/null && sleep 0.1; } || break
  done
  [ -s "$d/port" ] || { echo "the timestamp server did not start" >&2; return 1; }
  export QVBOOK_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$d/port")/"
  export no_proxy=127.0.0.1${no_proxy:+,$no_proxy}  # a proxy would not reach it
}

verify_throwaway_signature() {
  local file report
  for file in "$@"; do
    report=$(osslsigncode verify -in "$file" -CAfile "$signing_dir/ca.pem" -TSA-CAfile "$signing_dir/ca.pem" 2>&1) &&
      grep -q "Timestamp Server Signature verification: ok" <<<"$report" ||
      { echo "$report" >&2; echo "$file: no checked signature with a checked timestamp" >&2; return 1; }
    echo "$(basename "$file"): signature and timestamp verified"
  done
}

stop_throwaway_signing() {
  [ -z "${timestamp_server:-}" ] || { kill "$timestamp_server"; wait "$timestamp_server"; } 2>/dev/null || true
  timestamp_server=
}
